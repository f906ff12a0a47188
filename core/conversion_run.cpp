#include "conversion_run.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

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

// Messages end a failed run; the run waits for the user to read them when a file was at fault.
void awaitKeystroke() {
    std::getchar();
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

// Ends a run whose output is incomplete: no half-written file is left behind.
int discardOutput(OutputFile& output) {
    output.discard();
    awaitKeystroke();
    return 1;
}

int convert(int argc, char** argv, const ProgramDescription& program) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s input_filename\n", program.name);
        return 1;
    }
    const std::string argument = argv[1];
    const std::size_t cut = extensionStart(argument);
    const std::string_view extension = std::string_view(argument).substr(cut);
    if (extension != ".hex" && extension != ".HEX") {
        std::fputs("Input file should be HEX file.\n", stderr);
        return 1;
    }
    const std::string stem = argument.substr(0, cut);
    const std::string inputName = formatText("%s.hex", stem.c_str());
    const std::string outputName = formatText(program.outputFormat, stem.c_str());

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
        awaitKeystroke();
        return 1;
    }

    // An output that is the input itself, through a link, would replace the image it is made from.
    OutputFile outputFile(outputName);
    if (isSameFile(input.get(), outputName) || !outputFile.create()) {
        std::fprintf(stderr, "can not create output file %s\n", outputName.c_str());
        input.reset();
        awaitKeystroke();
        return 1;
    }
    CrLfFileBuf outputBuffer(outputFile.file());
    std::ostream output(&outputBuffer);

    std::fprintf(stderr, "ROM ADDRESS WIDTH? (enter 0 for using default value %d): ", kDefaultAddressWidth);
    std::int32_t addressWidth = readAddressWidth(stdin);
    std::fputs("\n", stderr);
    if (addressWidth == 0) {
        addressWidth = kDefaultAddressWidth;
    }
    if (addressWidth > kMaxAddressWidth) {
        std::fprintf(stderr, "address width %d is too large, at most %d\n", static_cast<int>(addressWidth),
                     static_cast<int>(kMaxAddressWidth));
        input.reset();
        return discardOutput(outputFile);
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
        return discardOutput(outputFile);
    }
    program.writer.writeTrailer(output);

    // A write error may show only when the last block is written or the file is closed.
    const bool written = outputBuffer.finish() && output.good();
    if (!written || !outputFile.complete()) {
        std::fprintf(stderr, "can not write output file %s\n", outputName.c_str());
        return discardOutput(outputFile);
    }
    if (fit.anyOutside()) {
        std::fprintf(stderr, "warning: address %04X does not fit the address width %d; a width of %d holds every address\n",
                     static_cast<unsigned>(fit.firstOutside()), static_cast<int>(addressWidth), fit.widthNeeded());
    }
    return 0;
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
    std::exit(convert(argc, argv, program));
}

}  // namespace romtools
