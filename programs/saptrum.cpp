// saptrum: Intel HEX to a memory initialization file, a word file or a COE file.
#include "coe_writer.h"
#include "conversion_run.h"
#include "mif_writer.h"
#include "word_file_writer.h"

int main(int argc, char** argv) {
    romtools::MifWriter mif;
    romtools::WordFileWriter mem;
    romtools::CoeWriter coe;
    romtools::RomWriter* const formats[] = {&mif, &mem, &coe};
    romtools::runConversion(argc, argv,
                            {"saptrum", "Turns Intel HEX memory images into MIF, word (.mem) and COE files.",
                             "format", formats});
}
