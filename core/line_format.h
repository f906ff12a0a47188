// The pieces of output lines, written into character buffers, and writeBits for longer bit strings.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string_view>

#include "crlf_file_buf.h"

namespace romtools {

// Helpers that write one piece of a line into a character buffer and return the advanced pointer, so
// that a writer builds a whole line by chaining calls that read like the format string they replace,
// and hands it to the stream in one call. Nothing is parsed per call.

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

// What putBits may write past the pointer it returns; every line buffer leaves this much room.
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

// Upper-case hex digits, at least four, as "%04X" writes them, for values of up to five.
inline char* putHex4(char* out, std::uint32_t value) {
    if (value > 0xFFFFu) {
        *out++ = kHexPairs[(value >> 16) & 0xFu][1];
    }
    return putHexBytes(out, value, 2);
}

// The comment every format gives a word, "addr %04X: data " and the word's bytes in hex: the whole
// address and every byte of the word as it was read. Addresses have at most 17 bits, words 8 bytes;
// only words of one byte have addresses beyond 16 bits.
inline constexpr std::size_t kAddressDataCommentSize = 5 + 5 + 7 + 16;
inline char* putAddressDataComment(char* out, std::uint32_t address, std::uint64_t data, unsigned bytesPerWord) {
    out = putText(out, "addr ");
    out = bytesPerWord == 1 ? putHex4(out, address) : putHexBytes(out, address, 2);
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
inline int decimalLength(std::uint32_t value) {
    int length = 1;
    for (std::uint32_t power = 10; length < 10 && value >= power; power *= 10) {
        ++length;
    }
    return length;
}

// Decimal digits with no leading zeros, as "%u" writes them, written from the last pair back.
inline char* putDecimal(char* out, std::uint32_t value) {
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

// Hands bytes to the stream's buffer in one call. A short write marks the stream bad, as ostream::write
// does, without the checks that ostream::write makes on every call.
inline void writeBytes(std::ostream& output, const char* begin, const char* end) {
    const std::streamsize length = end - begin;
    if (output.rdbuf()->sputn(begin, length) != length) {
        output.setstate(std::ios::badbit);
    }
}

// One output line of at most Longest bytes with its line end, built where it goes.
// Through a CrLfFileBuf that is straight in the block for the file, with its CR LF in place: the line
// is then neither searched for line feeds nor copied, which was most of a word's cost. Through any other
// stream buffer it is built here and handed over whole, ending in a line feed.
//
// LineTarget finds the CrLfFileBuf once per output, at its header, rather than once per line, where
// the way through ostream's virtual base and the type check cost as much as building the line.
class LineTarget {
public:
    void attach(std::ostream& output) {
        stream_ = &output;
        file_ = CrLfFileBuf::of(output);
    }
    CrLfFileBuf* fileOf(std::ostream& output) const { return &output == stream_ ? file_ : CrLfFileBuf::of(output); }

private:
    const std::ostream* stream_ = nullptr;
    CrLfFileBuf* file_ = nullptr;
};

template <std::size_t Longest>
class OutputLine {
public:
    OutputLine(std::ostream& output, const LineTarget& target)
        : output_(output), file_(target.fileOf(output)), begin_(file_ != nullptr ? file_->lineSpace(kRoom) : own_) {}
    OutputLine(const OutputLine&) = delete;
    OutputLine& operator=(const OutputLine&) = delete;

    char* begin() const { return begin_; }
    // Ends the line after end, and hands it over.
    void finish(char* end) {
        if (file_ == nullptr) {
            *end++ = '\n';
            writeBytes(output_, begin_, end);
            return;
        }
        *end++ = '\r';
        *end++ = '\n';
        file_->commitLine(end);
        if (file_->failed()) {
            output_.setstate(std::ios::badbit);
        }
    }

private:
    static constexpr std::size_t kRoom = Longest + kBitsScratch;
    std::ostream& output_;
    CrLfFileBuf* file_;
    char own_[kRoom];
    char* begin_;
};

// Writes value as a count-bit binary number, most significant bit first, one '0' or '1' per bit and
// nothing around them. Bits of value above count are dropped; a count above 64 writes zeros above the
// value's 64 bits. A count of 0 or less writes nothing. For the pieces written once per file and for
// widths beyond 64 bits; a line written per word uses putBits.
void writeBits(std::ostream& output, std::uint64_t value, std::int32_t count);

}  // namespace romtools
