#include "write_rom.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "line_format.h"
#include "repeated_addresses.h"

namespace romtools {

namespace {

// The bits of a word's bytes at and above the data width, which the ROM drops. All 0 and all 1 lose
// nothing a core would read: all 1 is erased flash, and how PIC toolchains fill and write their
// configuration words. Any other mix there is part of a word wider than the ROM.
class BitsAboveWidth {
public:
    explicit BitsAboveWidth(const RomShape& shape)
        : mask_(lowBitsMask(8 * shape.bytesPerWord()) & ~shape.dataMask()) {}

    bool cut(std::uint64_t data) const {
        const std::uint64_t high = data & mask_;
        return high != 0 && high != mask_;
    }

private:
    std::uint64_t mask_;
};

std::string hexAddress(std::uint64_t address) {
    char text[20];
    return std::string(text, putHexAddress(text, address));
}

void warnRepeated(InputWarnings& warnings, std::uint64_t line, const RomWord& word) {
    warnings.warn(Doubt::repeatedWord, line, "word address " + hexAddress(word.address) + " was given before");
}

void warnBitsAbove(InputWarnings& warnings, std::uint64_t line, const RomWord& word, const RomShape& shape) {
    char data[16];
    const unsigned bytes = std::min(shape.bytesPerWord(), 8u);  // the data width is at most 64
    const std::string width = std::to_string(shape.dataWidth);
    warnings.warn(Doubt::bitsAboveWidth, line,
                  "word address " + hexAddress(word.address) + " holds " +
                      std::string(data, putHexBytes(data, word.data, bytes)) +
                      ", more bits than the data width " + width + "; the ROM keeps the low " + width);
}

}  // namespace

AddressFit writeRom(HexRecordReader& reader, InputWarnings& warnings, RomWriter& writer, LineSink& sink,
                    const RomRequest& request) {
    AddressFit fit(request.shape.addressWidth);
    RepeatedAddresses given;
    const BitsAboveWidth bitsAbove(request.shape);
    writer.writeHeader(sink, request.names, request.shape);
    RomWord word;
    while (!sink.failed() && reader.nextWord(word)) {
        // A word that --crop leaves out is not judged at all.
        if (!fit.note(word.address) && request.crop) {
            continue;
        }
        if (given.note(word.address) && warnings.firstOf(Doubt::repeatedWord)) {
            warnRepeated(warnings, reader.wordLine(), word);
        }
        if (warnings.firstOf(Doubt::bitsAboveWidth) && bitsAbove.cut(word.data)) {
            warnBitsAbove(warnings, reader.wordLine(), word, request.shape);
        }
        writer.writeWord(sink, word, request.shape);
    }
    writer.writeTrailer(sink, request.shape);
    return fit;
}

}  // namespace romtools
