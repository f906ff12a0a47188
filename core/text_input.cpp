#include "text_input.h"

#include "stdio_file.h"

namespace romtools {

TextInput::TextInput(std::FILE* file)
    : file_(file), buffer_(kBlockSize), next_(buffer_.data()), end_(buffer_.data()) {}

bool TextInput::refill() {
    if (ended_) {
        return false;
    }
    next_ = buffer_.data();
    end_ = next_ + std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (next_ == end_) {
        ended_ = true;
        failed_ = std::ferror(file_) != 0;
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
        ended_ = true;
        endReached_ = true;
        end_ = next_;
        return kEnd;
    }
    ++next_;
    return byte;
}

int TextInput::getWithTextRules() {
    const int character = getByte();
    if (character == '\r' && peekByte() == '\n') {
        ++next_;
        return '\n';
    }
    return character;
}

}  // namespace romtools
