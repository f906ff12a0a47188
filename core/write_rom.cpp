#include "write_rom.h"

namespace romtools {

int AddressFit::widthNeeded() const {
    int bits = 1;
    while ((largest_ >> bits) != 0) {
        ++bits;
    }
    return bits;
}

AddressFit writeRom(HexRecordReader& reader, RomWriter& writer, std::ostream& output, std::string_view stem,
                    std::int32_t addressWidth) {
    AddressFit fit(addressWidth);
    writer.writeHeader(output, stem, addressWidth);
    RomWord word;
    while (output.good() && reader.nextWord(word)) {
        fit.note(word.address);
        writer.writeWord(output, word, addressWidth);
    }
    writer.writeTrailer(output);
    return fit;
}

}  // namespace romtools
