// runConversion: the whole life of either program.
#pragma once

#include "program_description.h"

namespace romtools {

// Reads the command line and converts each HEX file named on it: opens the input, creates the output
// next to it, asks for the address width (unless -w gives it), streams every word of the HEX file
// through the writer and puts the output in place. Ends the process with status 0 when every file was
// converted, and 1 otherwise, each failure with a message on standard error. A failed or interrupted
// conversion leaves the previous output, if any, as it was.
[[noreturn]] void runConversion(int argc, char** argv, const ProgramDescription& program);

}  // namespace romtools
