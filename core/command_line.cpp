#include "command_line.h"

#include <string_view>
#include <utility>

namespace romtools {

namespace {

constexpr std::int32_t kMaxOptionWidth = 64;

constexpr std::pair<std::string_view, std::string_view> kLongNames[] = {{"--width", "-w"}, {"--output", "-o"}};

// A decimal number from 1 to 64 and nothing else, or nothing.
std::optional<std::int32_t> widthOption(std::string_view text) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    std::int32_t width = 0;
    for (const char digit : text) {
        width = width * 10 + (digit - '0');
    }
    if (width < 1 || width > kMaxOptionWidth) {
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

}  // namespace

CommandLine parseCommandLine(int argc, char** argv, const std::string& programName) {
    // Without any argument the program answers as it always has.
    if (argc < 2) {
        return refused("usage: " + programName + " input_filename\n");
    }
    const std::string usage = "usage: " + programName + " [-w width] [-o output] input_filename...\n";
    CommandLine line;
    int index = 1;
    for (; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--") {
            ++index;
            break;
        }
        if (argument.size() < 2 || argument.front() != '-') {
            break;
        }
        if (argument == "-h" || argument == "--help") {
            line.request = CommandLine::Request::help;
            return line;
        }
        if (argument == "-V" || argument == "--version") {
            line.request = CommandLine::Request::version;
            return line;
        }
        // The value of -w and -o stands in the same argument (-w14, --width=14) or in the next one.
        std::string_view option;
        std::optional<std::string_view> value;
        for (const auto& [longName, shortName] : kLongNames) {
            if (argument.substr(0, longName.size()) == longName &&
                (argument.size() == longName.size() || argument[longName.size()] == '=')) {
                option = shortName;
                if (argument.size() > longName.size()) {
                    value = argument.substr(longName.size() + 1);
                }
            }
        }
        if (option.empty() && (argument.substr(0, 2) == "-w" || argument.substr(0, 2) == "-o")) {
            option = argument.substr(0, 2);
            if (argument.size() > 2) {
                value = argument.substr(2);
            }
        }
        if (option.empty()) {
            return refused("unknown option " + std::string(argument) + "\n" + usage);
        }
        if (!value) {
            if (index + 1 == argc) {
                return refused("option " + std::string(argument) + " needs a value\n" + usage);
            }
            value = argv[++index];
        }
        if (option == "-w") {
            line.addressWidth = widthOption(*value);
            if (!line.addressWidth) {
                return refused("invalid address width " + std::string(*value) + "\n");
            }
        } else {
            line.outputName = std::string(*value);
        }
    }
    line.files.assign(argv + index, argv + argc);
    if (line.files.empty()) {
        return refused(usage);
    }
    if (line.outputName && line.files.size() > 1) {
        return refused("-o is allowed with one input file only\n" + usage);
    }
    return line;
}

std::string helpText(const std::string& programName, const std::string& summary, const std::string& extension) {
    return "usage: " + programName + " [-w width] [-o output] input_filename...\n" + summary + "\n\n"
           "Each input_filename ends in .hex or .HEX; the output goes next to it, under the\n"
           "same name with " + extension + ". Without -w the first file asks on the console\n"
           "  ROM ADDRESS WIDTH? (enter 0 for using default value 13):\n"
           "and the answer serves every file; after a failure the program waits for Enter.\n\n"
           "  -w, --width N      the address width, 1 to 64: nothing is asked, no key awaited\n"
           "  -o, --output FILE  write FILE instead (with one input file only)\n"
           "  -h, --help         show this text\n"
           "  -V, --version      show the version\n"
           "  --                 end the options\n\n"
           "In a Makefile:\n"
           "  rom" + extension + ": rom.hex\n"
           "  \t" + programName + " -w 14 -o $@ $<\n";
}

}  // namespace romtools
