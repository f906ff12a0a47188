#include "text_input.h"

#include <cerrno>
#include <cstring>

#include "stdio_file.h"

namespace romtools {

TextInput::TextInput(std::FILE* file)
    : file_(file), buffer_(kBlockSize), next_(buffer_.data()), end_(buffer_.data()) {}

bool TextInput::refill() {
    if (noMoreBlocks_) {
        return false;
    }
    next_ = buffer_.data();
    end_ = next_ + std::fread(buffer_.data(), 1, buffer_.size(), file_);
    // fread fills the block unless the file ends first, so a mark at the start is whole in it.
    constexpr unsigned char kByteOrderMark[] = {0xEF, 0xBB, 0xBF};
    if (atStart_ && end_ - next_ >= 3 && std::memcmp(next_, kByteOrderMark, 3) == 0) {
        next_ += 3;
    }
    atStart_ = false;
    if (next_ == end_) {
        noMoreBlocks_ = true;
        failed_ = std::ferror(file_) != 0;
        error_ = failed_ ? errno : 0;
        return false;
    }
    return true;
}

int TextInput::peekByte() {
    if (next_ == end_ && !refill()) {
        return kEnd;
    }
    const int byte = *next_;
    return byte == kCtrlZ ? kEnd : byte;
}

int TextInput::getByte() {
    const int byte = peekByte();
    if (byte == kEnd) {
        noMoreBlocks_ = true;
        end_ = next_;
        return kEnd;
    }
    ++next_;
    return byte;
}

int TextInput::getWithTextRules() {
    int character = getByte();
    if (character == '\r') {
        if (peekByte() == '\n') {
            ++next_;
        }
        character = '\n';
    }
    if (character == '\n') {
        ++lineEnds_;
    }
    return character;
}

}  // namespace romtools
