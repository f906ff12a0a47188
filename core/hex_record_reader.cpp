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

// What the characters after a file's first one say of its format, when they name one.
std::string formatOf(int first, TextInput& input) {
    const int second = input.get();
    if (first == 'S' && second >= '0' && second <= '9') {
        return ", as a Motorola S-record file does";
    }
    if (first == 0x7F && second == 'E' && input.get() == 'L' && input.get() == 'F') {
        return ", as an ELF file does";
    }
    if ((first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF)) {
        return ", as a UTF-16 text file does";
    }
    return "";
}

}  // namespace

std::string HexRecordReader::whyNotIntelHex() {
    const int character = getPastBlankSpace();
    if (character == ':') {
        input_.putBack();
        return "";
    }
    const std::string& source = warnings_.source();
    if (character == TextInput::kEnd) {
        return source + ": not an Intel HEX file: it holds no record\n";
    }
    const std::string line = std::to_string(input_.line());
    return source + ":" + line + ": not an Intel HEX file: it starts with " + describeCharacter(character) +
           formatOf(character, input_) + "\n";
}

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
            endInsideWholeWord();
            return nextWordByBytes(word);
        }
        data |= static_cast<std::uint64_t>(value) << (8 * byte);
    }
    return deliverWhole(word, data);
}

// Sets how many words lie whole ahead in the record, and tells whether any do. The first of their bytes
// counts towards the lowest given as they start; should the end of the input cut that first word,
// endInsideWholeWord takes it back.
bool HexRecordReader::lieWhole() {
    const std::uint64_t position = nextByte_ - romBase_;
    wholeWords_ = queued_ == 0 && !gathering_ && nextByte_ >= romBase_ && offsetOf(position) == 0
                      ? static_cast<unsigned>(wordOf(dataLeft_))
                      : 0;
    if (wholeWords_ == 0) {
        return false;
    }
    firstWholeWord_ = nextWholeWord_ = wordOf(position);
    lowestBeforeWhole_ = lowestByte_;
    lowestByte_ = nextByte_ < lowestByte_ ? nextByte_ : lowestByte_;
    return true;
}

void HexRecordReader::movePastWholeWords() {
    const std::uint64_t bytes = (nextWholeWord_ - firstWholeWord_) * bytesPerWord_;
    nextByte_ += bytes;
    dataLeft_ -= static_cast<unsigned>(bytes);
    firstWholeWord_ = nextWholeWord_;
}

void HexRecordReader::leaveWholeWords() {
    movePastWholeWords();
    if (dataLeft_ == 0) {
        readChecksum();
    }
}

// The end of the input cut a whole word: the record's place moves to it, and when it was the first,
// none of these bytes was given.
void HexRecordReader::endInsideWholeWord() {
    if (nextWholeWord_ == firstWholeWord_) {
        lowestByte_ = lowestBeforeWhole_;
    }
    movePastWholeWords();
    endInsideRecord();
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
// The first character that is not a line end, a blank or a tab, which the reader skips around records.
int HexRecordReader::getPastBlankSpace() {
    int character = input_.get();
    while (character == '\n' || character == ' ' || character == '\t') {
        character = input_.get();
    }
    return character;
}

bool HexRecordReader::findRecordStart() {
    for (;;) {
        int character = getPastBlankSpace();
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
    } else if (static_cast<unsigned>(type) == kDataRecord) {
        dataLeft_ = static_cast<unsigned>(count);
        nextByte_ = recordBase_ + static_cast<unsigned>(addressHigh << 8 | addressLow);
        if (dataLeft_ == 0) {
            readChecksum();
        }
    } else {
        readRecordWithoutWords(static_cast<unsigned>(type), count);
    }
}

// A record that gives no words is read through all the same. Its value is its bytes as one number, high
// byte first, of which an extended segment address record (type 02) takes the low 16 bits times 16 as
// the base of the data records after it, and an extended linear address record (type 04) times 65536.
void HexRecordReader::readRecordWithoutWords(unsigned type, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) {
        const int byte = readHexByte();
        if (byte < 0) {
            endInsideRecord();
            return;
        }
        value = (value << 8 | static_cast<unsigned>(byte)) & 0xFFFFu;
    }
    if (type == kExtendedSegmentAddress) {
        recordBase_ = value << 4;
    } else if (type == kExtendedLinearAddress) {
        recordBase_ = value << 16;
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
    const std::uint64_t address = nextByte_++;
    --dataLeft_;
    if (address >= romBase_) {
        gatherByte(address - romBase_, static_cast<unsigned>(byte));
    } else {
        leaveOutBelowBase(address);
    }
    lowestByte_ = address < lowestByte_ ? address : lowestByte_;
    if (dataLeft_ == 0) {
        readChecksum();
    }
}

// A byte further up in the word gathered joins it; any other byte sends that word out first.
void HexRecordReader::gatherByte(std::uint64_t position, unsigned byte) {
    const std::uint64_t wordAddress = wordOf(position);
    const unsigned offset = offsetOf(position);
    if (gathering_ && (wordAddress != gathered_.address || offset <= gatheredTop_)) {
        deliverGathered();
    }
    if (!gathering_) {
        gathering_ = true;
        gathered_ = {wordAddress, 0};
        lowestBeforeGathered_ = lowestByte_;
    }
    gathered_.data |= static_cast<std::uint64_t>(byte) << (8 * offset);
    gatheredTop_ = offset;
    gatheredLine_ = recordLine_;
    if (offset + 1 == bytesPerWord_) {
        deliverGathered();
    }
}

// A byte below the base gives no word, and goes on with none: the word gathered goes out.
void HexRecordReader::leaveOutBelowBase(std::uint64_t address) {
    deliverGathered();
    firstBelowBase_ = bytesBelowBase_++ == 0 ? address : firstBelowBase_;
    if (!belowBaseQuiet_ && warnings_.firstOf(Doubt::belowBase)) {
        char text[96];
        std::snprintf(text, sizeof text, "data at %08llX lies below the base address %08llX; it is left out",
                      static_cast<unsigned long long>(address), static_cast<unsigned long long>(romBase_));
        warnings_.warn(Doubt::belowBase, recordLine_, text);
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
// when the cut byte was to go on with it: no word is made up from digits the file never held, and its
// bytes count for no data.
void HexRecordReader::endInsideRecord() {
    warnings_.warn(Doubt::cutOff, recordLine_, "the file ends inside a record");
    const std::uint64_t position = nextByte_ - romBase_;
    if (dataLeft_ > 0 && gathering_ && nextByte_ >= romBase_ && wordOf(position) == gathered_.address &&
        offsetOf(position) > gatheredTop_) {
        gathering_ = false;
        lowestByte_ = lowestBeforeGathered_;
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
        queue_[queued_++] = {{gathered_.address, inOrder(gathered_.data)}, gatheredLine_};
    }
}

}  // namespace romtools
