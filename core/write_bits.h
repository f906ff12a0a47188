#pragma once

#include <cstdint>
#include <ostream>

namespace romtools {

// Writes value as a count-bit binary number, most significant bit first, one '0' or '1' per bit and
// nothing around them. Bits of value above count are dropped; a count above 32 writes zeros above the
// value's 32 bits. A count of 0 or less writes nothing.
void writeBits(std::ostream& output, std::uint32_t value, std::int32_t count);

}  // namespace romtools
