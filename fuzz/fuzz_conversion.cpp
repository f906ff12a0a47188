// The whole conversion on any bytes, through both writers and the CR LF output: the first byte picks
// the address width, the rest is the HEX file. Checked besides crashes and undefined behaviour: every
// line ends in CR LF and never in CR CR LF, the VHDL holds one case branch and the MIF one content
// line per word delivered.

#include <climits>
#include <cstdlib>
#include <ostream>
#include <string>

#include "crlf_file_buf.h"
#include "fuzz_input.h"
#include "hex_record_reader.h"
#include "mif_writer.h"
#include "temp_file.h"
#include "vhdl_writer.h"
#include "write_rom.h"

namespace {

using namespace romtools;

// Every width from -127 to 127 and the most negative one; wider ones only make longer rows of zeros.
std::int32_t addressWidthFrom(std::uint8_t byte) {
    const auto width = static_cast<std::int8_t>(byte);
    return width == INT8_MIN ? INT32_MIN : width;
}

// The words the reader delivers on its own.
std::size_t wordsIn(const std::uint8_t* data, std::size_t size) {
    fuzzing::MemoryFile hex(data, size);
    TextInput input(hex.get());
    HexRecordReader reader(input);
    std::size_t words = 0;
    for (RomWord word; reader.nextWord(word);) {
        ++words;
    }
    return words;
}

// The conversion as the run makes it, into a real file: the output layer makes its file unbuffered,
// which memory streams do not support.
std::string convert(const std::uint8_t* data, std::size_t size, RomWriter& writer, std::int32_t width) {
    fuzzing::MemoryFile hex(data, size);
    const FilePtr file(std::tmpfile());
    if (hex.get() == nullptr || file == nullptr) {
        std::abort();
    }
    CrLfFileBuf buffer(file.get());
    std::ostream output(&buffer);
    TextInput input(hex.get());
    HexRecordReader reader(input);
    writeRom(reader, writer, output, "Fuzz", width);
    if (!buffer.finish()) {
        std::abort();
    }
    return testing::contentsOf(file.get());
}

// Every line ends in CR LF, never CR CR LF, and no CR stands anywhere else.
void checkLineEnds(const std::string& text) {
    if (text.empty() || text.back() != '\n') {
        std::abort();
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool endsLine = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if ((text[i] == '\r' && !endsLine) || (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) ||
            (endsLine && i > 0 && text[i - 1] == '\r')) {
            std::abort();
        }
    }
}

std::size_t linesStartingWith(const std::string& text, const std::string& start) {
    std::size_t count = 0;
    for (std::size_t line = 0; line < text.size();) {
        count += text.compare(line, start.size(), start) == 0 ? 1 : 0;
        const std::size_t end = text.find('\n', line);
        line = end == std::string::npos ? text.size() : end + 1;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::int32_t width = addressWidthFrom(data[0]);
    ++data;
    --size;
    const std::size_t words = wordsIn(data, size);

    VhdlRomWriter vhdl;
    const std::string vhdlText = convert(data, size, vhdl, width);
    checkLineEnds(vhdlText);
    if (linesStartingWith(vhdlText, "\t\twhen \"") != words) {
        std::abort();
    }

    if (width <= 64) {  // the programs refuse wider ROMs
        MifWriter mif;
        const std::string mifText = convert(data, size, mif, width);
        checkLineEnds(mifText);
        // Content lines are the ones that start with a decimal address.
        std::size_t contentLines = 0;
        for (const char digit : std::string("0123456789")) {
            contentLines += linesStartingWith(mifText, std::string(1, digit));
        }
        if (contentLines != words) {
            std::abort();
        }
    }
    return 0;
}
