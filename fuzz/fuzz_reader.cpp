// The reader on any bytes: no crash, no undefined behaviour, no endless loop, and no more words than
// the records it starts can hold.

#include <cstdlib>
#include <algorithm>

#include "fuzz_input.h"
#include "hex_record_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    romtools::fuzzing::MemoryFile file(data, size);
    if (file.get() == nullptr) {
        return 0;
    }
    romtools::TextInput input(file.get());
    romtools::InputWarnings warnings("fuzz", nullptr);
    romtools::HexRecordReader reader(input, warnings);
    romtools::RomWord word;
    std::size_t words = 0;
    while (reader.nextWord(word)) {
        ++words;
    }
    // A record gives at most 128 words: 255 bytes from an odd address, one high byte and 127 pairs.
    const std::size_t records = static_cast<std::size_t>(std::count(data, data + size, ':'));
    if (words > 128 * records || reader.nextWord(word)) {
        std::abort();
    }
    return 0;
}
