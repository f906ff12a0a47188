// quenlor: Intel HEX to a VHDL ROM entity.
#include "conversion_run.h"
#include "vhdl_array_writer.h"
#include "vhdl_writer.h"

int main(int argc, char** argv) {
    romtools::VhdlRomWriter caseStyle;
    romtools::VhdlArrayRomWriter arrayStyle;
    romtools::runConversion(argc, argv,
                            {"quenlor", "Turns Intel HEX memory images into VHDL ROM entities.", ".vhd", caseStyle,
                             &arrayStyle});
}
