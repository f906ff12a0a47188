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
    // Notes a word's address; true when it was noted before.
    bool note(std::uint64_t address) {
        const std::uint64_t page = address >> kPageBits;
        if (page != currentPage_) {
            current_ = &pages_[page];  // an element of an unordered map stays where it is
            currentPage_ = page;
        }
        std::uint64_t& flags = (*current_)[(address >> 6) & (kFlagWords - 1)];
        const std::uint64_t flag = std::uint64_t{1} << (address & 63u);
        const bool repeated = (flags & flag) != 0;
        flags |= flag;
        return repeated;
    }

private:
    static constexpr unsigned kPageBits = 16;
    static constexpr std::size_t kFlagWords = (std::size_t{1} << kPageBits) / 64;
    using Page = std::array<std::uint64_t, kFlagWords>;

    std::unordered_map<std::uint64_t, Page> pages_;
    std::uint64_t currentPage_ = UINT64_MAX;  // no address is on this page
    Page* current_ = nullptr;
};

}  // namespace romtools
