// VhdlFileRomWriter: the VHDL format in the file style, the block style's ROM filled from a word file.
#pragma once

#include <string>
#include <string_view>

#include "vhdl_entity.h"

namespace romtools {

// Writes the block style's unit, whose array is filled when the design is elaborated, from the word
// file that the generic init_file names: by default the one saptrum --format mem writes for the same
// input, found in the working folder. No word of the image goes into the unit, so a new firmware is a
// new word file, and in an FPGA flow that swaps memory contents, no new synthesis. A file of the wrong
// number of lines, or a line that is not a word of the ROM's hex digits, or one wider than its data
// width, stops the simulation or synthesis with a message.
class VhdlFileRomWriter final : public VhdlRomWriter {
public:
    OutputForm form() const override;
    void writeHeader(LineSink& sink, const RomNames& names, const RomShape& shape) override;
    // The words stay in the word file.
    void writeWord(LineSink&, const RomWord&, const RomShape&) override {}
    void writeTrailer(LineSink&, const RomShape&) override {}
};

// The word file's name as a VHDL string's contents: the last part of the input's stem with the word
// file's extension, each '"' doubled and each byte outside printable ASCII written as '_'.
std::string wordFileString(std::string_view inputStem);

}  // namespace romtools
