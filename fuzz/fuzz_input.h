#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace romtools::fuzzing {

// A read-only stream over a copy of the fuzzer's bytes.
class MemoryFile {
public:
    MemoryFile(const std::uint8_t* data, std::size_t size) : bytes_(data, data + size) {
        bytes_.push_back(0);  // a buffer even for an empty input
        file_ = fmemopen(bytes_.data(), size, "r");
    }
    ~MemoryFile() {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    std::FILE* get() const { return file_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::FILE* file_ = nullptr;
};

}  // namespace romtools::fuzzing
