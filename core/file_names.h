// The names a conversion works with, all made from its argument, and the opening of the input.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "stdio_file.h"

namespace romtools {

// The argument that reads the image from standard input, and that input's name in messages.
inline constexpr std::string_view kStandardInputArgument = "-";
inline constexpr const char* kStandardInputName = "<stdin>";

struct FileNames {
    std::string argument;
    std::string input;   // the stem with ".hex", where the input is looked for first
    std::string output;  // the stem with the program's extension, or the name given with -o
    std::string stem;    // what the unit is named after: the input's stem, or -o's name without its extension
};

// The names for a HEX file's argument, or nothing when it does not end in ".hex" or ".HEX". The
// extension starts at the last '.' after the first character; mixed case such as ".Hex" is refused.
// "-" with -o's name is standard input, named <stdin>.
std::optional<FileNames> fileNamesFor(const std::string& argument, std::string_view outputExtension,
                                      const std::optional<std::string>& outputName);

// Opens the input under the lower-case extension first; on a file system that tells case apart, a file
// named with ".HEX" is then found under its own name. openedName tells which name it was. Standard
// input is read in binary mode, as every input is.
FilePtr openInput(const FileNames& names, std::string& openedName);

}  // namespace romtools
