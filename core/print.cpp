#include "print.h"

#include <cstdarg>
#include <cstdio>
#include <string_view>

namespace romtools {

namespace {

// Formats into buffer when the text fits, otherwise into overflow; returns a view of the text.
std::string_view formatInto(char (&buffer)[256], std::string& overflow, const char* format, std::va_list arguments) {
    std::va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    std::string_view text;
    if (length < 0) {
        text = {};
    } else if (static_cast<std::size_t>(length) < sizeof buffer) {
        text = {buffer, static_cast<std::size_t>(length)};
    } else {
        overflow.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(overflow.data(), overflow.size(), format, again);
        overflow.resize(static_cast<std::size_t>(length));
        text = overflow;
    }
    va_end(again);
    return text;
}

}  // namespace

std::string formatText(const char* format, ...) {
    char buffer[256];
    std::string overflow;
    std::va_list arguments;
    va_start(arguments, format);
    const std::string_view text = formatInto(buffer, overflow, format, arguments);
    va_end(arguments);
    return std::string(text);
}

void print(std::ostream& output, const char* format, ...) {
    char buffer[256];
    std::string overflow;
    std::va_list arguments;
    va_start(arguments, format);
    const std::string_view text = formatInto(buffer, overflow, format, arguments);
    va_end(arguments);
    output.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace romtools
