// lastPartStart: where the last part of a path starts, after the last of its separators.
#pragma once

#include <cstddef>
#include <string_view>

namespace romtools {

// The separators of names that the programs take apart the same way on every system, where a name
// from either system may come: '/' and '\'.
inline constexpr std::string_view kAnySystemSeparators = "/\\";

// The separators of the file system the program runs on, for names it creates files under.
#ifdef _WIN32
inline constexpr std::string_view kFileSystemSeparators = "/\\:";
#else
inline constexpr std::string_view kFileSystemSeparators = "/";
#endif

// The index just after the last of separators in path, or 0 when it holds none.
inline std::size_t lastPartStart(std::string_view path, std::string_view separators) {
    const std::size_t separator = path.find_last_of(separators);
    return separator == std::string_view::npos ? 0 : separator + 1;
}

}  // namespace romtools
