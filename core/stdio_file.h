// C stdio files as the run uses them: an owning pointer, and the size of the blocks read and written.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>

namespace romtools {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The input is read and the output written a block at a time, each with one call to the system:
// large enough that the calls cost nothing next to the conversion, small enough to stay in the cache.
inline constexpr std::size_t kBlockSize = 64 * 1024;

}  // namespace romtools
