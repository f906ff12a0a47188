// VhdlCaseRomWriter: the VHDL format in the case style, a ROM entity with one case branch per word.
#pragma once

#include "rom_writer.h"

namespace romtools {

// Writes the image as one VHDL design unit: an entity with the address input romaddr and the 14-bit
// output romout, and an architecture whose process holds a case statement with one branch per word, in
// file order, and a last branch giving zero for every other address.
class VhdlCaseRomWriter final : public RomWriter {
public:
    WriterStyle style() const override;
    // The entity is named after the stem's last part, in lower case; a name that VHDL does not take is
    // mended, and the notice says so.
    std::string nameNotice(std::string_view stem) const override;
    void writeHeader(std::ostream& output, std::string_view stem, const RomShape& shape) override;
    void writeWord(std::ostream& output, const RomWord& word, const RomShape& shape) override;
    void writeTrailer(std::ostream& output, const RomShape& shape) override;
};

}  // namespace romtools
