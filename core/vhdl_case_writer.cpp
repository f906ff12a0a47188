#include "vhdl_case_writer.h"

#include <algorithm>

#include "address_width_question.h"
#include "line_format.h"
#include "vhdl_entity.h"

namespace romtools {

namespace {

// A case branch: "\t\twhen \"<address bits>\" => romout <= \"<data bits>\";\t-- addr %04X: data <hex>\n".
constexpr std::string_view kWhen = "\t\twhen \"";
constexpr std::string_view kAssign = "\" => romout <= \"";
constexpr std::string_view kCommentStart = "\";\t-- ";
// Up to 64 address bits stand in the line; the zeros of wider addresses go ahead of it.
constexpr std::int32_t kBitsInLine = 64;
constexpr std::size_t kLongestBranch =
    kWhen.size() + kBitsInLine + kAssign.size() + kMaxDataWidth + kCommentStart.size() + kAddressDataCommentSize + 2;

}  // namespace

WriterStyle VhdlCaseRomWriter::style() const {
    return {"case", "a case statement with a branch per word", kMaxAddressWidth};
}

std::string VhdlCaseRomWriter::nameNotice(std::string_view stem) const {
    return vhdlNameNotice(stem);
}

void VhdlCaseRomWriter::writeHeader(std::ostream& output, std::string_view stem, const RomShape& shape) {
    lineTarget_.attach(output);
    writeVhdlEntity(output, vhdlEntityName(stem), shape);
    output << "begin\n"
              "\tprocess (romaddr)\n"
              "\tbegin\n"
              "\t\tcase romaddr is\n";
}

void VhdlCaseRomWriter::writeWord(std::ostream& output, const RomWord& word, const RomShape& shape) {
    if (shape.addressWidth > kBitsInLine) {
        output << kWhen;
        writeBits(output, 0, shape.addressWidth - kBitsInLine);
    }
    withDataWidth(shape, [&](auto dataWidth) {
        OutputLine<kLongestBranch> line(output, lineTarget_);
        char* end = shape.addressWidth > kBitsInLine ? line.begin() : putText(line.begin(), kWhen);
        end = putBits(end, word.address, shape.addressWidth);
        end = putText(end, kAssign);
        end = putBits(end, word.data, dataWidth);
        end = putText(end, kCommentStart);
        line.finish(putAddressDataComment(end, word.address, word.data, bytesPerWord(dataWidth)));
    });
}

void VhdlCaseRomWriter::writeTrailer(std::ostream& output, const RomShape& shape) {
    output << "\t\twhen others => romout <= \"";
    writeBits(output, 0, shape.dataWidth);
    output << "\";\n"
              "\t\tend case;\n"
              "\tend process;\n"
              "\n"
              "end RTL;\n";
}

}  // namespace romtools
