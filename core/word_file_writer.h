// WordFileWriter: the word file format, one word a line in hex, as $readmemh and icebram read it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "rom_writer.h"

namespace romtools {

// The extension of word files; the file style's VHDL reads one named so.
inline constexpr std::string_view kWordFileExtension = ".mem";

// The widest address the formats of a line per address take: 16M lines are beyond any on-chip ROM.
inline constexpr std::int32_t kMaxWordListAddressWidth = 24;

// Writes the image as a word file: a line for every address of the ROM, from 0, with the low N bits of
// the word there (N the data width) in ceil(N/4) upper-case hex digits, and the fill word where the
// image gives none. The file is in address order and the image in file order, so the words wait for the trailer,
// in pages of 64K addresses made as the image reaches them: memory grows with the image, never with
// the width. A word given again stands in place of the earlier one; a word beyond the width is left
// out, as the run's warning says.
class WordFileWriter : public RomWriter {
public:
    OutputForm form() const override;
    // The names play no part: the file holds none.
    void writeHeader(LineSink& sink, const RomNames&, const RomShape& shape) override;
    void writeWord(LineSink& sink, const RomWord& word, const RomShape& shape) override;
    void writeTrailer(LineSink& sink, const RomShape& shape) override;

protected:
    // What a format of a word a line sets apart: the lines before the words, and what follows each
    // word but the last, and the last one.
    virtual std::string_view header() const { return ""; }
    virtual std::string_view separator() const { return ""; }
    virtual std::string_view lastSeparator() const { return ""; }

private:
    void writeLines(LineSink& sink, std::uint64_t first, std::uint64_t end, const RomShape& shape);
    void writeFillLines(LineSink& sink, std::uint64_t count);
    static void writeWordLine(LineSink& sink, std::uint64_t word, unsigned digits, std::string_view after);

    std::uint64_t lines_ = 0;  // 2 to the power of the address width
    std::uint64_t pageSize_ = 0;
    // The words by page, null where the image gives none; the ROM has at most 256 pages.
    std::vector<std::unique_ptr<std::uint64_t[]>> pages_;
    std::string fillLines_;  // as many lines of the fill word as fit a few KiB, CR LF and all, for the gaps
    std::size_t fillLineSize_ = 0;
};

}  // namespace romtools
