#include "file_names.h"

#include <cerrno>
#include <iterator>

#include "path_last_part.h"
#include "platform.h"

namespace romtools {

namespace {

// Where the extension starts: at the last '.' after the name's first character; without one, the whole
// name stands as the extension (and is refused).
std::size_t extensionStart(std::string_view name) {
    std::size_t position = name.empty() ? 0 : name.size() - 1;
    while (position > 0 && name[position] != '.') {
        --position;
    }
    return position;
}

// What a HEX file's extension, in any letter case, makes of the output's name: .hex, and .ihx and
// .ihex as some compilers write, are replaced; the others Intel HEX files go by are kept, with the
// output's extension after them, as avr-objcopy writes fw.hex and fw.eep side by side and each needs an
// output of its own.
enum class HexExtension { none, replaced, kept };

HexExtension hexExtension(std::string_view extension) {
    std::string lower(extension);
    for (char& character : lower) {
        character = character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character;
    }
    for (std::size_t i = 0; i < std::size(kHexExtensions); ++i) {
        if (lower == kHexExtensions[i]) {
            return i < kReplacedHexExtensions ? HexExtension::replaced : HexExtension::kept;
        }
    }
    return HexExtension::none;
}

// The name given with -o without the extension of its last part.
std::string withoutExtension(const std::string& name) {
    const std::size_t base = lastPartStart(name, kAnySystemSeparators);
    const std::size_t dot = name.rfind('.');
    return dot != std::string::npos && dot >= base ? name.substr(0, dot) : name;
}

}  // namespace

std::string hexExtensionList() {
    std::string list;
    for (const std::string_view extension : kHexExtensions) {
        list += list.empty() ? "" : ", ";
        list += extension;
    }
    return list;
}

std::optional<FileNames> fileNamesFor(const std::string& argument, std::string_view outputExtension,
                                      const std::optional<std::string>& outputName,
                                      const std::optional<std::string>& entityName) {
    const bool toStandardOutput = outputName == kStandardStreamArgument;
    std::optional<FileNames> names;
    if (argument == kStandardStreamArgument && outputName) {
        names = FileNames{argument, kStandardInputName, toStandardOutput ? kStandardOutputName : *outputName,
                 toStandardOutput ? "rom" : withoutExtension(*outputName), ""};
    } else {
        const std::size_t cut = extensionStart(argument);
        const std::string_view extension = std::string_view(argument).substr(cut);
        const HexExtension kind = hexExtension(extension);
        if (kind == HexExtension::none) {
            return std::nullopt;
        }
        const std::string stem = kind == HexExtension::replaced ? argument.substr(0, cut) : argument;
        // A name in .HEX is looked for in .hex first, as a file system that ignores case shows it.
        const std::string input = extension == ".HEX" ? stem + ".hex" : argument;
        names = FileNames{argument, input,
                 toStandardOutput ? kStandardOutputName : outputName ? *outputName : stem + std::string(outputExtension),
                 outputName && !toStandardOutput ? withoutExtension(*outputName) : stem, ""};
    }
    names->unit = entityName.value_or(names->stem.substr(lastPartStart(names->stem, kAnySystemSeparators)));
    names->toStandardOutput = toStandardOutput;
    return names;
}

OpenedInput openInput(const FileNames& names) {
    if (names.argument == kStandardStreamArgument) {
        return {FilePtr(standardInputInBinaryMode()), names.input};
    }
    OpenedInput opened{FilePtr(std::fopen(names.input.c_str(), "rb")), names.input};
    opened.error = opened.file ? 0 : errno;
    if (!opened.file && names.argument != names.input) {
        opened.file.reset(std::fopen(names.argument.c_str(), "rb"));
        opened.name = opened.file ? names.argument : names.input;
    }
    return opened;
}

}  // namespace romtools
