#include "conversion_run.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "command_line.h"
#include "hex_record_reader.h"
#include "output_file.h"
#include "print.h"
#include "text_input.h"
#include "text_output.h"

namespace romtools {

namespace {

constexpr std::int32_t kDefaultAddressWidth = 13;
// The MIF's depth is written exactly and VHDL has no such bound, but no ROM is meant beyond 64 address
// bits: a larger answer is a typing slip that would fill the disk.
constexpr std::int32_t kMaxAddressWidth = 64;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// What a run holds for all its files.
struct RunSettings {
    std::optional<std::int32_t> addressWidth;  // given by -w, or answered at the first file that asks
    bool batch = false;                        // -w was given: nothing reads standard input
    std::optional<std::string> outputName;     // -o
};

// Messages end a failed conversion; the run waits for the user to read them when a file was at fault,
// unless it runs in a batch.
void awaitKeystroke(const RunSettings& settings) {
    if (!settings.batch) {
        std::getchar();
    }
}

// The output name given with -o, without the extension of its last part: quenlor names the entity
// after it.
std::string stemOfOutput(const std::string& name) {
    const std::size_t base = name.find_last_of("/\\") + 1;  // 0 when there is none
    const std::size_t dot = name.rfind('.');
    return dot != std::string::npos && dot >= base ? name.substr(0, dot) : name;
}

// Asks for the address width, once a run.
std::int32_t askAddressWidth() {
    std::fprintf(stderr, "ROM ADDRESS WIDTH? (enter 0 for using default value %d): ", kDefaultAddressWidth);
    const std::int32_t answer = readAddressWidth(stdin);
    std::fputs("\n", stderr);
    return answer == 0 ? kDefaultAddressWidth : answer;
}

// The extension starts at the last '.' after the name's first character; without one, the whole name
// stands as the extension (and is refused).
std::size_t extensionStart(std::string_view name) {
    std::size_t position = name.empty() ? 0 : name.size() - 1;
    while (position > 0 && name[position] != '.') {
        --position;
    }
    return position;
}

bool isBlank(int character) {
    return character == ' ' || character == '\t' || character == '\n' || character == '\v' ||
           character == '\f' || character == '\r';
}

// Watches the word addresses for the ones that lie beyond the ROM: the output keeps them, as the file
// has them, but VHDL tools refuse the repeated choices they make, so the user is told once at the end.
class AddressFit {
public:
    explicit AddressFit(std::int32_t addressWidth)
        : limit_(addressWidth < 1 ? 0 : addressWidth > 16 ? 0x10000u : 1u << addressWidth) {}

    void note(std::uint16_t address) {
        if (address >= limit_ && !anyOutside_) {
            anyOutside_ = true;
            firstOutside_ = address;
        }
        largest_ = std::max(largest_, address);
    }
    bool anyOutside() const { return anyOutside_; }
    std::uint16_t firstOutside() const { return firstOutside_; }
    // The bit length of the largest address, at least 1.
    int widthNeeded() const {
        int bits = 1;
        while ((largest_ >> bits) != 0) {
            ++bits;
        }
        return bits;
    }

private:
    std::uint32_t limit_;  // the first address beyond the ROM
    bool anyOutside_ = false;
    std::uint16_t firstOutside_ = 0;
    std::uint16_t largest_ = 0;
};

// Ends a conversion whose output is incomplete: the previous output stays.
int discardOutput(OutputFile& output, const RunSettings& settings) {
    output.discard();
    awaitKeystroke(settings);
    return 1;
}

int convertFile(const std::string& argument, RunSettings& settings, const ProgramDescription& program) {
    const std::size_t cut = extensionStart(argument);
    const std::string_view extension = std::string_view(argument).substr(cut);
    if (extension != ".hex" && extension != ".HEX") {
        std::fputs("Input file should be HEX file.\n", stderr);
        return 1;
    }
    const std::string inputName = formatText("%s.hex", argument.substr(0, cut).c_str());
    const std::string outputName =
        settings.outputName ? *settings.outputName : formatText(program.outputFormat, argument.substr(0, cut).c_str());
    // The unit is named after the output.
    const std::string stem = settings.outputName ? stemOfOutput(outputName) : argument.substr(0, cut);

    // The input is looked for under the lower-case extension first; on a case-sensitive file system a
    // file named with ".HEX" is then found under its own name.
    std::string openedName = inputName;
    FilePtr input(std::fopen(inputName.c_str(), "rb"));
    if (!input && extension == ".HEX") {
        openedName = argument;
        input.reset(std::fopen(argument.c_str(), "rb"));
    }
    if (!input) {
        std::fprintf(stderr, "can not open input file %s\n", inputName.c_str());
        awaitKeystroke(settings);
        return 1;
    }

    // An output that is the input itself, through a link, would replace the image it is made from.
    OutputFile outputFile(outputName);
    if (isSameFile(input.get(), outputName) || !outputFile.create()) {
        std::fprintf(stderr, "can not create output file %s\n", outputName.c_str());
        input.reset();
        awaitKeystroke(settings);
        return 1;
    }
    CrLfFileBuf outputBuffer(outputFile.file());
    std::ostream output(&outputBuffer);

    if (!settings.addressWidth) {
        settings.addressWidth = askAddressWidth();
    }
    const std::int32_t addressWidth = *settings.addressWidth;
    if (addressWidth > kMaxAddressWidth) {
        std::fprintf(stderr, "address width %d is too large, at most %d\n", static_cast<int>(addressWidth),
                     static_cast<int>(kMaxAddressWidth));
        input.reset();
        return discardOutput(outputFile, settings);
    }
    std::fputs(program.writer.nameNotice(stem).c_str(), stderr);

    program.writer.writeHeader(output, stem, addressWidth);
    TextInput text(input.get());
    HexRecordReader reader(text);
    AddressFit fit(addressWidth);
    RomWord word;
    // A failed write ends the reading too: the output is lost either way.
    while (output.good() && reader.nextWord(word)) {
        fit.note(word.address);
        program.writer.writeWord(output, word, addressWidth);
    }
    const bool readFailed = text.failed();
    input.reset();
    if (readFailed) {
        std::fprintf(stderr, "can not read input file %s\n", openedName.c_str());
        return discardOutput(outputFile, settings);
    }
    program.writer.writeTrailer(output);

    // A write error may show only when the last block is written or the file is closed.
    const bool written = outputBuffer.finish() && output.good();
    if (!written || !outputFile.complete()) {
        std::fprintf(stderr, "can not write output file %s\n", outputName.c_str());
        return discardOutput(outputFile, settings);
    }
    if (fit.anyOutside()) {
        std::fprintf(stderr, "warning: address %04X does not fit the address width %d; a width of %d holds every address\n",
                     static_cast<unsigned>(fit.firstOutside()), static_cast<int>(addressWidth), fit.widthNeeded());
    }
    return 0;
}

int run(int argc, char** argv, const ProgramDescription& program) {
    const CommandLine line = parseCommandLine(argc, argv, program.name);
    switch (line.request) {
    case CommandLine::Request::help:
        std::fputs(helpText(program.name, program.summary, formatText(program.outputFormat, "")).c_str(), stdout);
        return 0;
    case CommandLine::Request::version:
        std::printf("%s (romtools) %s\n", program.name, ROMTOOLS_VERSION);
        return 0;
    case CommandLine::Request::refuse:
        std::fputs(line.refusal.c_str(), stderr);
        return 1;
    case CommandLine::Request::convert:
        break;
    }
    RunSettings settings{line.addressWidth, line.addressWidth.has_value(), line.outputName};
    // Every file is converted, whatever became of the ones before it.
    int status = 0;
    for (const std::string& file : line.files) {
        status |= convertFile(file, settings, program);
    }
    return status;
}

}  // namespace

std::int32_t readAddressWidth(std::FILE* input) {
    int character = std::getc(input);
    while (isBlank(character)) {
        character = std::getc(input);
    }
    const bool negative = character == '-';
    if (character == '-' || character == '+') {
        character = std::getc(input);
    }
    // However many digits follow, the number stops growing at 2^31: it saturates rather than wraps.
    constexpr std::int64_t kCeiling = std::int64_t{1} << 31;
    bool haveDigits = false;
    std::int64_t value = 0;
    while (character >= '0' && character <= '9') {
        value = std::min(value * 10 + (character - '0'), kCeiling);
        haveDigits = true;
        character = std::getc(input);
    }
    while (character != '\n' && character != EOF) {
        character = std::getc(input);
    }
    if (!haveDigits) {
        return 0;
    }
    return static_cast<std::int32_t>(negative ? -value : std::min(value, kCeiling - 1));
}

void runConversion(int argc, char** argv, const ProgramDescription& program) {
    openClosedStandardStreams();
    installSignalHandlers();
    std::exit(run(argc, argv, program));
}

}  // namespace romtools
