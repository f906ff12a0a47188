// TextInput: the input file as the reader takes it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace romtools {

// Reads a file opened in binary mode as text, a block at a time: CR LF and a lone CR each read as LF, a
// UTF-8 byte-order mark at the very start is skipped, and a Ctrl-Z byte ends the input, hiding itself
// and everything after it. A read error also ends the input, and failed() tells it apart from the end
// of the file. Lines are counted as they are read. The file stays the caller's to close.
class TextInput {
public:
    static constexpr int kEnd = -1;

    explicit TextInput(std::FILE* file);

    // The next character, 0 to 255, or kEnd once the input has ended.
    int get() {
        // Every byte above Ctrl-Z stands for itself, digits and ':' among them: they take no rule.
        if (next_ != end_ && *next_ > kCtrlZ) {
            return *next_++;
        }
        return getWithTextRules();
    }
    // Gives back the character that get() gave last, when it was not a line end or the end.
    void putBack() { --next_; }
    bool failed() const { return failed_; }
    int error() const { return error_; }  // errno of the read that failed
    // The line of the next character, from 1; a line end belongs to the line it ends, so after get()
    // has given one, its line is line() - 1.
    std::uint64_t line() const { return lineEnds_ + 1; }

private:
    static constexpr unsigned char kCtrlZ = 0x1A;

    int getWithTextRules();
    int getByte();
    int peekByte();
    bool refill();

    std::FILE* file_;
    std::vector<unsigned char> buffer_;
    const unsigned char* next_;  // the unread part of the block in buffer_
    const unsigned char* end_;
    bool atStart_ = true;      // the first block is still to come: it may open with a byte-order mark
    bool noMoreBlocks_ = false;  // the file has ended, failed or shown a Ctrl-Z: nothing more is read
    bool failed_ = false;
    int error_ = 0;
    std::uint64_t lineEnds_ = 0;  // 64 bits on every system: a file may hold more than 2^32 lines
};

}  // namespace romtools
