// The command line: its options and files, and the text of --help.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "program_description.h"

namespace romtools {

// What the command line asks of a run. Options may stand anywhere, and "--" ends them; every other
// argument is a HEX file to convert, "-" standing for standard input.
struct Options {
    enum class Request { convert, help, version, refuse };
    Request request = Request::convert;
    std::string refusal;                       // the message, with its line end, for Request::refuse
    std::optional<std::int32_t> addressWidth;  // -w: asks nothing, awaits no key
    std::int32_t dataWidth = kDefaultDataWidth;  // --data-width
    std::uint32_t base = 0;                    // --base: the image's byte address of ROM word 0
    bool bigEndian = false;                    // --big-endian: a word's first byte is its most significant
    std::optional<std::string> fillText;       // --fill, as given
    std::uint64_t fill = 0;                    // its word, judged once every option is read
    std::optional<std::string> outputName;     // -o: instead of the name next to the input
    std::optional<std::string> entityName;     // --entity: the unit's name instead of the file's
    bool crop = false;                         // --crop: leave out words beyond the address width
    bool strict = false;                       // --strict: a warning about a file fails it
    RomWriter* writer = nullptr;               // the program's first, or the one --style or --format names
    std::vector<std::string> files;
};

// Reads the options: -w N, --width N, --width=N (N from 1 to 64); --data-width N, --data-width=N (N from
// 1 to 64); --big-endian; --base ADDRESS, --base=ADDRESS (0x and up to 8 hex digits, or a decimal number, below 2^32);
// -o FILE, --output FILE, --output=FILE (with one input file only); --crop; --strict; -h, --help; -V,
// --version; --style NAME, --style=NAME or --format NAME, --format=NAME, whichever the program offers;
// --fill WORD, --fill=WORD (0x and up to 16 hex digits, or a decimal number, below 2 to the power of the
// data width); and --entity NAME, --entity=NAME (with one input file only) where the program names
// units. The first refusal from the left is the one
// given, with the program's name in its usage line. Reading standard input ("-") needs -w and -o, and
// a width from -w must suit the writer.
Options parseCommandLine(int argc, char** argv, const ProgramDescription& program);

// The refusal of a width above what the writer's form takes.
std::string formWidthRefusal(const ProgramDescription& program, const RomWriter& writer);

// The text of --help: the options, the question and a Makefile rule.
std::string helpText(const ProgramDescription& program);

}  // namespace romtools
