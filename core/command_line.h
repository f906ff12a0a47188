// The command line: its options and files, and the text of --help.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace romtools {

// What the command line asks of a run. Options may stand anywhere, and "--" ends them; every other
// argument is a HEX file to convert, "-" standing for standard input.
struct CommandLine {
    enum class Request { convert, help, version, refuse };
    Request request = Request::convert;
    std::string refusal;                       // the message, with its line end, for Request::refuse
    std::optional<std::int32_t> addressWidth;  // -w: asks nothing, awaits no key
    std::optional<std::string> outputName;     // -o: instead of the name next to the input
    bool crop = false;                         // --crop: leave out words beyond the address width
    bool strict = false;                       // --strict: a warning about a file fails it
    bool arrayStyle = false;                   // --style array, for a program that offers styles
    std::vector<std::string> files;
};

// Reads the options: -w N, --width N, --width=N (N from 1 to 64); -o FILE, --output FILE,
// --output=FILE (with one input file only); --crop; --strict; -h, --help; -V, --version. The first
// refusal from the left is the one given, with the program's name in its usage line. Reading standard
// input ("-") needs -w and -o.
// --style case|array is an option only where offersStyles.
CommandLine parseCommandLine(int argc, char** argv, const std::string& programName, bool offersStyles = false);

// The refusal of a width above what --style array takes.
std::string arrayWidthRefusal();

// The text of --help: the options, the question and a Makefile rule.
std::string helpText(const std::string& programName, const std::string& summary, const std::string& extension,
                     bool offersStyles = false);

}  // namespace romtools
