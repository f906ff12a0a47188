// The names a conversion works with, all made from its argument, and the opening of the input.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "stdio_file.h"

namespace romtools {

// The name that stands for standard input as the input file and for standard output as -o's, and
// their names in messages.
inline constexpr std::string_view kStandardStreamArgument = "-";
inline constexpr const char* kStandardInputName = "<stdin>";
inline constexpr const char* kStandardOutputName = "<stdout>";

struct FileNames {
    std::string argument;
    std::string input;   // where the input is looked for first: the argument, or for ".HEX" the stem with ".hex"
    std::string output;  // the stem with the program's extension, the name given with -o, or <stdout>
    // The output's name without its extension, after which its word file is named: -o's name, or the
    // input's without an extension that the output's replaces (with -o - too, and without -o), "rom"
    // for standard input to standard output.
    std::string stem;
    std::string unit;  // what the unit is named after: --entity's name whole, or the stem's last part
    bool toStandardOutput = false;  // -o -
};

// The extensions Intel HEX files go by, the ones the output's name replaces first.
inline constexpr std::string_view kHexExtensions[] = {".hex", ".ihx", ".ihex", ".ihe", ".eep", ".mcs", ".a43",
                                                      ".a90", ".h86", ".hxl", ".hxh", ".obl", ".obh"};
inline constexpr std::size_t kReplacedHexExtensions = 3;

// The extensions in a list: ".hex, .ihx, ...".
std::string hexExtensionList();

// The names for a HEX file's argument, or nothing when it does not end in one of kHexExtensions, in any
// letter case. The extension starts at the last '.' after the first character.
// "-" with -o's name is standard input, named <stdin>. -o - is standard output, named <stdout>.
std::optional<FileNames> fileNamesFor(const std::string& argument, std::string_view outputExtension,
                                      const std::optional<std::string>& outputName,
                                      const std::optional<std::string>& entityName);

// An input as it was opened, or why it could not be.
struct OpenedInput {
    FilePtr file;
    std::string name;  // as it was opened
    int error = 0;     // errno of the first try, when the file could not be opened
};

// Opens the input under its name; one named with ".HEX" is looked for under ".hex" first, and then, on
// a file system that tells case apart, under its own name. Standard input is read in binary mode, as every
// input is.
OpenedInput openInput(const FileNames& names);

}  // namespace romtools
