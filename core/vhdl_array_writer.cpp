#include "vhdl_array_writer.h"

#include <algorithm>
#include <string>

#include "vhdl_entity.h"
#include "word_line.h"

namespace romtools {

namespace {

// An element: "\t\t<decimal address> => \"<data bits>\",\t-- addr %04X: data <hex>\n".
constexpr std::string_view kIndent = "\t\t";
constexpr std::string_view kArrow = " => \"";
constexpr std::string_view kCommentStart = "\",\t-- ";
constexpr std::size_t kLongestElement =
    kIndent.size() + kLongestDecimal + kArrow.size() + longestDataAndComment(kCommentStart.size());

}  // namespace

OutputForm VhdlArrayRomWriter::form() const {
    return {"array", "a constant array read without a clock", ".vhd", kMaxArrayAddressWidth};
}

void VhdlArrayRomWriter::writeHeader(LineSink& sink, const RomNames& names, const RomShape& shape) {
    writeVhdlEntity(sink, vhdlEntityName(names.unit), shape, "use ieee.numeric_std.all;\n", portsBeforeAddress());
    writeRomType(sink, shape);
    sink << "\tconstant rom_data : rom_type := (\n";
}

void VhdlArrayRomWriter::writeWord(LineSink& sink, const RomWord& word, const RomShape& shape) {
    writeWordLine(sink, shape, kLongestElement, [&word](char* out, auto dataWidth) {
        out = putText(out, kIndent);
        out = putDecimal(out, word.address);
        out = putText(out, kArrow);
        return putDataAndComment(out, word, dataWidth, kCommentStart);
    });
}

void VhdlArrayRomWriter::writeTrailer(LineSink& sink, const RomShape& shape) {
    writeFillChoice(sink, "\t\tothers => \"", shape, "\"\n\t);\nbegin\n");
    sink << readStatements() << "end RTL;\n";
}

}  // namespace romtools
