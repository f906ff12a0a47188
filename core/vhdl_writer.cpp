#include "vhdl_writer.h"

#include <algorithm>

#include "line_format.h"
#include "vhdl_entity.h"

namespace romtools {

namespace {

// A case branch: "\t\twhen \"<address bits>\" => romout <= \"<data bits>\";\t-- addr %04X: data %04X\n".
constexpr std::string_view kWhen = "\t\twhen \"";
constexpr std::string_view kAssign = "\" => romout <= \"";
constexpr std::string_view kCommentStart = "\";\t-- ";
// At most 32 address bits stand in the line buffer; the zeros of wider addresses go ahead of it.
constexpr std::size_t kLongestBranch =
    kWhen.size() + 32 + kAssign.size() + kDataWidth + kCommentStart.size() + kAddressDataCommentSize + 1;
constexpr std::size_t kBranchBufferSize = 128;
static_assert(kLongestBranch + kBitsScratch <= kBranchBufferSize,
              "the longest line and putBits' scratch fit the buffer");

}  // namespace

std::string VhdlRomWriter::nameNotice(std::string_view stem) const {
    return vhdlNameNotice(stem);
}

void VhdlRomWriter::writeHeader(std::ostream& output, std::string_view stem, std::int32_t addressWidth) {
    writeVhdlEntity(output, vhdlEntityName(stem), addressWidth);
    output << "begin\n"
              "\tprocess (romaddr)\n"
              "\tbegin\n"
              "\t\tcase romaddr is\n";
}

void VhdlRomWriter::writeWord(std::ostream& output, const RomWord& word, std::int32_t addressWidth) {
    char line[kBranchBufferSize];
    char* end = putText(line, kWhen);
    if (addressWidth > 32) {
        // The zeros above the address's 32 bits go straight to the stream, so the line stays bounded.
        writeLine(output, line, end);
        writeBits(output, 0, addressWidth - 32);
        end = line;
    }
    end = putBits(end, word.address, std::min(addressWidth, std::int32_t{32}));
    end = putText(end, kAssign);
    end = putBits(end, word.data, kDataWidth);
    end = putText(end, kCommentStart);
    end = putAddressDataComment(end, word.address, word.data);
    *end++ = '\n';
    writeLine(output, line, end);
}

void VhdlRomWriter::writeTrailer(std::ostream& output) {
    output << "\t\twhen others => romout <= \"";
    writeBits(output, 0, kDataWidth);
    output << "\";\n"
              "\t\tend case;\n"
              "\tend process;\n"
              "\n"
              "end RTL;\n";
}

}  // namespace romtools
