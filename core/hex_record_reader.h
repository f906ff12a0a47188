#pragma once

#include <cstdint>

#include "rom_word.h"
#include "text_input.h"

namespace romtools {

// Turns the records of an Intel HEX file into ROM words, one word per call, keeping only its place in
// the current record. Only data records deliver words, and only while no extended address record has
// moved them beyond the first 64 KiB. It is lenient with what stands inside a record: checksums are read
// but not checked, and a character that is not a hex digit counts as 0. It stops for good, without a
// word, at the first character that cannot start a record (anything but ':' or a line feed) and at the
// end of the input.
class HexRecordReader {
public:
    explicit HexRecordReader(TextInput& input) : input_(input) {}

    // Delivers the next word and returns true, or returns false once the reader has stopped.
    bool nextWord(RomWord& word);

private:
    void startRecord();
    void skipRecordWords(unsigned type, unsigned words);

    TextInput& input_;
    unsigned wordsLeft_ = 0;       // words of the current record not yet delivered
    std::uint16_t nextAddress_ = 0;
    bool outsideRom_ = false;      // an extended address record has moved the data beyond 64 KiB
    bool stopped_ = false;
};

// The value of one hex digit, either case; any other character, and the end of the input, gives 0.
unsigned hexDigitValue(int character);
// Two digits, high half first.
std::uint8_t readHexByte(TextInput& input);
// A record's byte address, high byte first, halved to a word address.
std::uint16_t readRecordAddress(TextInput& input);
// One data word, low byte first.
std::uint16_t readDataWord(TextInput& input);

}  // namespace romtools
