#include "text_output.h"

namespace romtools {

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}

CrLfFileBuf::CrLfFileBuf(std::FILE* file)
    : file_(file), buffer_(kBufferSize), translated_(2 * kBufferSize) {
    // This buffer is the only one: the file's own would copy every block once more.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

bool CrLfFileBuf::drain() {
    std::size_t length = 0;
    for (const char* c = pbase(); c != pptr(); ++c) {
        if (*c == '\n') {
            translated_[length++] = '\r';
        }
        translated_[length++] = *c;
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    if (!failed_ && length > 0 && std::fwrite(translated_.data(), 1, length, file_) != length) {
        failed_ = true;
    }
    return !failed_;
}

CrLfFileBuf::int_type CrLfFileBuf::overflow(int_type character) {
    if (!drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(character, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(character);
        pbump(1);
    }
    return traits_type::not_eof(character);
}

int CrLfFileBuf::sync() {
    return drain() ? 0 : -1;
}

bool CrLfFileBuf::finish() {
    if (drain() && std::fflush(file_) != 0) {
        failed_ = true;
    }
    return !failed_;
}

}  // namespace romtools
