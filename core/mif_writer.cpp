#include "mif_writer.h"

#include <algorithm>
#include <string>

#include "address_width_question.h"
#include "word_line.h"

namespace romtools {

namespace {

// A content line: "<decimal address>\t:\t<data bits>;\t\t% addr %04X: data <hex> %\n".
constexpr std::string_view kColon = "\t:\t";
constexpr std::string_view kCommentStart = ";\t\t% ";
constexpr std::string_view kCommentEnd = " %";
constexpr std::size_t kLongestContentLine =
    kLongestDecimal + kColon.size() + longestDataAndComment(kCommentStart.size()) + kCommentEnd.size();

// 2 to the power of exponent, in decimal, exactly; 1 for a negative exponent.
std::string powerOfTwoDecimal(std::int32_t exponent) {
    std::string digits = "1";  // least significant digit first while doubling
    for (std::int32_t i = 0; i < exponent; ++i) {
        int carry = 0;
        for (char& digit : digits) {
            const int doubled = (digit - '0') * 2 + carry;
            digit = static_cast<char>('0' + doubled % 10);
            carry = doubled / 10;
        }
        if (carry != 0) {
            digits.push_back(static_cast<char>('0' + carry));
        }
    }
    std::reverse(digits.begin(), digits.end());
    return digits;
}

}  // namespace

OutputForm MifWriter::form() const {
    return {"mif", "a memory initialization file", ".mif", kMaxAddressWidth};
}

void MifWriter::writeHeader(LineSink& sink, const RomNames& /*names*/, const RomShape& shape) {
    // The depth can outgrow every integer type, so it is written from its decimal digits. A power of two
    // never ends in 0, so the last address is the depth with its last digit lowered by one.
    const std::string depth = powerOfTwoDecimal(shape.addressWidth);
    std::string lastAddress = depth;
    --lastAddress.back();

    sink << "DEPTH = " << depth << ";\n"
            "WIDTH = " << std::to_string(shape.dataWidth) << ";\n"
            "ADDRESS_RADIX = DEC;\n"
            "DATA_RADIX    = BIN;\n"
            "\n"
            "CONTENT\n"
            "BEGIN\n"
            "[0.." << lastAddress << "]:\t";
    writeBits(sink, shape.fill, shape.dataWidth);
    sink << ";\n";
}

void MifWriter::writeWord(LineSink& sink, const RomWord& word, const RomShape& shape) {
    writeWordLine(sink, shape, kLongestContentLine, [&word](char* out, auto dataWidth) {
        out = putDecimal(out, word.address);
        out = putText(out, kColon);
        out = putDataAndComment(out, word, dataWidth, kCommentStart);
        return putText(out, kCommentEnd);
    });
}

void MifWriter::writeTrailer(LineSink& sink, const RomShape& /*shape*/) {
    sink << "END;\n";
}

}  // namespace romtools
