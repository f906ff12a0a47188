// RomWriter, the interface that each output format implements, and the ROM's data width.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "line_format.h"
#include "rom_word.h"

namespace romtools {

// The ROM's data width, the same in every format; it is never asked for.
inline constexpr std::int32_t kDataWidth = 14;

// What tells a program's writers apart, where it has more than one: the value of --style that picks
// it, what it writes, in a few words for --help, and the widest address it takes.
struct WriterStyle {
    std::string_view name;
    std::string_view summary;  // at most 37 characters, so that its --help line fits 80 columns
    std::int32_t widestAddress;
};

// The output format of one program. writeRom calls writeHeader once, writeWord once per word in file
// order, and writeTrailer once. A writer writes only to the stream it is handed, with a bare '\n' at each
// line end (the stream turns it into CR LF); the run opens, checks and closes the file.
//
// To add a format: derive from RomWriter in a file of its own here, and give the new program a main in
// programs/ that calls runConversion with its name, what it does, its output extension and the writer.
// To add a style to a program: derive its writer, and add it to the program's list of writers.
class RomWriter {
public:
    virtual ~RomWriter() = default;

    virtual WriterStyle style() const = 0;
    virtual void writeHeader(std::ostream& output, std::string_view stem, std::int32_t addressWidth) = 0;
    virtual void writeWord(std::ostream& output, const RomWord& word, std::int32_t addressWidth) = 0;
    virtual void writeTrailer(std::ostream& output) = 0;

    // A line for standard error when the format cannot take the stem as a name as it stands, saying
    // what it takes instead; empty otherwise. The run writes it before the header.
    virtual std::string nameNotice(std::string_view /*stem*/) const { return {}; }

protected:
    // Where each word's line is built: the writer attaches it to the output in writeHeader.
    LineTarget lineTarget_;
};

}  // namespace romtools
