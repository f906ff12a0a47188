#include "hex_record_reader.h"

namespace romtools {

namespace {
constexpr unsigned kDataRecord = 0x00;
constexpr unsigned kExtendedSegmentAddress = 0x02;
constexpr unsigned kExtendedLinearAddress = 0x04;
}  // namespace

void HexRecordReader::startRecord() {
    int character = input_.get();
    while (character == '\n') {
        character = input_.get();
    }
    if (character != ':') {
        stopped_ = true;
        return;
    }
    // An odd last byte is not data: it is read as the checksum, and the real checksum's digits then
    // stand where the next record should start.
    const unsigned words = readHexByte(input_) >> 1u;
    nextAddress_ = readRecordAddress(input_);
    const unsigned type = readHexByte(input_);
    if (type == kDataRecord && !outsideRom_) {
        wordsLeft_ = words;
    } else {
        skipWordsNotingExtendedAddress(type, words);
    }
    if (wordsLeft_ == 0) {
        readHexByte(input_);  // checksum, not checked
    }
}

// A record that delivers nothing is read through all the same. An extended address record with a
// base above zero moves the data records after it beyond the ROM's 64 KiB; one with a zero base
// brings them back.
void HexRecordReader::skipWordsNotingExtendedAddress(unsigned type, unsigned words) {
    unsigned base = 0;
    for (; words > 0; --words) {
        base |= readDataWord(input_);
    }
    if (type == kExtendedSegmentAddress || type == kExtendedLinearAddress) {
        outsideRom_ = base != 0;
    }
}

bool HexRecordReader::nextWord(RomWord& word) {
    while (!stopped_ && wordsLeft_ == 0) {
        startRecord();
    }
    if (stopped_) {
        return false;
    }
    word.address = nextAddress_;
    word.data = readDataWord(input_);
    // A word that the end of the input cuts off is not made up from digits the file never held.
    if (input_.endReached()) {
        stopped_ = true;
        return false;
    }
    ++nextAddress_;
    if (--wordsLeft_ == 0) {
        readHexByte(input_);  // checksum, not checked
    }
    return true;
}

}  // namespace romtools
