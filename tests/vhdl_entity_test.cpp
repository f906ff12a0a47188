#include "vhdl_entity.h"

#include <gtest/gtest.h>

#include <string>

#include "vhdl_array_writer.h"
#include "vhdl_case_writer.h"

namespace romtools {
namespace {

// The entity is named after the stem's last part; a name that VHDL does not take is mended, and every
// style's writer says so. (End-to-end rows show the name in the written unit.)
TEST(VhdlEntityName, IsTheStemsLastPartOrOneMendedFromIt) {
    struct Row {
        const char* stem;
        const char* entity;
        const char* mendedFrom;  // the lowered base name, when it was mended
    };
    const Row rows[] = {
        {"build/fw", "fw", nullptr},
        {"lib/Rom", "rom", nullptr},             // a forward slash separates folders
        {"C:\\Work\\ROM", "rom", nullptr},       // a drive and a backslash, on every system
        {"my-rom", "my_rom", "my-rom"},
        {"My ROM", "my_rom", "my rom"},
        {"a.b", "a_b", "a.b"},                   // dots in the stem
        {"rom__x", "rom_x", "rom__x"},
        {"_rom", "rom", "_rom"},
        {"2rom", "rom_2rom", "2rom"},
        {"out", "out_rom", "out"},               // a reserved word
        {"IEEE", "ieee_rom", "ieee"},            // a library's name
        {"to_integer", "to_integer_rom", "to_integer"},  // a function the unit calls
        {"", "rom", ""},                         // the argument .hex
    };
    const VhdlCaseRomWriter caseStyle;
    const VhdlArrayRomWriter arrayStyle;
    for (const Row& row : rows) {
        EXPECT_EQ(vhdlEntityName(row.stem), row.entity) << row.stem;
        const std::string notice = row.mendedFrom == nullptr ? ""
                                                             : "entity name " + std::string(row.mendedFrom) +
                                                                   " is not a VHDL name; the entity is named " +
                                                                   row.entity + "\n";
        EXPECT_EQ(caseStyle.nameNotice(row.stem), notice) << row.stem;
        EXPECT_EQ(arrayStyle.nameNotice(row.stem), notice) << row.stem;
    }
}

}  // namespace
}  // namespace romtools
