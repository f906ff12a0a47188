// HexRecordReader: the words of an Intel HEX file, one at a time, and the primitives that read digits.
#pragma once

#include <array>
#include <cstdint>

#include "rom_word.h"
#include "text_input.h"

namespace romtools {

// Turns the records of an Intel HEX file into ROM words, one word per call, keeping only its place in
// the current record. Only data records deliver words, and only while no extended address record has
// moved them beyond the first 64 KiB. It is lenient with what stands inside a record: checksums are read
// but not checked, and a character that is not a hex digit counts as 0. It stops for good, without a
// word, at the first character that cannot start a record (anything but ':' or a line feed) and at the
// end of the input, also when the end cuts a word's digits short.
class HexRecordReader {
public:
    explicit HexRecordReader(TextInput& input) : input_(input) {}

    // Delivers the next word and returns true, or returns false once the reader has stopped.
    bool nextWord(RomWord& word);

private:
    void startRecord();
    void skipWordsNotingExtendedAddress(unsigned type, unsigned words);

    TextInput& input_;
    unsigned wordsLeft_ = 0;       // words of the current record not yet delivered
    std::uint16_t nextAddress_ = 0;
    bool outsideRom_ = false;      // an extended address record has moved the data beyond 64 KiB
    bool stopped_ = false;
};

// Digit values by character: 1 to 9, and a to f and A to F; every other byte is 0.
inline constexpr auto kDigitValues = [] {
    std::array<std::uint8_t, 256> table{};
    for (unsigned digit = 1; digit <= 9; ++digit) {
        table['0' + digit] = static_cast<std::uint8_t>(digit);
    }
    for (unsigned letter = 0; letter < 6; ++letter) {
        table['A' + letter] = table['a' + letter] = static_cast<std::uint8_t>(10 + letter);
    }
    return table;
}();

// The primitives are defined here so that the reader's loop inlines them: they run for every digit.

// The value of one hex digit, either case; any other character, and the end of the input, gives 0.
inline unsigned hexDigitValue(int character) {
    return character >= 0 && character < 256 ? kDigitValues[static_cast<unsigned>(character)] : 0;
}

// Two digits, high half first.
inline std::uint8_t readHexByte(TextInput& input) {
    const unsigned high = hexDigitValue(input.get());
    const unsigned low = hexDigitValue(input.get());
    return static_cast<std::uint8_t>(high * 16 + low);
}

// A record's byte address, high byte first, halved to a word address.
inline std::uint16_t readRecordAddress(TextInput& input) {
    const unsigned high = readHexByte(input);
    const unsigned low = readHexByte(input);
    return static_cast<std::uint16_t>((high * 256 + low) >> 1);
}

// One data word, low byte first.
inline std::uint16_t readDataWord(TextInput& input) {
    const unsigned low = readHexByte(input);
    const unsigned high = readHexByte(input);
    return static_cast<std::uint16_t>(low + high * 256);
}

}  // namespace romtools
