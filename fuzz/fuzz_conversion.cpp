// The whole conversion on any bytes, through every writer and the CR LF output: the first byte picks
// the address width, the second the data width (its low six bits) and the base (its top two), the
// third's lowest bit the byte order and its next the fill word (0 or all ones), and the rest is the HEX
// file. Checked besides crashes and undefined behaviour: the words delivered are the image
// that a plain decoding of the same bytes gives (unless the file is cut off or gives a word twice),
// every line ends in CR LF and never in CR CR LF, the VHDL holds one case branch and the MIF one content
// line per word delivered, and the word file holds the last word given at each address.

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "crlf_file_buf.h"
#include "fuzz_input.h"
#include "hex_record_reader.h"
#include "mif_writer.h"
#include "temp_file.h"
#include "vhdl_array_writer.h"
#include "vhdl_block_writer.h"
#include "vhdl_case_writer.h"
#include "vhdl_file_writer.h"
#include "word_file_writer.h"
#include "write_rom.h"

namespace {

using namespace romtools;

// Every width from -127 to 127 and the most negative one; wider ones only make longer rows of zeros.
std::int32_t addressWidthFrom(std::uint8_t byte) {
    const auto width = static_cast<std::int8_t>(byte);
    return width == INT8_MIN ? INT32_MIN : width;
}

using Image = std::map<std::uint64_t, std::uint64_t>;  // word address, data

// Bases that make words straddle bytes, 64 KiB and records, and one above all of a small file.
constexpr std::uint32_t kBases[] = {0, 3, 0xFFFF, 0x08000000};

// The image the bytes describe, decoded plainly into bytes at byte addresses and then joined into words:
// the text rules first (Ctrl-Z ends the text, a byte-order mark at the start goes, CR LF and a lone CR
// are line ends), then record by record, a non-digit reading as 0, until something cannot start one
// before an end record; a data record's bytes lie at the base of the last extended segment or linear
// address record plus its address and on, and word k starts at byte romBase + k * bytesPerWord, its
// lowest byte first, or for a big-endian core its highest.
Image plainDecoding(const std::uint8_t* data, std::size_t size, const WordLayout& layout) {
    const unsigned bytesPerWord = layout.bytesPerWord;
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.substr(0, text.find('\x1A'));
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        text.erase(0, 3);
    }
    for (std::size_t cr; (cr = text.find('\r')) != std::string::npos;) {
        text.replace(cr, text.compare(cr, 2, "\r\n") == 0 ? 2 : 1, "\n");
    }
    const auto digit = [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) ? std::stoi(std::string(1, c), nullptr, 16) : 0;
    };
    std::size_t at = 0;
    const auto readByte = [&] { return (at += 2) > text.size() ? -1 : digit(text[at - 2]) * 16 + digit(text[at - 1]); };
    std::map<std::uint64_t, unsigned> bytes;
    std::uint64_t base = 0;
    bool ended = false;  // an end record has been read: a line that starts no record is skipped
    for (;;) {
        at = text.find_first_not_of("\n \t", at);
        if (at != std::string::npos && text[at] != ':' && ended) {
            at = text.find('\n', at);
            continue;
        }
        if (at == std::string::npos || text[at++] != ':') {
            break;
        }
        const int count = readByte();
        const int address = readByte() * 256 + readByte();
        const int type = readByte();
        std::uint64_t value = 0;  // a record cut short ends the reading, and its value counts for nothing
        for (int i = 0; i < count; ++i) {
            const int byte = readByte();
            value = (value * 256 + static_cast<unsigned>(byte)) % 0x10000;
            if (type == 0 && byte >= 0) {
                bytes[base + static_cast<unsigned>(address + i)] = static_cast<unsigned>(byte);
            }
        }
        if (type == 2 || type == 4) {
            base = type == 2 ? value * 16 : value * 65536;
        }
        ended = (readByte() >= 0 && type == 1) || ended;
    }
    Image image;
    for (const auto& [address, byte] : bytes) {
        if (address >= layout.romBase) {
            const std::uint64_t position = address - layout.romBase;
            const std::uint64_t offset = position % bytesPerWord;
            image[position / bytesPerWord] |= std::uint64_t{byte}
                                              << ((layout.bigEndian ? bytesPerWord - 1 - offset : offset) * 8);
        }
    }
    return image;
}

// The words the reader delivers on its own, the last one of each address in image; aborts when they are
// not the plain decoding's image.
std::size_t wordsIn(const std::uint8_t* data, std::size_t size, const WordLayout& layout, Image& image) {
    fuzzing::MemoryFile hex(data, size);
    TextInput input(hex.get());
    InputWarnings warnings("fuzz", nullptr);
    HexRecordReader reader(input, warnings, layout);
    std::size_t words = 0;
    bool repeated = false;
    for (RomWord word; reader.nextWord(word);) {
        ++words;
        repeated = repeated || image.count(word.address) != 0;
        image[word.address] = word.data;
    }
    // A word in parts, or one cut off, is said in a warning and may differ from the plain image.
    if (!repeated && warnings.firstOf(Doubt::cutOff) && image != plainDecoding(data, size, layout)) {
        std::abort();
    }
    return words;
}

// The conversion as the run makes it, into a real file: the output layer makes its file unbuffered,
// which memory streams do not support.
std::string convert(const std::uint8_t* data, std::size_t size, RomWriter& writer, const RomShape& shape,
                    const WordLayout& layout) {
    fuzzing::MemoryFile hex(data, size);
    const FilePtr file(std::tmpfile());
    if (hex.get() == nullptr || file == nullptr) {
        std::abort();
    }
    CrLfFileBuf buffer(file.get());
    LineSink sink(buffer);
    TextInput input(hex.get());
    InputWarnings warnings("fuzz", nullptr);
    HexRecordReader reader(input, warnings, layout);
    writeRom(reader, warnings, writer, sink, {{"Fuzz", "Fuzz"}, shape});
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

// The lines that start with start, followed by a decimal digit where digitAfter.
std::size_t linesStartingWith(const std::string& text, const std::string& start, bool digitAfter) {
    std::size_t count = 0;
    for (std::size_t line = 0; line < text.size();) {
        const std::size_t next = line + start.size();
        count += text.compare(line, start.size(), start) == 0 &&
                 (!digitAfter || (next < text.size() && std::isdigit(static_cast<unsigned char>(text[next]))));
        const std::size_t end = text.find('\n', line);
        line = end == std::string::npos ? text.size() : end + 1;
    }
    return count;
}

// The word file: a line for each address of the ROM with the low bits of the last word the reader gave
// there, or the fill word, in as many hex digits as the data width needs.
void checkWordFile(const std::uint8_t* data, std::size_t size, const RomShape& shape, const WordLayout& layout,
                   const Image& image) {
    std::string expected;
    for (std::uint64_t address = 0; address >> shape.addressWidth == 0; ++address) {
        const auto word = image.find(address);
        char line[24];
        std::snprintf(line, sizeof line, "%0*llX\r\n", static_cast<int>(shape.hexDigits()),
                      static_cast<unsigned long long>(word == image.end() ? shape.fill : word->second & shape.dataMask()));
        expected += line;
    }
    WordFileWriter mem;
    if (convert(data, size, mem, shape, layout) != expected) {
        std::abort();
    }
}

// One writer's output: every line ends in CR LF, and one line per word starts as lineStart says.
void checkOutput(const std::uint8_t* data, std::size_t size, RomWriter& writer, const RomShape& shape,
                 const WordLayout& layout, const std::string& lineStart, bool digitAfter, std::size_t words) {
    const std::string text = convert(data, size, writer, shape, layout);
    checkLineEnds(text);
    if (linesStartingWith(text, lineStart, digitAfter) != words) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    RomShape shape{addressWidthFrom(data[0]), 1 + data[1] % kMaxDataWidth};
    shape.fill = (data[2] & 2u) != 0 ? shape.dataMask() : 0;
    const WordLayout layout{shape.bytesPerWord(), kBases[data[1] >> 6], (data[2] & 1u) != 0};
    data += 3;
    size -= 3;
    Image image;
    const std::size_t words = wordsIn(data, size, layout, image);

    VhdlCaseRomWriter vhdl;
    checkOutput(data, size, vhdl, shape, layout, "\t\twhen \"", false, words);
    if (shape.addressWidth >= 1 && shape.addressWidth <= 24) {  // the widths the array and block styles take
        VhdlArrayRomWriter array;
        checkOutput(data, size, array, shape, layout, "\t\t", true, words);
        VhdlBlockRomWriter block;
        checkOutput(data, size, block, shape, layout, "\t\t", true, words);
        VhdlFileRomWriter file;
        checkOutput(data, size, file, shape, layout, "\t\t\tromout", false, 1);
    }
    if (shape.addressWidth >= 1 && shape.addressWidth <= 12) {  // widths the formats take, and quick to check
        checkWordFile(data, size, shape, layout, image);
    }
    if (shape.addressWidth <= 64) {  // the programs refuse wider ROMs; content lines start with a decimal address
        MifWriter mif;
        checkOutput(data, size, mif, shape, layout, "", true, words);
    }
    return 0;
}
