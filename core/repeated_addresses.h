// RepeatedAddresses: which word addresses a file has given before.
#pragma once

#include <array>
#include <cstdint>

namespace romtools {

// Remembers every word address noted: one flag each, 8 KiB whatever the file's size, in 64-bit words
// tested and set with a mask, the cheapest way per word. A record reaches at most 254 bytes past byte
// FFFF, and so does a word address of one byte.
class RepeatedAddresses {
public:
    // Notes a word's address; true when it was noted before.
    bool note(std::uint32_t address) {
        std::uint64_t& flags = given_[address >> 6];
        const std::uint64_t flag = std::uint64_t{1} << (address & 63u);
        const bool repeated = (flags & flag) != 0;
        flags |= flag;
        return repeated;
    }

private:
    std::array<std::uint64_t, (0x10000 + 0x100) / 64> given_{};
};

}  // namespace romtools
