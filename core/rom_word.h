// RomWord: one word of the memory image, as the HEX reader delivers it.
#pragma once

#include <cstdint>

namespace romtools {

// One word of the memory image as the HEX reader delivers it.
struct RomWord {
    std::uint16_t address = 0;  // word address: the record's byte address halved, plus the word's index
    std::uint16_t data = 0;     // the 16-bit word as stored; the ROMs keep its low 14 bits
};

}  // namespace romtools
