#include "vhdl_array_writer.h"

#include <algorithm>

#include "line_format.h"
#include "vhdl_entity.h"

namespace romtools {

namespace {

// An element: "\t\t<decimal address> => \"<data bits>\",\t-- addr %04X: data %04X\n".
constexpr std::string_view kIndent = "\t\t";
constexpr std::string_view kArrow = " => \"";
constexpr std::string_view kCommentStart = "\",\t-- ";
constexpr std::size_t kLongestElement =
    kIndent.size() + 5 + kArrow.size() + kDataWidth + kCommentStart.size() + kAddressDataCommentSize + 2;

}  // namespace

WriterStyle VhdlArrayRomWriter::style() const {
    return {"array", "a constant array read without a clock", kMaxArrayAddressWidth};
}

std::string VhdlArrayRomWriter::nameNotice(std::string_view stem) const {
    return vhdlNameNotice(stem);
}

void VhdlArrayRomWriter::writeHeader(std::ostream& output, std::string_view stem, std::int32_t addressWidth) {
    lineTarget_.attach(output);
    writeVhdlEntity(output, vhdlEntityName(stem), addressWidth, "use ieee.numeric_std.all;\n", portsBeforeAddress());
    // The run keeps the width to 1..24; clamped, any width gives some bound.
    const std::uint64_t lastAddress = (std::uint64_t{1} << std::clamp(addressWidth, 0, 63)) - 1;
    output << "\ttype rom_type is array (" << lastAddress << " downto 0) of std_logic_vector("
           << std::to_string(kDataWidth - 1) << " downto 0);\n"
              "\tconstant rom : rom_type := (\n";
}

void VhdlArrayRomWriter::writeWord(std::ostream& output, const RomWord& word, std::int32_t /*addressWidth*/) {
    OutputLine<kLongestElement> line(output, lineTarget_);
    char* end = putText(line.begin(), kIndent);
    end = putDecimal(end, word.address);
    end = putText(end, kArrow);
    end = putBits(end, word.data, kDataWidth);
    end = putText(end, kCommentStart);
    line.finish(putAddressDataComment(end, word.address, word.data));
}

void VhdlArrayRomWriter::writeTrailer(std::ostream& output) {
    output << "\t\tothers => \"";
    writeBits(output, 0, kDataWidth);
    output << "\"\n"
              "\t);\n"
              "begin\n"
           << readStatements() << "end RTL;\n";
}

}  // namespace romtools
