#include "text_input.h"

namespace romtools {

namespace {
constexpr std::size_t kBlockSize = 64 * 1024;
constexpr int kCtrlZ = 0x1A;
}  // namespace

TextInput::TextInput(std::FILE* file) : file_(file), buffer_(kBlockSize) {}

bool TextInput::refill() {
    if (ended_) {
        return false;
    }
    position_ = 0;
    length_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (length_ == 0) {
        ended_ = true;
        failed_ = std::ferror(file_) != 0;
        return false;
    }
    return true;
}

int TextInput::peekByte() {
    if (position_ == length_ && !refill()) {
        return kEnd;
    }
    const int byte = buffer_[position_];
    return byte == kCtrlZ ? kEnd : byte;
}

int TextInput::getByte() {
    const int byte = peekByte();
    if (byte == kEnd) {
        ended_ = true;
        length_ = position_;
        return kEnd;
    }
    ++position_;
    return byte;
}

int TextInput::get() {
    const int character = getByte();
    if (character == '\r' && peekByte() == '\n') {
        ++position_;
        return '\n';
    }
    return character;
}

}  // namespace romtools
