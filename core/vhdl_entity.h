// What the VHDL styles share: the entity's name, made from the file's, and the entity declaration.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "rom_writer.h"

namespace romtools {

// The entity is named after the stem's last part, after its last slash or backslash, in lower case. A
// name that VHDL does not take is mended: each run of characters other than letters and digits
// becomes one underscore, none at either end; then "rom" stands in for nothing, before a leading digit,
// or after a reserved word.
std::string vhdlEntityName(std::string_view stem);

// The line that says a name was mended, or nothing.
std::string vhdlNameNotice(std::string_view stem);

// The library clauses, with moreLibraryClauses after the standard logic one, the entity with its ports,
// portsBeforeAddress and then romaddr and romout, and the architecture's first line.
void writeVhdlEntity(std::ostream& output, const std::string& name, const RomShape& shape,
                     std::string_view moreLibraryClauses = "", std::string_view portsBeforeAddress = "");

}  // namespace romtools
