#include "write_rom.h"

#include <cstdio>

#include "repeated_addresses.h"

namespace romtools {

AddressFit writeRom(HexRecordReader& reader, InputWarnings& warnings, RomWriter& writer, LineSink& sink,
                    const RomRequest& request) {
    AddressFit fit(request.shape.addressWidth);
    RepeatedAddresses given;
    writer.writeHeader(sink, request.stem, request.shape);
    RomWord word;
    while (!sink.failed() && reader.nextWord(word)) {
        if (given.note(word.address) && warnings.firstOf(Doubt::repeatedWord)) {
            char text[48];
            std::snprintf(text, sizeof text, "word address %04X was given before", static_cast<unsigned>(word.address));
            warnings.warn(Doubt::repeatedWord, reader.wordLine(), text);
        }
        if (fit.note(word.address) || !request.crop) {
            writer.writeWord(sink, word, request.shape);
        }
    }
    writer.writeTrailer(sink, request.shape);
    return fit;
}

}  // namespace romtools
