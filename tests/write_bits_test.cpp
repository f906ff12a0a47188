#include "write_bits.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace romtools {
namespace {

struct BitsCase {
    std::uint32_t value;
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
        {0x2800, 100, std::string(86, '0') + "10100000000000"},
        {3, 1000, std::string(998, '0') + "11"},
    };
    for (const BitsCase& c : cases) {
        std::ostringstream output;
        writeBits(output, c.value, c.count);
        EXPECT_EQ(output.str(), c.expected) << "value " << c.value << ", count " << c.count;
    }
}

}  // namespace
}  // namespace romtools
