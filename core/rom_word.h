// RomWord: one word of the memory image, as the HEX reader delivers it.
#pragma once

#include <cstdint>

namespace romtools {

struct RomWord {
    std::uint32_t address = 0;  // word address: the byte address of its first byte over the bytes a word has
    std::uint64_t data = 0;     // its bytes as stored, the first the lowest; the ROMs keep the low data width bits
};

}  // namespace romtools
