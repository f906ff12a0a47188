// What every format's line for a word shares: its data bits and its comment, and the way it is built.
#pragma once

#include <cstddef>
#include <string_view>
#include <type_traits>

#include "line_format.h"
#include "line_sink.h"
#include "rom_writer.h"

namespace romtools {

// The tail of every format's line for a word: its data bits, then separator, then the comment that
// shows its address and its bytes.
template <typename DataWidth>
char* putDataAndComment(char* out, const RomWord& word, DataWidth dataWidth, std::string_view separator) {
    out = putBits(out, word.data, dataWidth);
    out = putText(out, separator);
    return putAddressDataComment(out, word.address, word.data, bytesPerWord(dataWidth));
}

// Writes a word's line of at most longest characters: build is handed where the line starts and the
// data width, and returns where it ends. The default width comes as a constant, so that the compiler
// builds its line from copies of fixed length at fixed places, as fast as when it was the only width;
// any other comes as a number.
template <typename Build>
void writeWordLine(LineSink& sink, const RomShape& shape, std::size_t longest, Build build) {
    if (shape.dataWidth == kDefaultDataWidth) {
        sink.writeLine(longest, [&](char* out) {
            return build(out, std::integral_constant<std::int32_t, kDefaultDataWidth>{});
        });
    } else {
        sink.writeLine(longest, [&](char* out) { return build(out, shape.dataWidth); });
    }
}

// The longest tail of a word's line: the widest data, a separator of up to separatorSize characters,
// and the comment.
constexpr std::size_t longestDataAndComment(std::size_t separatorSize) {
    return kMaxDataWidth + separatorSize + kAddressDataCommentSize;
}

}  // namespace romtools
