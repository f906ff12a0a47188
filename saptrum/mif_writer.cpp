#include "mif_writer.h"

#include <algorithm>
#include <string>

#include "line_format.h"
#include "print.h"
#include "write_bits.h"

namespace romtools {

namespace {

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

void MifWriter::writeHeader(std::ostream& output, std::string_view /*stem*/, std::int32_t addressWidth) {
    // The depth can outgrow every integer type, so it is written from its decimal digits. A power of two
    // never ends in 0, so the last address is the depth with its last digit lowered by one.
    const std::string depth = powerOfTwoDecimal(addressWidth);
    std::string lastAddress = depth;
    --lastAddress.back();

    print(output, "DEPTH = %s;\n", depth.c_str());
    print(output, "WIDTH = %d;\n", static_cast<int>(kDataWidth));
    print(output, "ADDRESS_RADIX = DEC;\n");
    print(output, "DATA_RADIX    = BIN;\n");
    print(output, "\n");
    print(output, "CONTENT\n");
    print(output, "BEGIN\n");
    print(output, "[0..%s]:\t", lastAddress.c_str());
    writeBits(output, 0, kDataWidth);
    print(output, ";\n");
}

void MifWriter::writeWord(std::ostream& output, const RomWord& word, std::int32_t /*addressWidth*/) {
    // "%d\t:\t<data bits>;\t\t%% addr %04X: data %04X %%\n"
    char line[80];
    char* end = putDecimal(line, word.address);
    end = putText(end, "\t:\t");
    end = putBits(end, word.data, kDataWidth);
    end = putText(end, ";\t\t% addr ");
    end = putHex4(end, word.address);
    end = putText(end, ": data ");
    end = putHex4(end, word.data);
    end = putText(end, " %\n");
    writeLine(output, line, end);
}

void MifWriter::writeTrailer(std::ostream& output) {
    print(output, "END;\n");
}

}  // namespace romtools
