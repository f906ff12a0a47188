// VhdlCaseRomWriter: the VHDL format in the case style, a ROM entity with one case branch per word.
#pragma once

#include "vhdl_entity.h"

namespace romtools {

// Writes the image as one VHDL design unit: an entity with the address input romaddr and the output
// romout, and an architecture whose process holds a case statement with one branch per word, in file
// order, and a last branch giving zero for every other address.
class VhdlCaseRomWriter final : public VhdlRomWriter {
public:
    OutputForm form() const override;
    void writeHeader(LineSink& sink, const RomNames& names, const RomShape& shape) override;
    void writeWord(LineSink& sink, const RomWord& word, const RomShape& shape) override;
    void writeTrailer(LineSink& sink, const RomShape& shape) override;
};

}  // namespace romtools
