// quenlor: Intel HEX to a VHDL ROM entity.
#include "conversion_run.h"
#include "vhdl_array_writer.h"
#include "vhdl_block_writer.h"
#include "vhdl_case_writer.h"
#include "vhdl_file_writer.h"

int main(int argc, char** argv) {
    romtools::VhdlCaseRomWriter caseStyle;
    romtools::VhdlArrayRomWriter arrayStyle;
    romtools::VhdlBlockRomWriter blockStyle;
    romtools::VhdlFileRomWriter fileStyle;
    romtools::RomWriter* const styles[] = {&caseStyle, &arrayStyle, &blockStyle, &fileStyle};
    romtools::runConversion(argc, argv,
                            {"quenlor", "Turns Intel HEX memory images into VHDL ROM entities.", "style", styles, true});
}
