#include "vhdl_array_writer.h"

#include <algorithm>

#include "line_format.h"
#include "vhdl_entity.h"

namespace romtools {

namespace {

// An element: "\t\t<decimal address> => \"<data bits>\",\t-- addr %04X: data <hex>\n".
constexpr std::string_view kIndent = "\t\t";
constexpr std::string_view kArrow = " => \"";
constexpr std::string_view kCommentStart = "\",\t-- ";
constexpr std::size_t kLongestElement =
    kIndent.size() + 6 + kArrow.size() + kMaxDataWidth + kCommentStart.size() + kAddressDataCommentSize + 2;

}  // namespace

WriterStyle VhdlArrayRomWriter::style() const {
    return {"array", "a constant array read without a clock", kMaxArrayAddressWidth};
}

std::string VhdlArrayRomWriter::nameNotice(std::string_view stem) const {
    return vhdlNameNotice(stem);
}

void VhdlArrayRomWriter::writeHeader(std::ostream& output, std::string_view stem, const RomShape& shape) {
    lineTarget_.attach(output);
    writeVhdlEntity(output, vhdlEntityName(stem), shape, "use ieee.numeric_std.all;\n", portsBeforeAddress());
    // The run keeps the width to 1..24; clamped, any width gives some bound.
    const std::uint64_t lastAddress = (std::uint64_t{1} << std::clamp(shape.addressWidth, 0, 63)) - 1;
    output << "\ttype rom_type is array (" << lastAddress << " downto 0) of std_logic_vector("
           << std::to_string(shape.dataWidth - 1) << " downto 0);\n"
              "\tconstant rom : rom_type := (\n";
}

void VhdlArrayRomWriter::writeWord(std::ostream& output, const RomWord& word, const RomShape& shape) {
    withDataWidth(shape, [&](auto dataWidth) {
        OutputLine<kLongestElement> line(output, lineTarget_);
        char* end = putText(line.begin(), kIndent);
        end = putDecimal(end, word.address);
        end = putText(end, kArrow);
        end = putBits(end, word.data, dataWidth);
        end = putText(end, kCommentStart);
        line.finish(putAddressDataComment(end, word.address, word.data, bytesPerWord(dataWidth)));
    });
}

void VhdlArrayRomWriter::writeTrailer(std::ostream& output, const RomShape& shape) {
    output << "\t\tothers => \"";
    writeBits(output, 0, shape.dataWidth);
    output << "\"\n"
              "\t);\n"
              "begin\n"
           << readStatements() << "end RTL;\n";
}

}  // namespace romtools
