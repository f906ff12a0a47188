// CrLfFileBuf: the buffer between the writers and the output file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <streambuf>
#include <vector>

namespace romtools {

// The output's buffer over a file opened in binary mode: every '\n' written reaches the file as
// CR LF, on every platform, and nothing else is changed. Text is translated a run of bytes at a time,
// straight into the block that goes to the file. A failed write is remembered, never thrown; finish()
// tells whether every byte reached the file. Given the file that the output will replace, it compares
// each block with that file's bytes as it writes it, until the two differ, so that an unchanged output
// costs one read of the previous file and a changed one little more. The files stay the caller's to
// close.
class CrLfFileBuf final : public std::streambuf {
public:
    explicit CrLfFileBuf(std::FILE* file, std::FILE* previous = nullptr);
    CrLfFileBuf(const CrLfFileBuf&) = delete;
    CrLfFileBuf& operator=(const CrLfFileBuf&) = delete;

    // Writes out what is buffered and flushes the file; false when any write so far has failed.
    bool finish();
    bool failed() const { return failed_; }
    // After finish(): whether every byte written equals the previous file's, which has no more.
    bool matchesPrevious();
    int error() const { return error_; }  // errno of the first write that failed

    // Room for a line of at most longest bytes (no more than a block), straight in the block for the
    // file; its writer ends it in CR LF itself and hands its end to commitLine. Nothing is translated.
    char* lineSpace(std::size_t longest) {
        if (static_cast<std::size_t>(limit_ + 1 - put_) < longest) {
            drain();
        }
        return put_;
    }
    void commitLine(char* end) { put_ = end; }

protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int_type overflow(int_type character) override;
    int sync() override;

private:
    bool drain();
    void compareWithPrevious(std::size_t length);

    std::FILE* file_;
    std::FILE* previous_;  // null once it differs from what is written, or when there is none
    std::vector<char> previousBlock_;
    std::size_t comparePiece_ = 4096;
    std::vector<char> block_;  // the next block for the file, line ends already CR LF
    char* put_;                // where the next byte goes in block_
    char* limit_;              // the block's last byte, kept for the CR before a line feed
    bool failed_ = false;
    int error_ = 0;

    void fail();
};

}  // namespace romtools
