#include "mif_writer.h"

#include <algorithm>
#include <string>

#include "address_width_question.h"
#include "line_format.h"

namespace romtools {

namespace {

// A content line: "<decimal address>\t:\t<data bits>;\t\t% addr %04X: data <hex> %\n".
constexpr std::string_view kColon = "\t:\t";
constexpr std::string_view kCommentStart = ";\t\t% ";
constexpr std::string_view kCommentEnd = " %";
constexpr std::size_t kLongestContentLine =
    6 + kColon.size() + kMaxDataWidth + kCommentStart.size() + kAddressDataCommentSize + kCommentEnd.size() + 2;

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

WriterStyle MifWriter::style() const {
    return {"mif", "a memory initialization file", kMaxAddressWidth};
}

void MifWriter::writeHeader(std::ostream& output, std::string_view /*stem*/, const RomShape& shape) {
    lineTarget_.attach(output);
    // The depth can outgrow every integer type, so it is written from its decimal digits. A power of two
    // never ends in 0, so the last address is the depth with its last digit lowered by one.
    const std::string depth = powerOfTwoDecimal(shape.addressWidth);
    std::string lastAddress = depth;
    --lastAddress.back();

    output << "DEPTH = " << depth << ";\n"
              "WIDTH = " << std::to_string(shape.dataWidth) << ";\n"
              "ADDRESS_RADIX = DEC;\n"
              "DATA_RADIX    = BIN;\n"
              "\n"
              "CONTENT\n"
              "BEGIN\n"
              "[0.." << lastAddress << "]:\t";
    writeBits(output, 0, shape.dataWidth);
    output << ";\n";
}

void MifWriter::writeWord(std::ostream& output, const RomWord& word, const RomShape& shape) {
    withDataWidth(shape, [&](auto dataWidth) {
        OutputLine<kLongestContentLine> line(output, lineTarget_);
        char* end = putDecimal(line.begin(), word.address);
        end = putText(end, kColon);
        end = putBits(end, word.data, dataWidth);
        end = putText(end, kCommentStart);
        end = putAddressDataComment(end, word.address, word.data, bytesPerWord(dataWidth));
        line.finish(putText(end, kCommentEnd));
    });
}

void MifWriter::writeTrailer(std::ostream& output, const RomShape& /*shape*/) {
    output << "END;\n";
}

}  // namespace romtools
