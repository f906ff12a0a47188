// saptrum: Intel HEX to a memory initialization file.
#include "conversion_run.h"
#include "mif_writer.h"

int main(int argc, char** argv) {
    romtools::MifWriter writer;
    romtools::RomWriter* const writers[] = {&writer};
    romtools::runConversion(
        argc, argv,
        {"saptrum", "Turns Intel HEX memory images into memory initialization files (MIF).", ".mif", writers});
}
