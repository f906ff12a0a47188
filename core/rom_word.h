// RomWord: one word of the memory image, as the HEX reader delivers it.
#pragma once

#include <cstdint>

namespace romtools {

struct RomWord {
    // Word address: the byte address of its first byte, less the base, over the bytes a word has. A file
    // reaches byte addresses a little past 4 GiB, so words of one byte need more than 32 bits.
    std::uint64_t address = 0;
    std::uint64_t data = 0;     // its bytes as stored, the first the lowest; the ROMs keep the low data width bits
};

}  // namespace romtools
