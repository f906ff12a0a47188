// MifWriter: the memory initialization file (MIF) format.
#pragma once

#include "rom_writer.h"

namespace romtools {

// Writes the image as a memory initialization file: the depth and width, decimal addresses and binary
// data, a content block that first sets every word to zero and then gives each word of the image on a
// line of its own, in file order, and the end line. The file holds no name.
class MifWriter final : public RomWriter {
public:
    OutputForm form() const override;
    // The names play no part: the file holds none.
    void writeHeader(LineSink& sink, const RomNames&, const RomShape& shape) override;
    void writeWord(LineSink& sink, const RomWord& word, const RomShape& shape) override;
    void writeTrailer(LineSink& sink, const RomShape&) override;
};

}  // namespace romtools
