#pragma once

#include <ostream>
#include <string>

#if defined(__GNUC__)
#define ROMTOOLS_PRINTF_FORMAT(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define ROMTOOLS_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

namespace romtools {

// printf-style formatting into a string of any length.
std::string formatText(const char* format, ...) ROMTOOLS_PRINTF_FORMAT(1, 2);

// printf-style formatting onto a stream, for the pieces written once per file; the lines written per
// word are built with the helpers in line_format.h.
void print(std::ostream& output, const char* format, ...) ROMTOOLS_PRINTF_FORMAT(2, 3);

}  // namespace romtools
