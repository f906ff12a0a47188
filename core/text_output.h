#pragma once

#include <cstdio>
#include <streambuf>
#include <vector>

namespace romtools {

// The output stream's buffer over a file opened in binary mode: every '\n' written reaches the file as
// CR LF, on every platform, and nothing else is changed. A failed write is remembered, never thrown;
// finish() tells whether every byte reached the file. The file stays the caller's to close.
class CrLfFileBuf final : public std::streambuf {
public:
    explicit CrLfFileBuf(std::FILE* file);
    CrLfFileBuf(const CrLfFileBuf&) = delete;
    CrLfFileBuf& operator=(const CrLfFileBuf&) = delete;

    // Writes out what is buffered and flushes the file; false when any write so far has failed.
    bool finish();

protected:
    int_type overflow(int_type character) override;
    int sync() override;

private:
    bool drain();

    std::FILE* file_;
    std::vector<char> buffer_;      // the put area: text as the writers wrote it
    std::vector<char> translated_;  // the same text with CR LF line ends, as it goes to the file
    bool failed_ = false;
};

}  // namespace romtools
