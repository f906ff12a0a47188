// runConversion: the whole life of either program, and what sets one program apart from the other.
#pragma once

#include "rom_writer.h"

namespace romtools {

struct ProgramDescription {
    const char* name;       // as the usage message names the program
    const char* summary;    // what it does, in one sentence, for --help
    const char* extension;  // of its output files, such as ".vhd"
    RomWriter& writer;
    RomWriter* arrayStyleWriter = nullptr;  // the writer of --style array, for a program that offers it
};

// Reads the command line and converts each HEX file named on it: opens the input, creates the output
// next to it, asks for the address width (unless -w gives it), streams every word of the HEX file
// through the writer and puts the output in place. Ends the process with status 0 when every file was
// converted, and 1 otherwise, each failure with a message on standard error. A failed or interrupted
// conversion leaves the previous output, if any, as it was.
[[noreturn]] void runConversion(int argc, char** argv, const ProgramDescription& program);

}  // namespace romtools
