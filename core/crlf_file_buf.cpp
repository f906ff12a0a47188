#include "crlf_file_buf.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "stdio_file.h"

namespace romtools {

CrLfFileBuf::CrLfFileBuf(std::FILE* file, std::FILE* previous)
    : file_(file),
      previous_(previous),
      previousBlock_(previous != nullptr ? kBlockSize : 0),
      block_(kBlockSize),
      put_(block_.data()),
      limit_(block_.data() + block_.size() - 1) {
    // This block is the only buffer: the file's own would copy every block once more. There is no put
    // area either, so every write comes through xsputn or overflow and is translated there.
    std::setvbuf(file_, nullptr, _IONBF, 0);
}

bool CrLfFileBuf::drain() {
    const std::size_t length = static_cast<std::size_t>(put_ - block_.data());
    if (!failed_ && length > 0 && std::fwrite(block_.data(), 1, length, file_) != length) {
        fail();
    }
    compareWithPrevious(length);
    put_ = block_.data();
    return !failed_;
}

std::streamsize CrLfFileBuf::xsputn(const char* text, std::streamsize count) {
    const char* next = text;
    const char* const end = text + count;
    while (next != end) {
        if (put_ >= limit_ && !drain()) {
            break;
        }
        // Copy up to the next line feed, short of the block's last byte: that one is kept for the CR.
        const std::size_t span = std::min(static_cast<std::size_t>(end - next), static_cast<std::size_t>(limit_ - put_));
        const char* lineFeed = static_cast<const char*>(std::memchr(next, '\n', span));
        const std::size_t plain = lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - next) : span;
        std::memcpy(put_, next, plain);
        put_ += plain;
        next += plain;
        if (lineFeed != nullptr) {
            *put_++ = '\r';
            *put_++ = '\n';
            ++next;
        }
    }
    return next - text;
}

CrLfFileBuf::int_type CrLfFileBuf::overflow(int_type character) {
    if (traits_type::eq_int_type(character, traits_type::eof())) {
        return traits_type::not_eof(character);
    }
    const char byte = traits_type::to_char_type(character);
    return xsputn(&byte, 1) == 1 ? character : traits_type::eof();
}

int CrLfFileBuf::sync() {
    return drain() ? 0 : -1;
}

bool CrLfFileBuf::finish() {
    if (drain() && std::fflush(file_) != 0) {
        fail();
    }
    return !failed_;
}

// A small piece first, then pieces twice as large, up to a block: an output that differs near its start,
// as a new firmware's mostly does, reads little of the previous file.
void CrLfFileBuf::compareWithPrevious(std::size_t length) {
    for (std::size_t done = 0; previous_ != nullptr && done < length;) {
        const std::size_t piece = std::min(length - done, comparePiece_);
        if (std::fread(previousBlock_.data(), 1, piece, previous_) != piece ||
            std::memcmp(previousBlock_.data(), block_.data() + done, piece) != 0) {
            previous_ = nullptr;
        }
        done += piece;
        comparePiece_ = std::min(2 * comparePiece_, previousBlock_.size());
    }
}

bool CrLfFileBuf::matchesPrevious() {
    return previous_ != nullptr && std::fgetc(previous_) == EOF && std::ferror(previous_) == 0;
}

void CrLfFileBuf::fail() {
    failed_ = true;
    error_ = errno != 0 ? errno : EIO;  // a write that failed without saying why is an I/O error
}

}  // namespace romtools
