// VhdlArrayRomWriter: the VHDL format in the array style, a ROM entity that reads a constant array.
#pragma once

#include "vhdl_entity.h"

namespace romtools {

// The widest address the array style takes. The array holds every address, so simulators and
// synthesizers allocate all of its 2^width entries; 16M words are beyond any on-chip ROM.
inline constexpr std::int32_t kMaxArrayAddressWidth = 24;

// Writes the image as one VHDL design unit with the same entity, ports and behaviour as the case
// style, whose architecture reads a constant array indexed by the address: one element per word, in
// file order, and zero for every other address. Synthesis tools take the array as a memory, where they
// take a case statement as a comparator for each word.
class VhdlArrayRomWriter : public VhdlRomWriter {
public:
    OutputForm form() const override;
    void writeHeader(LineSink& sink, const RomNames& names, const RomShape& shape) override;
    void writeWord(LineSink& sink, const RomWord& word, const RomShape& shape) override;
    void writeTrailer(LineSink& sink, const RomShape& shape) override;

protected:
    // What a style that reads the same array another way sets apart: the ports declared before romaddr,
    // and the statements that give romout.
    virtual std::string_view portsBeforeAddress() const { return ""; }
    virtual std::string_view readStatements() const { return "\tromout <= rom_data(to_integer(unsigned(romaddr)));\n"; }
};

}  // namespace romtools
