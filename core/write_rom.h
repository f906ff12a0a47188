// writeRom: a whole conversion from a reader to a writer, and what it saw of the word addresses.
#pragma once

#include <string_view>

#include "address_fit.h"
#include "hex_record_reader.h"
#include "input_warnings.h"
#include "line_sink.h"
#include "rom_writer.h"

namespace romtools {

// What a conversion asks of writeRom: the names for the writer, the ROM's shape, and whether words
// beyond its addresses are left out.
struct RomRequest {
    RomNames names;
    RomShape shape;
    bool crop = false;
};

// Writes the header, one piece for each word the reader delivers, in file order, and the trailer. Each
// word is written as soon as it is read, so nothing of the image is held. With crop, a word beyond the
// address width is left out unjudged. A word address delivered a second time is said to the warnings.
// A failed write ends the reading: the output is lost either way.
AddressFit writeRom(HexRecordReader& reader, InputWarnings& warnings, RomWriter& writer, LineSink& sink,
                    const RomRequest& request);

}  // namespace romtools
