// HexRecordReader: the words of an Intel HEX file, one at a time, and the digit table it reads with.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "input_warnings.h"
#include "rom_word.h"
#include "text_input.h"

namespace romtools {

// Digit values by character: 0 to 9, a to f and A to F; every other byte, and the end of the input at
// index 0x1FF (kEnd masked to nine bits), holds kNotADigit, which no pair of digits can reach.
inline constexpr std::uint16_t kNotADigit = 0x100;
inline constexpr auto kDigitValues = [] {
    std::array<std::uint16_t, 512> table{};
    table.fill(kNotADigit);
    for (unsigned digit = 0; digit <= 9; ++digit) {
        table['0' + digit] = static_cast<std::uint16_t>(digit);
    }
    for (unsigned letter = 0; letter < 6; ++letter) {
        table['A' + letter] = table['a' + letter] = static_cast<std::uint16_t>(10 + letter);
    }
    return table;
}();

// The value of one hex digit, either case; any other character, and the end of the input, gives 0.
inline unsigned hexDigitValue(int character) {
    return kDigitValues[static_cast<unsigned>(character) & 0x1FFu] & 0xFu;
}

// How the image's bytes make ROM words.
struct WordLayout {
    unsigned bytesPerWord = 2;  // 1 to 8
    std::uint32_t romBase = 0;  // the byte address of word 0's first byte
    bool bigEndian = false;     // a word's first byte is its most significant, not its least
    bool belowBaseQuiet = false;  // bytes below the base are only counted, not warned of (--crop)
};

// Turns the records of an Intel HEX file into ROM words, one word per call. The image is bytes at byte
// addresses: a data record puts its bytes at the base that the last extended segment or linear address
// record set, plus its address, and on, without wrapping at 64 KiB or at 4 GiB. Word k of B bytes a word
// is bytes romBase + Bk (the lowest) to romBase + Bk + B-1, read low byte first or, for a big-endian
// core, high byte first; bytes below romBase give no word, and are counted and said once a file. A record that ends inside a word leaves it gathered, for the next data record to go on
// with further up in the word, usually at the next byte; bytes it skips are 0. When anything else comes
// first, the word goes out with its missing bytes 0. A record that starts inside a word with none
// gathered gives 0 for the bytes before its start.
//
// The reader is lenient: a character that is not a hex digit reads as 0, a wrong checksum is only
// noted, and it stops, without a word more, at the first character that cannot start a record; after
// an end record, such a character's line is skipped. Every doubt goes to the warnings with its line.
// It holds one record's place and at most one gathered word, never the image.
class HexRecordReader {
public:
    HexRecordReader(TextInput& input, InputWarnings& warnings, const WordLayout& layout = {})
        : input_(input),
          warnings_(warnings),
          bytesPerWord_(layout.bytesPerWord),
          romBase_(layout.romBase),
          bigEndian_(layout.bigEndian),
          belowBaseQuiet_(layout.belowBaseQuiet) {}

    // Whether the file is an Intel HEX file at all, asked before any word: empty when its first character
    // past blanks, tabs and line ends starts a record, which is left to be read; otherwise the line that
    // says what the file starts with, or that it holds no record.
    std::string whyNotIntelHex();

    // Delivers the next word and returns true, or returns false once the reader has stopped.
    bool nextWord(RomWord& word) {
        if (wholeWords_ == 0) {
            return nextWordByBytes(word);
        }
        if (bytesPerWord_ != 2) {
            return nextWholeWord(word);
        }
        // Most words lie whole inside a record, and most are of two bytes: they take this way, inlined
        // into the caller's loop, with the four digits looked up before one check for them all.
        const Characters digits = {input_.get(), input_.get(), input_.get(), input_.get()};
        const unsigned low = digitValue(digits[0]) << 4 | digitValue(digits[1]);
        const unsigned high = digitValue(digits[2]) << 4 | digitValue(digits[3]);
        int data = static_cast<int>(low | high << 8);
        if ((low | high) > 0xFFu) {
            data = readUnusualBytes(digits, 2);
            if (data < 0) {
                endInsideWholeWord();
                return nextWordByBytes(word);
            }
        } else {
            sum_ += low + high;
        }
        return deliverWhole(word, static_cast<std::uint64_t>(data));
    }
    // The line of the record that gave the last word delivered: for a word from several records the
    // last that gave it a byte.
    std::uint64_t wordLine() const { return wordLine_; }
    // True once an end record (type 01) has been read through its checksum.
    bool endRecordRead() const { return endRecordRead_; }
    // Whether a data record has given a byte, one not in a word that the end of the input cut, and the
    // lowest byte address of any such byte, below the base or not.
    bool anyDataByte() const { return lowestByte_ != kNoByte; }
    std::uint64_t lowestDataByte() const { return lowestByte_; }
    // The bytes below the base, as the file gives them, and the address of the first.
    std::uint64_t bytesBelowBase() const { return bytesBelowBase_; }
    std::uint64_t firstBelowBase() const { return firstBelowBase_; }

private:
    struct Delivery {
        RomWord word;
        std::uint64_t line;
    };

    using Characters = std::array<int, 4>;  // passed by value: it stays in registers

    static unsigned digitValue(int character) { return kDigitValues[static_cast<unsigned>(character) & 0x1FFu]; }

    static constexpr std::uint64_t kNoByte = UINT64_MAX;

    // The word of a byte's place above the base, and the byte's place in it; words of two bytes, the
    // default, take a shift where others take a division.
    std::uint64_t wordOf(std::uint64_t position) const {
        return bytesPerWord_ == 2 ? position >> 1 : position / bytesPerWord_;
    }
    unsigned offsetOf(std::uint64_t position) const {
        return static_cast<unsigned>(position - wordOf(position) * bytesPerWord_);
    }

    // Two digits, high half first: the byte, added to the record's sum; -1 when the end cuts it.
    int readHexByte() {
        const Characters digits = {input_.get(), input_.get(), 0, 0};
        const unsigned value = digitValue(digits[0]) << 4 | digitValue(digits[1]);
        if (value > 0xFFu) {
            return readUnusualBytes(digits, 1);
        }
        sum_ += value;
        return static_cast<int>(value);
    }

    bool nextWordByBytes(RomWord& word);
    bool nextWholeWord(RomWord& word);

    // Delivers data as the next of the words that lie whole ahead. The record's place, nextByte_ and
    // dataLeft_, moves past them only once they are all read, or one is cut.
    bool deliverWhole(RomWord& word, std::uint64_t data) {
        word.address = nextWholeWord_++;
        word.data = inOrder(data);
        wordLine_ = recordLine_;
        if (--wholeWords_ == 0) {
            leaveWholeWords();
        }
        return true;
    }
    // A word's bytes, gathered low byte first, in the core's order.
    std::uint64_t inOrder(std::uint64_t data) const {
        if (!bigEndian_) {
            return data;
        }
        std::uint64_t reversed = 0;
        for (unsigned byte = 0; byte < bytesPerWord_; ++byte, data >>= 8) {
            reversed = reversed << 8 | (data & 0xFFu);
        }
        return reversed;
    }
    void movePastWholeWords();
    void leaveWholeWords();
    void endInsideWholeWord();
    int readUnusualBytes(Characters characters, int bytes);
    int getPastBlankSpace();
    bool findRecordStart();
    void startRecord();
    void readRecordWithoutWords(unsigned type, int count);
    void readDataByte();
    void gatherByte(std::uint64_t position, unsigned byte);
    void leaveOutBelowBase(std::uint64_t address);
    void readChecksum();
    void endInsideRecord();
    bool lieWhole();
    void stop();
    void deliverGathered();

    TextInput& input_;
    InputWarnings& warnings_;
    const unsigned bytesPerWord_;
    const std::uint64_t romBase_;
    const bool bigEndian_;
    const bool belowBaseQuiet_;
    std::uint64_t recordBase_ = 0;  // set by the last extended segment or linear address record
    std::uint64_t lowestByte_ = kNoByte;
    std::uint64_t bytesBelowBase_ = 0;
    std::uint64_t firstBelowBase_ = 0;
    // The current record.
    std::uint64_t recordLine_ = 0;  // where its ':' stands
    unsigned sum_ = 0;              // of its bytes read so far
    unsigned dataLeft_ = 0;         // bytes of a data record in the ROM still to read
    std::uint64_t nextByte_ = 0;    // the byte address of the next of them
    // Words of it that lie whole ahead, with nothing queued or gathered: the ones nextWord reads at once,
    // from the word at firstWholeWord_; nextWholeWord_ is the next to deliver.
    unsigned wholeWords_ = 0;
    std::uint64_t firstWholeWord_ = 0;
    std::uint64_t nextWholeWord_ = 0;
    std::uint64_t lowestBeforeWhole_ = kNoByte;  // lowestByte_ before the first of them counted
    // A word whose bytes have come in part, the lowest offset first; more may follow in the next record.
    bool gathering_ = false;
    RomWord gathered_{};
    unsigned gatheredTop_ = 0;  // the offset in the word of the last byte it was given
    std::uint64_t lowestBeforeGathered_ = kNoByte;  // lowestByte_ before its first byte counted
    std::uint64_t gatheredLine_ = 0;
    // Words found but not yet delivered: a byte can send out the word gathered and complete its own.
    std::array<Delivery, 3> queue_{};
    unsigned queued_ = 0;
    unsigned delivered_ = 0;
    std::uint64_t wordLine_ = 0;
    bool endRecordRead_ = false;
    bool stopped_ = false;
};

}  // namespace romtools
