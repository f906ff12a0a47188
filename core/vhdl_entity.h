// What the VHDL styles share: the entity's name, made from the file's, the entity declaration, and the
// base of their writers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "line_sink.h"
#include "rom_writer.h"

namespace romtools {

// The entity is named after the unit's name in lower case. A name that VHDL does not take is mended:
// each run of characters other than letters and digits becomes one underscore, none at either end;
// then "rom" stands in for nothing, before a leading digit, or after a reserved word or a name that the
// unit uses itself.
std::string vhdlEntityName(std::string_view unit);

// The library clauses, with moreLibraryClauses after the standard logic one, the entity with its
// generics, if any, and its ports, portsBeforeAddress and then romaddr and romout, and the
// architecture's first line.
void writeVhdlEntity(LineSink& sink, const std::string& name, const RomShape& shape,
                     std::string_view moreLibraryClauses = "", std::string_view portsBeforeAddress = "",
                     std::string_view generics = "");

// The number of the ROM's addresses, 2 to the power of its width; the array styles keep the width to
// 1..24, and clamped, any width gives some number.
std::uint64_t romDepth(const RomShape& shape);

// The array styles' type, an array of the ROM's words with its range descending: GHDL's synthesis
// takes an ascending one for a ROM of zeros.
void writeRomType(LineSink& sink, const RomShape& shape);

// The choice that gives the fill word, zero unless --fill gives another, for every other address: before,
// its data bits, then after.
void writeFillChoice(LineSink& sink, std::string_view before, const RomShape& shape, std::string_view after);

// The base of every VHDL style's writer: its entity is named by vhdlEntityName, and a mended name is
// said.
class VhdlRomWriter : public RomWriter {
public:
    std::string nameNotice(std::string_view unit) const override;
};

}  // namespace romtools
