// writeRom: a whole conversion from a reader to a writer, and what it saw of the word addresses.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

#include "hex_record_reader.h"
#include "rom_writer.h"

namespace romtools {

// Watches the word addresses for the ones that lie beyond the ROM: the output keeps them, as the file
// has them, but VHDL tools refuse the repeated choices they make, so the user is told once at the end.
class AddressFit {
public:
    explicit AddressFit(std::int32_t addressWidth)
        : limit_(addressWidth < 1 ? 0 : addressWidth > 16 ? 0x10000u : 1u << addressWidth) {}

    void note(std::uint16_t address) {
        if (address >= limit_ && !anyOutside_) {
            anyOutside_ = true;
            firstOutside_ = address;
        }
        largest_ = address > largest_ ? address : largest_;
    }
    bool anyOutside() const { return anyOutside_; }
    std::uint16_t firstOutside() const { return firstOutside_; }
    // The bit length of the largest address, at least 1: the width that holds every address.
    int widthNeeded() const;

private:
    std::uint32_t limit_;  // the first address beyond the ROM
    bool anyOutside_ = false;
    std::uint16_t firstOutside_ = 0;
    std::uint16_t largest_ = 0;
};

// Writes the header, one piece for each word the reader delivers, in file order, and the trailer. Each
// word is written as soon as it is read, so nothing of the image is held. A failed write ends the
// reading: the output is lost either way.
AddressFit writeRom(HexRecordReader& reader, RomWriter& writer, std::ostream& output, std::string_view stem,
                    std::int32_t addressWidth);

}  // namespace romtools
