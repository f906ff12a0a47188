#include "write_rom.h"

#include <array>
#include <cstdio>

namespace romtools {

AddressFit writeRom(HexRecordReader& reader, RomWriter& writer, std::ostream& output, std::string_view stem,
                    const RomShape& shape, bool crop, InputWarnings& warnings) {
    AddressFit fit(shape.addressWidth);
    // A record reaches at most 254 bytes past byte FFFF, and so does a word address of one byte: one flag
    // each, 8 KiB whatever the file's size, in 64-bit words tested and set with a mask, the cheapest way
    // per word.
    std::array<std::uint64_t, (0x10000 + 0x100) / 64> given{};
    writer.writeHeader(output, stem, shape);
    RomWord word;
    while (output.good() && reader.nextWord(word)) {
        std::uint64_t& flags = given[word.address >> 6];
        const std::uint64_t flag = std::uint64_t{1} << (word.address & 63u);
        if ((flags & flag) != 0 && warnings.firstOf(Doubt::repeatedWord)) {
            char text[48];
            std::snprintf(text, sizeof text, "word address %04X was given before", static_cast<unsigned>(word.address));
            warnings.warn(Doubt::repeatedWord, reader.wordLine(), text);
        }
        flags |= flag;
        if (fit.note(word.address) || !crop) {
            writer.writeWord(output, word, shape);
        }
    }
    writer.writeTrailer(output, shape);
    return fit;
}

}  // namespace romtools
