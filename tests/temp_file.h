// Temporary files for the unit tests and the fuzz targets: one that holds given bytes, and all of one.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "stdio_file.h"

namespace romtools::testing {

// An anonymous temporary file holding bytes, positioned at its start.
inline FilePtr fileWith(std::string_view bytes) {
    FilePtr file(std::tmpfile());
    if (file) {
        std::fwrite(bytes.data(), 1, bytes.size(), file.get());
        std::rewind(file.get());
    }
    return file;
}

// Everything from the file's start to its end.
inline std::string contentsOf(std::FILE* file) {
    std::rewind(file);
    std::string bytes;
    char block[4096];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) {
        bytes.append(block, n);
    }
    return bytes;
}

}  // namespace romtools::testing
