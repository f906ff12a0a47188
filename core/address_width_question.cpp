#include "address_width_question.h"

#include <algorithm>

namespace romtools {

namespace {

// White space as C's isspace takes it in the C locale: blanks, tabs and line ends alike.
bool isWhiteSpace(int character) {
    return character == ' ' || character == '\t' || character == '\n' || character == '\v' ||
           character == '\f' || character == '\r';
}

}  // namespace

std::string addressWidthQuestion() {
    return "ROM ADDRESS WIDTH? (enter 0 for using default value " + std::to_string(kDefaultAddressWidth) + "):";
}

std::optional<std::int32_t> askAddressWidth() {
    std::fprintf(stderr, "%s ", addressWidthQuestion().c_str());
    const std::optional<std::int32_t> answer = readAddressWidth(stdin);
    std::fputs("\n", stderr);
    if (!answer) {
        return std::nullopt;
    }
    return *answer == 0 ? kDefaultAddressWidth : *answer;
}

std::optional<std::int32_t> readAddressWidth(std::FILE* input) {
    int character = std::getc(input);
    while (isWhiteSpace(character)) {
        character = std::getc(input);
    }
    if (character == EOF) {
        return std::nullopt;
    }
    const bool negative = character == '-';
    if (character == '-' || character == '+') {
        character = std::getc(input);
    }
    // However many digits follow, the number stops growing at 2^31: it saturates rather than wraps.
    constexpr std::int64_t kCeiling = std::int64_t{1} << 31;
    bool haveDigits = false;
    std::int64_t value = 0;
    while (character >= '0' && character <= '9') {
        value = std::min(value * 10 + (character - '0'), kCeiling);
        haveDigits = true;
        character = std::getc(input);
    }
    while (character != '\n' && character != EOF) {
        character = std::getc(input);
    }
    if (!haveDigits) {
        return 0;
    }
    return static_cast<std::int32_t>(negative ? -value : std::min(value, kCeiling - 1));
}

}  // namespace romtools
