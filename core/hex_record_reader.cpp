#include "hex_record_reader.h"

#include <cstdio>

namespace romtools {

namespace {

constexpr unsigned kDataRecord = 0x00;
constexpr unsigned kEndOfFile = 0x01;
constexpr unsigned kExtendedSegmentAddress = 0x02;
constexpr unsigned kExtendedLinearAddress = 0x04;

std::string hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

}  // namespace

bool HexRecordReader::nextWordByBytes(RomWord& word) {
    while (queued_ == 0 && !stopped_ && !lieWhole()) {
        if (dataLeft_ > 0) {
            readDataByte();
        } else {
            startRecord();
        }
    }
    if (queued_ == 0) {
        return !stopped_ && nextWord(word);
    }
    word = queue_[delivered_].word;
    wordLine_ = queue_[delivered_].line;
    if (++delivered_ == queued_) {
        queued_ = delivered_ = 0;
        lieWhole();
    }
    return true;
}

// A word that lies whole in the record, read at once: the way of the words of other than two bytes.
bool HexRecordReader::nextWholeWord(RomWord& word) {
    std::uint64_t data = 0;
    for (unsigned byte = 0; byte < bytesPerWord_; ++byte) {
        const int value = readHexByte();
        if (value < 0) {
            endInsideRecord();
            return nextWordByBytes(word);
        }
        data |= static_cast<std::uint64_t>(value) << (8 * byte);
    }
    return deliverWhole(word, data, bytesPerWord_);
}

// Sets how many words lie whole ahead in the record, and tells whether any do.
bool HexRecordReader::lieWhole() {
    wholeWords_ = queued_ == 0 && !gathering_ && offsetOf(nextByte_) == 0 ? wordOf(dataLeft_) : 0;
    return wholeWords_ != 0;
}

// Bytes, low byte first, whose characters are not all hex digits: each non-digit reads as 0 and is
// said once a file, and the end of the input cuts them (-1).
int HexRecordReader::readUnusualBytes(Characters characters, int bytes) {
    const int count = bytes * 2;
    // The lines of the characters, from the last back: a line end belongs to the line it ends, and
    // line() has counted every one read.
    std::uint64_t lines[4];
    std::uint64_t line = input_.line();
    for (int i = count - 1; i >= 0; --i) {
        line -= characters[i] == '\n' ? 1 : 0;
        lines[i] = line;
    }
    unsigned value = 0;
    for (int i = 0; i < count; ++i) {
        if (characters[i] == TextInput::kEnd) {
            return -1;
        }
        if (digitValue(characters[i]) == kNotADigit && warnings_.firstOf(Doubt::notAHexDigit)) {
            warnings_.warn(Doubt::notAHexDigit, lines[i],
                           describeCharacter(characters[i]) + " stands where a hex digit should be; it is read as 0");
        }
    }
    for (int byte = 0; byte < bytes; ++byte) {
        const unsigned byteValue = hexDigitValue(characters[2 * byte]) << 4 | hexDigitValue(characters[2 * byte + 1]);
        sum_ += byteValue;
        value |= byteValue << (8 * byte);
    }
    return static_cast<int>(value);
}

// Reads up to the ':' that starts the next record; false, with the reader stopped, when none comes.
// After an end record, a line that cannot start a record is a trailer, such as some compilers write
// there, and is skipped in silence; before one, such a character stops the reading.
bool HexRecordReader::findRecordStart() {
    for (;;) {
        int character = input_.get();
        while (character == '\n' || character == ' ' || character == '\t') {
            character = input_.get();
        }
        if (character == ':') {
            return true;
        }
        if (character == TextInput::kEnd || !endRecordRead_) {
            if (character != TextInput::kEnd) {
                warnings_.warn(Doubt::readingStopped, input_.line(),
                               "reading stopped at " + describeCharacter(character) +
                                   ", which cannot start a record; the rest of the file is not read");
            }
            stop();
            return false;
        }
        while (character != '\n' && character != TextInput::kEnd) {
            character = input_.get();
        }
    }
}

void HexRecordReader::startRecord() {
    if (!findRecordStart()) {
        return;
    }
    recordLine_ = input_.line();
    sum_ = 0;
    const int count = readHexByte();
    const int addressHigh = readHexByte();
    const int addressLow = readHexByte();
    const int type = readHexByte();
    if (type < 0) {  // the end cut one of them, and so all that follow
        endInsideRecord();
    } else if (static_cast<unsigned>(type) == kDataRecord && !outsideRom_) {
        dataLeft_ = static_cast<unsigned>(count);
        nextByte_ = static_cast<std::uint32_t>(addressHigh << 8 | addressLow);
        if (dataLeft_ == 0) {
            readChecksum();
        }
    } else {
        readRecordWithoutWords(static_cast<unsigned>(type), count);
    }
}

// A record that gives no words is read through all the same. An extended address record with a base
// above zero moves the data records after it beyond the ROM's 64 KiB; one with a zero base brings them
// back.
void HexRecordReader::readRecordWithoutWords(unsigned type, int count) {
    int base = 0;
    for (int i = 0; i < count; ++i) {
        const int byte = readHexByte();
        if (byte < 0) {
            endInsideRecord();
            return;
        }
        base |= byte;
    }
    if (type == kExtendedSegmentAddress || type == kExtendedLinearAddress) {
        if (base != 0) {
            deliverGathered();
        }
        outsideRom_ = base != 0;
    }
    readChecksum();
    endRecordRead_ = endRecordRead_ || (type == kEndOfFile && !stopped_);
}

void HexRecordReader::readDataByte() {
    const int byte = readHexByte();
    if (byte < 0) {
        endInsideRecord();
        return;
    }
    const std::uint32_t address = nextByte_++;
    --dataLeft_;
    const std::uint32_t wordAddress = wordOf(address);
    const unsigned offset = offsetOf(address);
    // A byte further up in the word gathered joins it; any other byte sends that word out first.
    if (gathering_ && (wordAddress != gathered_.address || offset <= gatheredTop_)) {
        deliverGathered();
    }
    if (!gathering_) {
        gathering_ = true;
        gathered_ = {wordAddress, 0};
    }
    gathered_.data |= static_cast<std::uint64_t>(byte) << (8 * offset);
    gatheredTop_ = offset;
    gatheredLine_ = recordLine_;
    if (offset + 1 == bytesPerWord_) {
        deliverGathered();
    }
    if (dataLeft_ == 0) {
        readChecksum();
    }
}

void HexRecordReader::readChecksum() {
    const unsigned expected = (0x100u - (sum_ & 0xFFu)) & 0xFFu;
    const int checksum = readHexByte();
    if (checksum < 0) {
        endInsideRecord();
    } else if (static_cast<unsigned>(checksum) != expected && warnings_.firstOf(Doubt::wrongChecksum)) {
        warnings_.warn(Doubt::wrongChecksum, recordLine_,
                       "wrong checksum " + hex2(static_cast<unsigned>(checksum)) + "; the record's bytes give " +
                           hex2(expected));
    }
}

// The end of the input cut the record short. The byte it cut is lost, and with it the word gathered
// when the cut byte was to go on with it: no word is made up from digits the file never held.
void HexRecordReader::endInsideRecord() {
    warnings_.warn(Doubt::cutOff, recordLine_, "the file ends inside a record");
    if (dataLeft_ > 0 && gathering_ && wordOf(nextByte_) == gathered_.address && offsetOf(nextByte_) > gatheredTop_) {
        gathering_ = false;
    }
    stop();
}

void HexRecordReader::stop() {
    deliverGathered();
    dataLeft_ = 0;
    wholeWords_ = 0;
    stopped_ = true;
}

void HexRecordReader::deliverGathered() {
    // A byte queues at most two words: the word gathered, when it does not go on with it, and its own.
    if (gathering_) {
        gathering_ = false;
        queue_[queued_++] = {gathered_, gatheredLine_};
    }
}

}  // namespace romtools
