#include "line_format.h"

#include <algorithm>
#include <string>

namespace romtools {

void writeBits(std::ostream& output, std::uint64_t value, std::int32_t count) {
    if (count <= 0) {
        return;
    }
    // Widths beyond the value's 64 bits have no bound; their zeros go out a block at a time.
    static const std::string kZeros(1024, '0');
    constexpr std::int32_t kZeroBlock = 1024;
    for (std::int32_t leading = count - 64; leading > 0; leading -= kZeroBlock) {
        writeBytes(output, kZeros.data(), kZeros.data() + std::min(leading, kZeroBlock));
    }
    char bits[64 + kBitsScratch];
    writeBytes(output, bits, putBits(bits, value, count));
}

}  // namespace romtools
