// The reader on any bytes: no crash, no undefined behaviour, no endless loop, and no more words than
// the records it starts can hold. A file found not to be Intel HEX would give no word, and one found
// to be gives the same words as when nothing asked.

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "fuzz_input.h"
#include "hex_record_reader.h"

namespace {

// The words of the file, read after asking whether it is Intel HEX, or not asking; and the answer.
std::pair<std::vector<std::uint64_t>, bool> read(const std::uint8_t* data, std::size_t size, bool ask) {
    romtools::fuzzing::MemoryFile file(data, size);
    if (file.get() == nullptr) {
        std::abort();
    }
    romtools::TextInput input(file.get());
    romtools::InputWarnings warnings("fuzz", nullptr);
    romtools::HexRecordReader reader(input, warnings);
    const bool intelHex = !ask || reader.whyNotIntelHex().empty();
    std::vector<std::uint64_t> words;
    for (romtools::RomWord word; intelHex && reader.nextWord(word);) {
        words.push_back(word.address << 16 | word.data);
    }
    // A record gives at most 128 words: 255 bytes from an odd address, one high byte and 127 pairs.
    romtools::RomWord word;
    if (words.size() > 128 * static_cast<std::size_t>(std::count(data, data + size, ':')) ||
        (intelHex && reader.nextWord(word))) {
        std::abort();
    }
    return {words, intelHex};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto [words, intelHex] = read(data, size, true);
    const auto unasked = read(data, size, false).first;
    if (intelHex ? words != unasked : !unasked.empty()) {
        std::abort();
    }
    return 0;
}
