// RomWriter, the interface that each output format implements, and the shape of the ROM it writes.
#pragma once

#include <algorithm>
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

// The low bits ones, up to all 64.
constexpr std::uint64_t lowBitsMask(unsigned bits) {
    return bits >= 64 ? UINT64_MAX : (std::uint64_t{1} << bits) - 1;
}

// The ROM a conversion writes: the bits of its addresses and of its words, and the word where the
// image gives none. A word takes
// bytesPerWord() bytes of the image, and the ROM keeps its low dataWidth bits, dataMask(), which
// hexDigits() hex digits write.
struct RomShape {
    std::int32_t addressWidth = 0;
    std::int32_t dataWidth = kDefaultDataWidth;
    std::uint64_t fill = 0;  // the word of every address the image gives none

    unsigned bytesPerWord() const { return romtools::bytesPerWord(dataWidth); }
    std::uint64_t dataMask() const { return lowBitsMask(static_cast<unsigned>(dataWidth)); }
    // The run keeps the data width to 1..64; clamped, any width gives some number.
    unsigned hexDigits() const { return static_cast<unsigned>(std::clamp(dataWidth, 1, kMaxDataWidth) + 3) / 4; }
};

// What a writer writes, as the command line and --help name it: the value of --style or --format that
// picks it, what it writes, in a few words, the extension of its output files, and the widest address
// it takes.
struct OutputForm {
    std::string_view name;
    std::string_view summary;  // short enough that its --help line fits 80 columns
    std::string_view extension;
    std::int32_t widestAddress;
    // Its first line is a word in hex, and a file under the default output name whose first line is
    // none is another tool's, kept: other tools write files of the same extension, as SDCC writes its
    // memory report to fw.mem.
    bool keepsOtherFiles = false;
};

// The names a conversion gives its writer: what the unit is named after, and the output's name without
// its extension, after which the word file of the same ROM is named.
struct RomNames {
    std::string_view unit;
    std::string_view outputStem;
};

// One form of output. writeRom calls writeHeader once, writeWord once per word in file order, and
// writeTrailer once. A writer writes only to the sink it is handed, whose every line ends in CR LF;
// the run opens, checks and closes the file.
//
// To add a form to a program: derive from RomWriter in a file of its own here, and add the writer to
// the program's list in its main in programs/; the command line, the width checks, the output's name
// and --help ask that list. A new program is a main that calls runConversion with its name, what it
// does, the option that picks a form and its writers.
class RomWriter {
public:
    virtual ~RomWriter() = default;

    virtual OutputForm form() const = 0;
    virtual void writeHeader(LineSink& sink, const RomNames& names, const RomShape& shape) = 0;
    virtual void writeWord(LineSink& sink, const RomWord& word, const RomShape& shape) = 0;
    virtual void writeTrailer(LineSink& sink, const RomShape& shape) = 0;

    // A line for standard error when the format cannot take the unit's name as it stands, saying what
    // it takes instead; empty otherwise. The run writes it before the header.
    virtual std::string nameNotice(std::string_view /*unit*/) const { return {}; }
};

}  // namespace romtools
