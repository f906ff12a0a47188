#include "write_bits.h"

#include <algorithm>

namespace romtools {

void writeBits(std::ostream& output, std::uint32_t value, std::int32_t count) {
    if (count <= 0) {
        return;
    }
    // Widths beyond the value's 32 bits can be large; write their zeros a block at a time.
    static constexpr char kZeros[] = "0000000000000000000000000000000000000000000000000000000000000000";
    constexpr std::int32_t kZeroBlock = sizeof kZeros - 1;
    for (std::int32_t leading = count - 32; leading > 0; leading -= kZeroBlock) {
        output.write(kZeros, std::min(leading, kZeroBlock));
    }
    const std::int32_t low = std::min(count, std::int32_t{32});
    char bits[32];
    for (std::int32_t i = 0; i < low; ++i) {
        bits[i] = ((value >> (low - 1 - i)) & 1u) != 0 ? '1' : '0';
    }
    output.write(bits, low);
}

}  // namespace romtools
