// RepeatedAddresses: which word addresses a file has given before.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>

namespace romtools {

// Remembers every word address noted: one flag each, in pages of 64K addresses (8 KiB) made as the
// file reaches them, so that memory grows with the parts of the address space the image touches, never
// with its range. The page of the last address is kept at hand, since words mostly follow each other.
class RepeatedAddresses {
public:
    RepeatedAddresses() { turnTo(0); }

    // Notes a word's address; true when it was noted before.
    bool note(std::uint64_t address) {
        std::uint64_t offset = address - pageStart_;  // wraps round, past any page, below it
        if (offset >= kPageSize) {
            turnTo(address);
            offset = address - pageStart_;
        }
        std::uint64_t& flags = flags_[offset >> 6];
        const std::uint64_t flag = std::uint64_t{1} << (offset & 63u);
        const bool repeated = (flags & flag) != 0;
        flags |= flag;
        return repeated;
    }

private:
    static constexpr std::uint64_t kPageSize = 0x10000;
    using Page = std::array<std::uint64_t, kPageSize / 64>;

    void turnTo(std::uint64_t address) {
        pageStart_ = address & ~(kPageSize - 1);
        flags_ = pages_[pageStart_].data();  // an element of an unordered map stays where it is
    }

    std::unordered_map<std::uint64_t, Page> pages_;  // by the address of their first word
    std::uint64_t pageStart_ = 0;
    std::uint64_t* flags_ = nullptr;  // of the page that starts there
};

}  // namespace romtools
