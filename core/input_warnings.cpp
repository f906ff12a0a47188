#include "input_warnings.h"

#include <cinttypes>

namespace romtools {

void InputWarnings::warn(Doubt doubt, std::uint64_t line, const std::string& text) {
    if (!firstOf(doubt)) {
        return;
    }
    said_ |= bit(doubt);
    any_ = true;
    if (sink_ != nullptr) {
        std::fprintf(sink_, "%s:%" PRIu64 ": warning: %s\n", source_.c_str(), line, text.c_str());
    }
}

void InputWarnings::warn(const std::string& text) {
    any_ = true;
    if (sink_ != nullptr) {
        std::fprintf(sink_, "%s: warning: %s\n", source_.c_str(), text.c_str());
    }
}

std::string describeCharacter(int character) {
    if (character == '\n') {
        return "a line end";
    }
    if (character >= ' ' && character <= '~') {
        return std::string("'") + static_cast<char>(character) + "'";
    }
    char text[16];
    std::snprintf(text, sizeof text, "byte 0x%02X", static_cast<unsigned>(character) & 0xFFu);
    return text;
}

}  // namespace romtools
