#include "vhdl_case_writer.h"

#include <algorithm>

#include "address_width_question.h"
#include "word_line.h"

namespace romtools {

namespace {

// A case branch: "\t\twhen \"<address bits>\" => romout <= \"<data bits>\";\t-- addr %04X: data <hex>\n".
constexpr std::string_view kWhen = "\t\twhen \"";
constexpr std::string_view kAssign = "\" => romout <= \"";
constexpr std::string_view kCommentStart = "\";\t-- ";
// Up to 64 address bits stand in the line; the zeros of wider addresses go ahead of it.
constexpr std::int32_t kBitsInLine = 64;
constexpr std::size_t kLongestBranch =
    kWhen.size() + kBitsInLine + kAssign.size() + longestDataAndComment(kCommentStart.size());

}  // namespace

OutputForm VhdlCaseRomWriter::form() const {
    return {"case", "a case statement with a branch per word", ".vhd", kMaxAddressWidth};
}

void VhdlCaseRomWriter::writeHeader(LineSink& sink, const RomNames& names, const RomShape& shape) {
    writeVhdlEntity(sink, vhdlEntityName(names.unit), shape);
    sink << "begin\n"
            "\tprocess (romaddr)\n"
            "\tbegin\n"
            "\t\tcase romaddr is\n";
}

void VhdlCaseRomWriter::writeWord(LineSink& sink, const RomWord& word, const RomShape& shape) {
    const bool wide = shape.addressWidth > kBitsInLine;
    if (wide) {
        sink << kWhen;
        writeBits(sink, 0, shape.addressWidth - kBitsInLine);
    }
    writeWordLine(sink, shape, kLongestBranch, [&word, &shape, wide](char* out, auto dataWidth) {
        out = putBits(wide ? out : putText(out, kWhen), word.address, shape.addressWidth);
        out = putText(out, kAssign);
        return putDataAndComment(out, word, dataWidth, kCommentStart);
    });
}

void VhdlCaseRomWriter::writeTrailer(LineSink& sink, const RomShape& shape) {
    writeFillChoice(sink, "\t\twhen others => romout <= \"", shape, "\";\n\t\tend case;\n\tend process;\n\nend RTL;\n");
}

}  // namespace romtools
