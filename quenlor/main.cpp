#include "conversion_run.h"
#include "vhdl_rom_writer.h"

int main(int argc, char** argv) {
    romtools::VhdlRomWriter writer;
    romtools::runConversion(argc, argv,
                            {"quenlor", "Turns Intel HEX memory images into VHDL ROM entities.", "%s.vhd", writer});
}
