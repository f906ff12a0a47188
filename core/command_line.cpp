#include "command_line.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "address_width_question.h"
#include "hex_record_reader.h"

namespace romtools {

namespace {

constexpr std::pair<std::string_view, std::string_view> kLongNames[] = {
    {"--width", "-w"},   {"--data-width", "--data-width"}, {"--base", "--base"},
    {"--output", "-o"},  {"--style", "--style"},           {"--format", "--format"},
    {"--entity", "--entity"}, {"--fill", "--fill"}};

// The options that take no value.
constexpr std::pair<std::string_view, bool Options::*> kFlags[] = {
    {"--crop", &Options::crop}, {"--strict", &Options::strict}, {"--big-endian", &Options::bigEndian}};

// A decimal number from 1 to 64 and nothing else, or nothing: an address width or a data width.
std::optional<std::int32_t> widthOption(std::string_view text) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    std::int32_t width = 0;
    for (const char digit : text) {
        width = width * 10 + (digit - '0');
    }
    static_assert(kMaxAddressWidth == kMaxDataWidth);
    if (width < 1 || width > kMaxAddressWidth) {
        return std::nullopt;
    }
    return width;
}

// 0x or 0X and 1 to hexDigits hex digits, or 1 to decimalDigits decimal digits, at most largest; nothing
// otherwise.
std::optional<std::uint64_t> numberOption(std::string_view text, std::size_t hexDigits, std::size_t decimalDigits,
                                          std::uint64_t largest) {
    const bool hex = text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X";
    const std::string_view digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > (hex ? hexDigits : decimalDigits) ||
        digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const unsigned radix = hex ? 16 : 10;
    std::uint64_t value = 0;
    for (const char digit : digits) {
        if (value > (largest - hexDigitValue(digit)) / radix) {
            return std::nullopt;
        }
        value = value * radix + hexDigitValue(digit);
    }
    return value;
}

Options refused(std::string message) {
    Options options;
    options.request = Options::Request::refuse;
    options.refusal = std::move(message);
    return options;
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

// The program's option that picks a writer: --style or --format.
std::string formOption(const ProgramDescription& program) {
    return "--" + std::string(program.formOption);
}

// The writer whose form has the name, or null.
RomWriter* writerOfForm(const ProgramDescription& program, std::string_view name) {
    const auto found = std::find_if(program.writers.begin(), program.writers.end(),
                                    [name](const RomWriter* writer) { return writer->form().name == name; });
    return found != program.writers.end() ? *found : nullptr;
}

// The forms' names with separator between them, and lastSeparator before the last one.
std::string formNames(const ProgramDescription& program, std::string_view separator, std::string_view lastSeparator) {
    std::string names;
    for (std::size_t i = 0; i < program.writers.size(); ++i) {
        names += i == 0 ? "" : i + 1 == program.writers.size() ? lastSeparator : separator;
        names += program.writers[i]->form().name;
    }
    return names;
}

// The usage lines, with every option, packed into lines of at most 80 characters.
std::string usageLines(const ProgramDescription& program) {
    const std::string start = "usage: " + std::string(program.name) + " ";
    std::vector<std::string> items = {"[-w width]", "[--data-width bits]", "[--big-endian]", "[--base address]",
                                      "[--fill word]"};
    if (program.offersForms()) {
        items.push_back("[" + formOption(program) + " " + formNames(program, "|", "|") + "]");
    }
    if (program.namesUnits) {
        items.push_back("[--entity name]");
    }
    items.insert(items.end(), {"[-o output]", "[--crop]", "[--strict]", "[-h]", "[-V]", "[--]", "input_filename..."});
    std::string usage = start;
    std::size_t lineLength = start.size();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0 && lineLength + 1 + items[i].size() > 80) {
            usage += "\n" + std::string(start.size(), ' ');
            lineLength = start.size();
        } else if (i > 0) {
            usage += ' ';
            ++lineLength;
        }
        usage += items[i];
        lineLength += items[i].size();
    }
    return usage + "\n";
}

// Reads the arguments in turn into the options, until the options are refused or answered.
class OptionReader {
public:
    OptionReader(int argc, char** argv, const ProgramDescription& program)
        : argc_(argc), argv_(argv), program_(program), usage_(usageLines(program)) {
        options_.writer = program.writers.front();
    }

    Options read();

private:
    bool readOption(int& index);
    bool readValue(std::string_view name, const std::string& value);
    Options checked();

    // Whether the program takes the value option of this short name: the option that picks a form is
    // the program's own, and --entity is for a program that names units.
    bool programTakes(std::string_view name) const {
        if (name == "--style" || name == "--format") {
            return name == formOption(program_) && program_.offersForms();
        }
        return name != "--entity" || program_.namesUnits;
    }

    // Makes the options a refusal; false, as reading stops there.
    bool refuse(std::string message) {
        options_ = refused(std::move(message));
        return false;
    }

    int argc_;
    char** argv_;
    const ProgramDescription& program_;
    std::string usage_;
    Options options_;
};

Options OptionReader::read() {
    // Options stand anywhere among the files, and every one is read before a file is converted; "--"
    // ends them, and "-" alone is a file: standard input.
    bool optionsEnded = false;
    for (int index = 1; index < argc_; ++index) {
        const std::string_view argument = argv_[index];
        if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
            options_.files.emplace_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (!readOption(index)) {
            return options_;
        }
    }
    return checked();
}

// Reads the option at argv[index], and the value it takes, leaving index at the last argument it took;
// false when the options are refused or answered.
bool OptionReader::readOption(int& index) {
    const std::string_view argument = argv_[index];
    if (argument == "-h" || argument == "--help" || argument == "-V" || argument == "--version") {
        options_.request = argument == "-h" || argument == "--help" ? Options::Request::help : Options::Request::version;
        return false;
    }
    for (const auto& [flagName, flag] : kFlags) {
        if (argument == flagName) {
            options_.*flag = true;
            return true;
        }
    }
    const ValueOption option = valueOption(argument);
    if (option.name.empty() || !programTakes(option.name)) {
        return refuse("unknown option " + std::string(argument) + "\n" + usage_);
    }
    if (!option.value && index + 1 == argc_) {
        return refuse("option " + std::string(argument) + " needs a value\n" + usage_);
    }
    return readValue(option.name, option.value ? std::string(*option.value) : argv_[++index]);
}

// Takes the value of an option by its short name; false when it is refused.
bool OptionReader::readValue(std::string_view name, const std::string& value) {
    if (name == "-o" || name == "--entity") {
        (name == "-o" ? options_.outputName : options_.entityName) = value;
        return true;
    }
    if (name == formOption(program_)) {
        options_.writer = writerOfForm(program_, value);
        return options_.writer != nullptr || refuse("invalid " + std::string(program_.formOption) + " " + value +
                                                    "; it is " + formNames(program_, ", ", " or ") + "\n" + usage_);
    }
    if (name == "--fill") {
        options_.fillText = value;
        return true;
    }
    if (name == "--base") {
        const std::optional<std::uint64_t> base = numberOption(value, 8, 10, UINT32_MAX);
        options_.base = static_cast<std::uint32_t>(base.value_or(0));
        return base.has_value() || refuse("invalid base address " + value +
                                          "; it is 0x followed by up to 8 hex digits, or a decimal number below "
                                          "4294967296\n" + usage_);
    }
    const std::optional<std::int32_t> width = widthOption(value);
    if (!width) {
        return refuse(std::string("invalid ") + (name == "-w" ? "address" : "data") + " width " + value +
                      "; it is 1 to " + std::to_string(kMaxAddressWidth) + "\n");
    }
    if (name == "-w") {
        options_.addressWidth = width;
    } else {
        options_.dataWidth = *width;
    }
    return true;
}

// The options read, or the refusal of what they ask together.
Options OptionReader::checked() {
    if (options_.fillText) {
        const std::optional<std::uint64_t> fill =
            numberOption(*options_.fillText, 16, 20, lowBitsMask(static_cast<unsigned>(options_.dataWidth)));
        if (!fill) {
            return refused("invalid fill word " + *options_.fillText +
                           "; it is 0x followed by up to 16 hex digits, or a decimal number, below 2 to the power " +
                           std::to_string(options_.dataWidth) + "\n" + usage_);
        }
        options_.fill = *fill;
    }
    if (options_.files.empty()) {
        return refused(usage_);
    }
    if (options_.outputName && options_.files.size() > 1) {
        return refused("-o is allowed with one input file only\n" + usage_);
    }
    if (options_.entityName && options_.files.size() > 1) {
        return refused("--entity is allowed with one input file only\n" + usage_);
    }
    if (options_.addressWidth && *options_.addressWidth > options_.writer->form().widestAddress) {
        return refused(formWidthRefusal(program_, *options_.writer));
    }
    const bool readsStandardInput =
        std::find(options_.files.begin(), options_.files.end(), "-") != options_.files.end();
    if (readsStandardInput && (!options_.addressWidth || !options_.outputName)) {
        return refused("reading the image from standard input needs -w and -o\n" + usage_);
    }
    return options_;
}

}  // namespace

Options parseCommandLine(int argc, char** argv, const ProgramDescription& program) {
    // Without any argument the program gives its first, shortest usage line, which scripts may expect.
    if (argc < 2) {
        return refused("usage: " + std::string(program.name) + " input_filename\n");
    }
    return OptionReader(argc, argv, program).read();
}

std::string formWidthRefusal(const ProgramDescription& program, const RomWriter& writer) {
    const OutputForm form = writer.form();
    return "the " + std::string(form.name) + " " + program.formOption + " takes address widths up to " +
           std::to_string(form.widestAddress) + "\n";
}

namespace {

// The option that picks a form and a line for each form, the default first.
std::string formHelp(const ProgramDescription& program) {
    if (!program.offersForms()) {
        return "";
    }
    std::string upper = program.formOption;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return static_cast<char>(c - 'a' + 'A'); });
    const std::string option = formOption(program) + " " + upper;
    std::string help = "  " + option + std::string(19 - option.size(), ' ') + "the form of the output, one of:\n";
    for (const RomWriter* writer : program.writers) {
        const OutputForm form = writer->form();
        help += "    " + std::string(form.name) + std::string(17 - form.name.size(), ' ') + std::string(form.summary);
        if (form.widestAddress < kMaxAddressWidth) {
            help += ", widths 1 to " + std::to_string(form.widestAddress);
        }
        help += writer == program.writers.front() ? " (the default)\n" : "\n";
    }
    return help;
}

// The extension the output takes: the one of every form, or of the form chosen.
std::string outputExtensions(const ProgramDescription& program) {
    const std::string_view first = program.writers.front()->form().extension;
    const bool one = std::all_of(program.writers.begin(), program.writers.end(),
                                 [first](const RomWriter* writer) { return writer->form().extension == first; });
    return one ? std::string(first) : "the " + std::string(program.formOption) + "'s extension";
}

}  // namespace

std::string helpText(const ProgramDescription& program) {
    const std::string programName = program.name;
    const std::string extension(program.writers.front()->form().extension);
    return usageLines(program) + program.summary + "\n\n"
           "Each input_filename ends in an Intel HEX extension: .hex, .ihx or .ihex, which\n"
           "the output's extension replaces, or .ihe, .eep, .mcs, .a43, .a90, .h86, .hxl,\n"
           ".hxh, .obl or .obh, which it follows. The output goes next to the input, with\n" +
           outputExtensions(program) + ".\n"
           "A name of - reads the image from standard input, with -w and -o. Without -w\n"
           "the first file asks on the console\n"
           "  " + addressWidthQuestion() + "\n"
           "and the answer (1 to 64; 0 for the default) serves every file; after a failure\n"
           "the program waits for Enter.\n\n"
           "Options may stand before or after the files; -- ends them, so that a file whose\n"
           "name starts with - follows it (or is written ./-name.hex).\n\n"
           "  -w, --width N      the address width, 1 to 64: asks nothing, awaits no key\n"
           "  --data-width N     the bits of a ROM word, 1 to 64 (14 if not given)\n"
           "  --big-endian       a word's first byte is its most significant, as big-endian\n"
           "                     cores read it: OpenRISC, MicroBlaze, LEON, 68k, and MIPS\n"
           "                     or ARM built big-endian\n"
           "  --base ADDRESS     the image's byte address of ROM word 0: 0x and hex digits,\n"
           "                     or decimal; 0 if not given (--base 0x08000000 for a\n"
           "                     Cortex-M image linked at its flash)\n"
           "  --fill WORD        the word of every address the image gives none: 0x and\n"
           "                     hex digits, or decimal; 0 if not given (0x3FFF for a\n"
           "                     PIC16's erased flash)\n"
           "  -o, --output FILE  write FILE instead (with one input file only); - writes\n"
           "                     standard output\n"
           + formHelp(program) + (program.namesUnits ?
           "  --entity NAME      name the entity NAME instead of after the file (with one\n"
           "                     input file only)\n" : "") +
           "  --crop             leave out words beyond the address width and data below\n"
           "                     the base, with a note for each\n"
           "  --strict           fail a file on any warning, keeping the previous output\n"
           "  -h, --help         show this text\n"
           "  -V, --version      show the version\n"
           "  --                 end the options\n\n"
           "Doubts about a HEX file are said as FILE:LINE: warning: TEXT, once per kind: a\n"
           "character that cannot start a record before the end record (reading stops\n"
           "there), a character that is not a hex digit (read as 0), a wrong checksum, a\n"
           "file that ends inside a record, a word address given twice, data below the\n"
           "base address, a word with more bits than the data width (other than all 1s\n"
           "above it), a file with no end record, a file that gives no word for the ROM\n"
           "or none within the address width, and words beyond the address width.\n"
           "--strict makes each of them fail the file, and so does a question that\n"
           "standard input leaves unanswered. A file whose first character, past blanks,\n"
           "tabs and line ends, cannot start a record is not an Intel HEX file: it fails,\n"
           "and its previous output stays.\n\n"
           "In a Makefile, where a doubt should stop the build:\n"
           "  build/%" + extension + ": %.hex\n"
           "  \t@mkdir -p $(@D)\n"
           "  \t" + programName + " -w 13 --crop --strict -o $@ $<\n";
}

}  // namespace romtools
