#include "vhdl_entity.h"

#include <gtest/gtest.h>

#include <string>

#include "vhdl_array_writer.h"
#include "vhdl_case_writer.h"
#include "vhdl_file_writer.h"

namespace romtools {
namespace {

// The entity is named after the unit's name, the stem's last part or --entity's whole; a name that VHDL
// does not take is mended, and every style's writer says so: name, entity, and the lowered name when it
// was mended.
TEST(VhdlEntityName, IsTheUnitsNameOrOneMendedFromIt) {
    const char* const rows[][3] = {
        {"fw", "fw", nullptr},            {"Rom", "rom", nullptr},      {"C:\\Work\\ROM", "c_work_rom", "c:\\work\\rom"},
        {"Boot-Rom", "boot_rom", "boot-rom"},                          {"rom_data", "rom_data_rom", "rom_data"},
        {"my-rom", "my_rom", "my-rom"},   {"My ROM", "my_rom", "my rom"},        {"a.b", "a_b", "a.b"},
        {"rom__x", "rom_x", "rom__x"},    {"_rom", "rom", "_rom"},               {"2rom", "rom_2rom", "2rom"},
        {"out", "out_rom", "out"},        {"IEEE", "ieee_rom", "ieee"},          {"", "rom", ""},
        {"to_integer", "to_integer_rom", "to_integer"},      {"Text", "text_rom", "text"},
    };
    for (const auto& [unit, entity, mendedFrom] : rows) {
        EXPECT_EQ(vhdlEntityName(unit), entity) << unit;
        const std::string notice = mendedFrom == nullptr ? "" : "entity name " + std::string(mendedFrom) +
                                                                    " is not a VHDL name; the entity is named " +
                                                                    entity + "\n";
        EXPECT_EQ(VhdlCaseRomWriter().nameNotice(unit), notice) << unit;
        EXPECT_EQ(VhdlArrayRomWriter().nameNotice(unit), notice) << unit;
        EXPECT_EQ(VhdlFileRomWriter().nameNotice(unit), notice) << unit;
    }
    // The file style's word file is the output's last part with .mem, as a VHDL string's contents.
    const char* const wordFiles[][2] = {{"build/fw", "fw.mem"}, {"C:\\Work\\ROM", "ROM.mem"},
                                        {"say \"hi\"", "say \"\"hi\"\".mem"}, {"caf\xC3\xA9\t", "caf___.mem"}};
    for (const auto& [outputStem, text] : wordFiles) {
        EXPECT_EQ(wordFileString(outputStem), text) << outputStem;
    }
}

}  // namespace
}  // namespace romtools
