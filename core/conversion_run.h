#pragma once

#include <cstdint>
#include <cstdio>

#include "rom_writer.h"

namespace romtools {

// What sets one program apart from the other.
struct ProgramDescription {
    const char* name;          // as the usage message names the program
    const char* summary;       // what it does, in one sentence for --help
    const char* outputFormat;  // forms the output file name from the stem, such as "%s.vhd"
    RomWriter& writer;
};

// The whole life of a program: checks the command line, opens the input and creates the output next to
// it, asks for the address width, streams every word of the HEX file through the writer and ends the
// process: with status 0 after a complete output file, with a message on standard error and status 1
// otherwise. A failed or interrupted run leaves the previous output, if any, as it was.
[[noreturn]] void runConversion(int argc, char** argv, const ProgramDescription& program);

// Reads the answer to the address width question: white space, line ends included, is skipped, then an
// optional sign and decimal digits are taken as a signed 32-bit number, held at the largest or smallest
// one when it is beyond them. Returns 0 when no number stands there. The rest of the answer's line is read and dropped, so that a keystroke awaited
// later waits for the user.
std::int32_t readAddressWidth(std::FILE* input);

}  // namespace romtools
