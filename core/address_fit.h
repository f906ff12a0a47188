// AddressFit: which word addresses lie beyond the ROM's address width.
#pragma once

#include <cstdint>

namespace romtools {

// Watches the word addresses for the ones that lie beyond the ROM. Without --crop the output keeps
// them, as the file has them, but VHDL tools refuse the repeated choices they make, so the user is told
// once at the end; with --crop they are left out and counted. It also tells whether any word lies
// within the ROM.
class AddressFit {
public:
    explicit AddressFit(std::int32_t addressWidth)
        : limit_(addressWidth < 1 ? 0 : addressWidth > 63 ? UINT64_MAX : std::uint64_t{1} << addressWidth) {}

    // Notes the address of a word delivered; true when it fits the width.
    bool note(std::uint64_t address) {
        ++words_;
        largest_ = address > largest_ ? address : largest_;
        if (address < limit_) {
            return true;
        }
        if (outside_++ == 0) {
            firstOutside_ = address;
        }
        return false;
    }
    bool anyInside() const { return words_ != outside_; }
    bool anyOutside() const { return outside_ != 0; }
    std::uint64_t outsideCount() const { return outside_; }
    std::uint64_t firstOutside() const { return firstOutside_; }
    // The bit length of the largest address, at least 1: the width that holds every address.
    int widthNeeded() const {
        int bits = 1;
        while (bits < 64 && (largest_ >> bits) != 0) {
            ++bits;
        }
        return bits;
    }

private:
    std::uint64_t limit_;  // the first address beyond the ROM
    std::uint64_t words_ = 0;
    std::uint64_t outside_ = 0;
    std::uint64_t firstOutside_ = 0;
    std::uint64_t largest_ = 0;
};

}  // namespace romtools
