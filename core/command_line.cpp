#include "command_line.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "address_width_question.h"
#include "vhdl_array_writer.h"

namespace romtools {

namespace {

constexpr std::pair<std::string_view, std::string_view> kLongNames[] = {
    {"--width", "-w"}, {"--output", "-o"}, {"--style", "--style"}};

// A decimal number from 1 to 64 and nothing else, or nothing.
std::optional<std::int32_t> widthOption(std::string_view text) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    std::int32_t width = 0;
    for (const char digit : text) {
        width = width * 10 + (digit - '0');
    }
    if (width < 1 || width > kMaxAddressWidth) {
        return std::nullopt;
    }
    return width;
}

CommandLine refused(std::string message) {
    CommandLine line;
    line.request = CommandLine::Request::refuse;
    line.refusal = std::move(message);
    return line;
}

// An option that takes a value, by its short name, with the value when it stands in the same argument
// (-w14, --width=14); no name when the argument is no such option.
struct ValueOption {
    std::string_view name;
    std::optional<std::string_view> value;
};

ValueOption valueOption(std::string_view argument) {
    for (const auto& [longName, shortName] : kLongNames) {
        if (argument.substr(0, longName.size()) == longName &&
            (argument.size() == longName.size() || argument[longName.size()] == '=')) {
            return {shortName, argument.size() > longName.size() ? std::optional(argument.substr(longName.size() + 1))
                                                                 : std::nullopt};
        }
    }
    if (argument.substr(0, 2) == "-w" || argument.substr(0, 2) == "-o") {
        return {argument.substr(0, 2), argument.size() > 2 ? std::optional(argument.substr(2)) : std::nullopt};
    }
    return {};
}

// Reads one option at argv[index], with its value; returns the index of the last argument it took, or
// -1 with line refused or answered.
int readOption(int argc, char** argv, int index, const std::string& usage, bool offersStyles, CommandLine& line) {
    const std::string_view argument = argv[index];
    if (argument == "-h" || argument == "--help" || argument == "-V" || argument == "--version") {
        line.request = argument == "-h" || argument == "--help" ? CommandLine::Request::help
                                                                : CommandLine::Request::version;
        return -1;
    }
    if (argument == "--crop" || argument == "--strict") {
        (argument == "--crop" ? line.crop : line.strict) = true;
        return index;
    }
    const ValueOption option = valueOption(argument);
    if (option.name.empty() || (option.name == "--style" && !offersStyles)) {
        line = refused("unknown option " + std::string(argument) + "\n" + usage);
        return -1;
    }
    if (!option.value && index + 1 == argc) {
        line = refused("option " + std::string(argument) + " needs a value\n" + usage);
        return -1;
    }
    const std::string value(option.value ? *option.value : argv[++index]);
    if (option.name == "-o") {
        line.outputName = value;
        return index;
    }
    if (option.name == "--style") {
        if (value != "case" && value != "array") {
            line = refused("invalid style " + value + "; it is case or array\n" + usage);
            return -1;
        }
        line.arrayStyle = value == "array";
        return index;
    }
    line.addressWidth = widthOption(value);
    if (!line.addressWidth) {
        line = refused("invalid address width " + value + "\n");
        return -1;
    }
    return index;
}

}  // namespace

CommandLine parseCommandLine(int argc, char** argv, const std::string& programName, bool offersStyles) {
    // Without any argument the program gives its first, shortest usage line, which scripts may expect.
    if (argc < 2) {
        return refused("usage: " + programName + " input_filename\n");
    }
    const std::string usage = "usage: " + programName + " [-w width] [-o output] input_filename...\n";
    CommandLine line;
    // Options stand anywhere among the files, and every one is read before a file is converted; "--"
    // ends them, and "-" alone is a file: standard input.
    bool optionsEnded = false;
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
            line.files.emplace_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if ((index = readOption(argc, argv, index, usage, offersStyles, line)) < 0) {
            return line;
        }
    }
    if (line.files.empty()) {
        return refused(usage);
    }
    if (line.outputName && line.files.size() > 1) {
        return refused("-o is allowed with one input file only\n" + usage);
    }
    if (line.arrayStyle && line.addressWidth && *line.addressWidth > kMaxArrayAddressWidth) {
        return refused(arrayWidthRefusal());
    }
    const bool readsStandardInput = std::find(line.files.begin(), line.files.end(), "-") != line.files.end();
    if (readsStandardInput && (!line.addressWidth || !line.outputName)) {
        return refused("reading the image from standard input needs -w and -o\n" + usage);
    }
    return line;
}

std::string arrayWidthRefusal() {
    return "the array style takes address widths up to " + std::to_string(kMaxArrayAddressWidth) + "\n";
}

std::string helpText(const std::string& programName, const std::string& summary, const std::string& extension,
                     bool offersStyles) {
    const std::string styles =
        offersStyles ? "  --style case|array a case statement with a branch per word (the default), or a\n"
                       "                     constant array indexed by the address, widths 1 to 24: open\n"
                       "                     synthesis takes the array as a memory, in a fraction of the time\n"
                     : "";
    return "usage: " + programName + " [-w width] [-o output] input_filename...\n" + summary + "\n\n"
           "Each input_filename ends in .hex or .HEX; the output goes next to it, under the\n"
           "same name with " + extension + ". A name of - reads the image from standard input,\n"
           "with -w and -o. Without -w the first file asks on the console\n"
           "  " + addressWidthQuestion() + "\n"
           "and the answer (1 to 64; 0 for the default) serves every file; after a failure\n"
           "the program waits for Enter.\n\n"
           "Options may stand before or after the files; -- ends them, so that a file whose\n"
           "name starts with - follows it (or is written ./-name.hex).\n\n"
           "  -w, --width N      the address width, 1 to 64: nothing is asked, no key awaited\n"
           "  -o, --output FILE  write FILE instead (with one input file only)\n"
           + styles +
           "  --crop             leave out words beyond the address width, with a note\n"
           "  --strict           fail a file on any warning, keeping the previous output\n"
           "  -h, --help         show this text\n"
           "  -V, --version      show the version\n"
           "  --                 end the options\n\n"
           "Doubts about a HEX file are said as FILE:LINE: warning: TEXT, once per kind: a\n"
           "character that cannot start a record (reading stops there), a character that is\n"
           "not a hex digit (read as 0), a wrong checksum, a file that ends inside a record,\n"
           "a word address given twice, and words beyond the address width.\n\n"
           "In a Makefile:\n"
           "  build/%" + extension + ": %.hex\n"
           "  \t@mkdir -p $(@D)\n"
           "  \t" + programName + " -w 13 -o $@ $<\n";
}

}  // namespace romtools
