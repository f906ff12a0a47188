#pragma once

#include <cstdint>
#include <limits>
#include <ostream>
#include <string_view>

#include "rom_word.h"

namespace romtools {

// The output format of one program. The run sequence calls writeHeader once, writeWord once per word in
// file order, and writeTrailer once. A writer writes only to the stream it is handed, with a bare '\n' at
// each line end (the stream turns it into CR LF); the run sequence opens, checks and closes the file.
//
// To add a format: derive from RomWriter, and give the new program a main that calls runConversion
// with its name, its output file name format and the writer.
class RomWriter {
public:
    virtual ~RomWriter() = default;

    virtual void writeHeader(std::ostream& output, std::string_view stem, std::int32_t addressWidth) = 0;
    virtual void writeWord(std::ostream& output, const RomWord& word, std::int32_t addressWidth) = 0;
    virtual void writeTrailer(std::ostream& output) = 0;

    // The largest address width the format can describe; the run refuses a larger answer before
    // anything is written.
    virtual std::int32_t maxAddressWidth() const { return std::numeric_limits<std::int32_t>::max(); }
};

}  // namespace romtools
