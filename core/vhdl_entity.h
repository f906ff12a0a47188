// What the VHDL styles share: the entity's name, made from the file's, the entity declaration, and the
// base of their writers.
#pragma once

#include <string>
#include <string_view>

#include "line_sink.h"
#include "rom_writer.h"

namespace romtools {

// The entity is named after the stem's last part, after its last slash or backslash, in lower case. A
// name that VHDL does not take is mended: each run of characters other than letters and digits
// becomes one underscore, none at either end; then "rom" stands in for nothing, before a leading digit,
// or after a reserved word or a name that the unit uses itself.
std::string vhdlEntityName(std::string_view stem);

// The library clauses, with moreLibraryClauses after the standard logic one, the entity with its ports,
// portsBeforeAddress and then romaddr and romout, and the architecture's first line.
void writeVhdlEntity(LineSink& sink, const std::string& name, const RomShape& shape,
                     std::string_view moreLibraryClauses = "", std::string_view portsBeforeAddress = "");

// The choice that gives zero for every other address: before, a '0' for each data bit, then after.
void writeZeroChoice(LineSink& sink, std::string_view before, const RomShape& shape, std::string_view after);

// The base of every VHDL style's writer: its entity is named by vhdlEntityName, and a mended name is
// said.
class VhdlRomWriter : public RomWriter {
public:
    std::string nameNotice(std::string_view stem) const override;
};

}  // namespace romtools
