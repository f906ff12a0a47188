// RomWriter, the interface that each output format implements, and the shape of the ROM it writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "line_sink.h"
#include "rom_word.h"

namespace romtools {

// The ROM's data width unless --data-width gives another, and the widest it takes: a word is at most
// eight bytes of the image.
inline constexpr std::int32_t kDefaultDataWidth = 14;
inline constexpr std::int32_t kMaxDataWidth = 64;

// The bytes of the image that a word of dataWidth bits takes.
constexpr unsigned bytesPerWord(std::int32_t dataWidth) {
    return static_cast<unsigned>(dataWidth + 7) / 8;
}

// The ROM a conversion writes: the bits of its addresses and of its words. A word takes
// bytesPerWord() bytes of the image, and the ROM keeps its low dataWidth bits.
struct RomShape {
    std::int32_t addressWidth = 0;
    std::int32_t dataWidth = kDefaultDataWidth;

    unsigned bytesPerWord() const { return romtools::bytesPerWord(dataWidth); }
};

// What tells a program's writers apart, where it has more than one: the value of --style that picks
// it, what it writes, in a few words for --help, and the widest address it takes.
struct WriterStyle {
    std::string_view name;
    std::string_view summary;  // short enough that its --help line fits 80 columns
    std::int32_t widestAddress;
};

// The output format of one program. writeRom calls writeHeader once, writeWord once per word in file
// order, and writeTrailer once. A writer writes only to the sink it is handed, whose every line ends in
// CR LF; the run opens, checks and closes the file.
//
// To add a format: derive from RomWriter in a file of its own here, and give the new program a main in
// programs/ that calls runConversion with its name, what it does, its output extension and the writer.
// To add a style to a program: derive its writer, and add it to the program's list of writers.
class RomWriter {
public:
    virtual ~RomWriter() = default;

    virtual WriterStyle style() const = 0;
    virtual void writeHeader(LineSink& sink, std::string_view stem, const RomShape& shape) = 0;
    virtual void writeWord(LineSink& sink, const RomWord& word, const RomShape& shape) = 0;
    virtual void writeTrailer(LineSink& sink, const RomShape& shape) = 0;

    // A line for standard error when the format cannot take the stem as a name as it stands, saying
    // what it takes instead; empty otherwise. The run writes it before the header.
    virtual std::string nameNotice(std::string_view /*stem*/) const { return {}; }
};

}  // namespace romtools
