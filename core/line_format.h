// The pieces of output lines, written into character buffers, and writeBits for longer bit strings.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

namespace romtools {

// Helpers that write one piece of a line into a character buffer and return the advanced pointer, so
// that a writer builds a whole line where it goes by chaining calls that read like the format string
// they replace. Nothing is parsed per call.

// The eight binary digits of every byte, most significant first, row after row. Eight spare bytes at
// the end let putBits copy eight bytes from any place in the last row.
inline constexpr auto kByteBits = [] {
    std::array<char, 256 * 8 + 8> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        for (unsigned bit = 0; bit < 8; ++bit) {
            table[byte * 8 + bit] = (byte >> (7 - bit)) & 1u ? '1' : '0';
        }
    }
    return table;
}();

// The two upper-case hex digits of every byte.
inline constexpr auto kHexPairs = [] {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::array<std::array<char, 2>, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        table[byte] = {kDigits[byte >> 4], kDigits[byte & 15]};
    }
    return table;
}();

inline char* putText(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// What putBits may write past the pointer it returns; a LineSink's line leaves room for it.
inline constexpr std::size_t kBitsScratch = 7;

// The low count bits of value, most significant first; count is clamped to 0 to 64. Whole bytes come
// from the table; the bits above them too, as the tail of their byte's row, copied eight bytes at a
// time: so this writes up to kBitsScratch bytes of scratch past the pointer it returns.
inline char* putBits(char* out, std::uint64_t value, std::int32_t count) {
    count = std::clamp(count, std::int32_t{0}, std::int32_t{64});
    const std::int32_t partial = count % 8;
    if (partial != 0) {
        count -= partial;
        std::memcpy(out, kByteBits.data() + ((value >> count) & 0xFFu) * 8 + (8 - partial), 8);
        out += partial;
    }
    while (count > 0) {
        count -= 8;
        std::memcpy(out, kByteBits.data() + ((value >> count) & 0xFFu) * 8, 8);
        out += 8;
    }
    return out;
}

// The low bytes of value as upper-case hex digits, two a byte, the most significant first.
inline char* putHexBytes(char* out, std::uint64_t value, unsigned bytes) {
    for (unsigned byte = bytes; byte-- > 0;) {
        std::memcpy(out, kHexPairs[(value >> (8 * byte)) & 0xFFu].data(), 2);
        out += 2;
    }
    return out;
}

// The low digits of value as that many upper-case hex digits, 1 to 16, zero-filled.
inline char* putHexDigits(char* out, std::uint64_t value, unsigned digits) {
    if (digits % 2 != 0) {
        *out++ = kHexPairs[(value >> (4 * (digits - 1))) & 0xFu][1];
    }
    return putHexBytes(out, value, digits / 2);
}

// Upper-case hex digits, at least four and as many more as the value needs, as "%04llX" writes them.
inline char* putHexAddress(char* out, std::uint64_t value) {
    if (value <= 0xFFFFu) {
        return putHexBytes(out, value, 2);
    }
    for (int digit = (std::bit_width(value) + 3) / 4; digit-- > 0;) {
        *out++ = kHexPairs[(value >> (4 * digit)) & 0xFu][1];
    }
    return out;
}

// The comment every format gives a word, "addr %04X: data " and the word's bytes in hex: the whole
// address, at least four digits, and every byte of the word as it was read.
inline constexpr std::size_t kAddressDataCommentSize = 5 + 16 + 7 + 16;
inline char* putAddressDataComment(char* out, std::uint64_t address, std::uint64_t data, unsigned bytesPerWord) {
    out = putText(out, "addr ");
    out = putHexAddress(out, address);
    out = putText(out, ": data ");
    return putHexBytes(out, data, bytesPerWord);
}

// The two decimal digits of every number below 100.
inline constexpr auto kDigitPairs = [] {
    std::array<std::array<char, 2>, 100> table{};
    for (unsigned number = 0; number < 100; ++number) {
        table[number] = {static_cast<char>('0' + number / 10), static_cast<char>('0' + number % 10)};
    }
    return table;
}();

// The number of decimal digits of value.
template <typename Unsigned>
int decimalLength(Unsigned value) {
    int length = 1;
    for (Unsigned power = 10; length < std::numeric_limits<Unsigned>::digits10 + 1 && value >= power; power *= 10) {
        ++length;
    }
    return length;
}

// The longest number putDecimal writes.
inline constexpr std::size_t kLongestDecimal = 20;

// Decimal digits with no leading zeros, as "%llu" writes them, written from the last pair back. Numbers
// that fit 32 bits, nearly all, take 32-bit arithmetic, which costs half the instructions.
template <typename Unsigned>
char* putDecimalDigits(char* out, Unsigned value) {
    const int length = decimalLength(value);
    char* last = out + length;
    for (; value >= 100; value /= 100) {
        last -= 2;
        std::memcpy(last, kDigitPairs[value % 100].data(), 2);
    }
    if (value >= 10) {
        std::memcpy(last - 2, kDigitPairs[value].data(), 2);
    } else {
        last[-1] = static_cast<char>('0' + value);
    }
    return out + length;
}

inline char* putDecimal(char* out, std::uint64_t value) {
    return value <= UINT32_MAX ? putDecimalDigits(out, static_cast<std::uint32_t>(value)) : putDecimalDigits(out, value);
}

// Writes value as a count-bit binary number to sink, a LineSink or a stream, most significant bit
// first, one '0' or '1' per bit and nothing around them. Bits of value above count are dropped; a count
// above 64 writes zeros above the value's 64 bits. A count of 0 or less writes nothing. For the pieces
// written once per file and for addresses beyond 64 bits; a line written per word uses putBits.
template <typename Sink>
void writeBits(Sink& sink, std::uint64_t value, std::int32_t count) {
    if (count <= 0) {
        return;
    }
    // Widths beyond the value's 64 bits have no bound; their zeros go out a row at a time.
    static constexpr char kZeros[] = "0000000000000000000000000000000000000000000000000000000000000000";
    constexpr std::int32_t kZeroRow = sizeof kZeros - 1;
    for (std::int32_t leading = count - 64; leading > 0; leading -= kZeroRow) {
        sink << std::string_view(kZeros, static_cast<std::size_t>(std::min(leading, kZeroRow)));
    }
    char bits[64 + kBitsScratch];
    sink << std::string_view(bits, static_cast<std::size_t>(putBits(bits, value, count) - bits));
}

}  // namespace romtools
