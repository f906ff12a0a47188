// LineSink: what the writers write to, the output's CrLfFileBuf seen as lines that end in CR LF.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "crlf_file_buf.h"

namespace romtools {

// Room that a line built in place has past its longest, for pieces that write a few bytes of scratch
// beyond their end, such as putBits.
inline constexpr std::size_t kLineScratch = 8;

// The output as the writers see it. Text is written as it stands, each '\n' in it reaching the file as
// CR LF. A word's line is built straight in the block for the file and ended there with its CR LF, so
// that it is neither searched for line feeds nor copied, which was most of a word's cost. A failed
// write is remembered, never thrown.
class LineSink {
public:
    explicit LineSink(CrLfFileBuf& file) : file_(file) {}

    LineSink& operator<<(std::string_view text) {
        file_.sputn(text.data(), static_cast<std::streamsize>(text.size()));
        return *this;
    }

    // Builds one line of at most longest characters: build is handed where the line starts and returns
    // where it ends, and the line then gets its CR LF.
    template <typename Build>
    void writeLine(std::size_t longest, Build build) {
        char* end = build(file_.lineSpace(longest + kLineScratch + 2));
        end[0] = '\r';
        end[1] = '\n';
        file_.commitLine(end + 2);
    }

    // Writes bytes of at most a block whose line ends are CR LF already, as they stand.
    void writeBytes(std::string_view bytes) {
        char* out = file_.lineSpace(bytes.size());
        std::memcpy(out, bytes.data(), bytes.size());
        file_.commitLine(out + bytes.size());
    }

    bool failed() const { return file_.failed(); }

private:
    CrLfFileBuf& file_;
};

}  // namespace romtools
