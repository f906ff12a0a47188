#include "line_format.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

namespace romtools {
namespace {

struct BitsCase {
    std::uint64_t value;
    std::int32_t count;
    std::string expected;
};

TEST(WriteBits, WritesTheLowBitsMostSignificantFirst) {
    const BitsCase cases[] = {
        {5, 0, ""},
        {5, -1, ""},
        {0xFFFFFFFF, -2147483647 - 1, ""},
        {5, 1, "1"},
        {5, 3, "101"},
        {5, 4, "0101"},
        {0x2800, 14, "10100000000000"},
        {0xFFFF, 14, "11111111111111"},  // the two top bits of a data word are dropped
        {0x10, 4, "0000"},               // an address too wide for the ROM keeps its low bits only
        {0, 14, "00000000000000"},
        {1, 32, std::string(31, '0') + "1"},
        {0x80000000, 32, "1" + std::string(31, '0')},
        // Beyond 32 bits the true number is written: zeros above the value's own bits.
        {1, 33, std::string(32, '0') + "1"},
        {0xFFFFFFFF, 40, std::string(8, '0') + std::string(32, '1')},
        {0xFFFFFFFFFFFFFFFF, 66, "00" + std::string(64, '1')},
        {0x8000000000000001, 64, "1" + std::string(62, '0') + "1"},
        {0x2800, 100, std::string(86, '0') + "10100000000000"},
        {3, 1000, std::string(998, '0') + "11"},
        // Whole bytes, and the bits above them, come from a table; zeros beyond 32 bits go in blocks.
        {0xA5, 8, "10100101"},
        {0x1A5, 9, "110100101"},
        {0x12345678, 31, "0010010001101000101011001111000"},
        {1, 1056, std::string(1055, '0') + "1"},
        {1, 1057, std::string(1056, '0') + "1"},
    };
    for (const BitsCase& c : cases) {
        std::ostringstream output;
        writeBits(output, c.value, c.count);
        EXPECT_EQ(output.str(), c.expected) << "value " << c.value << ", count " << c.count;
    }
}

TEST(LineFormat, WritesNumbersAsPrintfWould) {
    const std::uint64_t numbers[] = {0, 7, 9, 10, 99, 100, 101, 999, 1000, 4095, 65535, 100000, 4294967295u,
                                     4294967296u, 9999999999999999999u, UINT64_MAX};
    for (const std::uint64_t number : numbers) {
        char text[24];
        EXPECT_EQ(std::string(text, putDecimal(text, number)), std::to_string(number));
    }
    const std::pair<std::uint64_t, std::string> hex[] = {
        {0, "0000"}, {0x00AF, "00AF"}, {0x2800, "2800"}, {0xFFFF, "FFFF"}, {0x10000, "10000"}, {0x100FD, "100FD"},
        {0x1000100FD, "1000100FD"}, {UINT64_MAX, "FFFFFFFFFFFFFFFF"}};
    for (const auto& [value, digits] : hex) {
        char text[16];
        EXPECT_EQ(std::string(text, putHexAddress(text, value)), digits);
    }
}

}  // namespace
}  // namespace romtools
