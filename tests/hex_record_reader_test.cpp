#include "hex_record_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "temp_file.h"

namespace romtools {
namespace {

using testing::fileWith;
using Words = std::vector<std::pair<std::uint64_t, std::uint64_t>>;  // word address, data

struct Read {
    Words words;
    std::string warnings;  // as standard error shows them, for the file t.hex
};

Read read(std::string_view fileBytes, const WordLayout& layout = {}) {
    const FilePtr file = fileWith(fileBytes);
    const FilePtr sink(std::tmpfile());
    TextInput input(file.get());
    InputWarnings warnings("t.hex", sink.get());
    HexRecordReader reader(input, warnings, layout);
    Read result;
    RomWord word;
    while (reader.nextWord(word)) {
        result.words.emplace_back(word.address, word.data);
    }
    EXPECT_FALSE(reader.nextWord(word)) << "a stopped reader stays stopped";
    result.warnings = testing::contentsOf(sink.get());
    return result;
}

const Words kWorkedExampleWords = {{0, 0x2800}, {1, 0x303F}, {2, 0x008A}, {3, 0x0008},
                                   {4, 0x3FFF}, {5, 0x1234}, {16, 0xFFFF}};
const char* const kAnyWarnings = nullptr;

struct ReaderCase {
    const char* scenario;
    std::string file;
    Words expected;
    const char* warnings = "";  // checked exactly, unless kAnyWarnings
    WordLayout layout = {};
};

TEST(HexRecordReader, DeliversTheWordsOfEveryRecordInFileOrder) {
    const ReaderCase cases[] = {
        {"CR LF line ends",
         ":0800000000283F308A000800CF\r\n:04000800FF3F341270\r\n:02002000FFFFE0\r\n:00000001FF\r\n",
         kWorkedExampleWords},
        {"LF line ends", ":0800000000283F308A000800CF\n:04000800FF3F341270\n:02002000FFFFE0\n:00000001FF\n",
         kWorkedExampleWords},
        {"lone CR line ends", ":0800000000283F308A000800CF\r:04000800FF3F341270\r:02002000FFFFE0\r:00000001FF\r",
         kWorkedExampleWords},
        {"records without line ends between them", ":0400000000283F3065:020004008A0070", {{0, 0x2800}, {1, 0x303F}, {2, 0x008A}}},
        {"last line without a line end", ":020000003412B8", {{0, 0x1234}}},
        {"end record only", ":00000001FF\r\n", {}},
        {"empty file", "", {}},
        {"line ends only", "\r\n\n\r\n\n\r", {}},
        {"blank lines between records", "\r\n:020000003412B8\r\n\r\n\n:0200020078562E\r\n", {{0, 0x1234}, {1, 0x5678}}},
        {"blanks and tabs around records", " \t:020000003412B8 \t\r\n\t:0200020078562E  \r\n", {{0, 0x1234}, {1, 0x5678}}},
        {"byte-order mark", "\xEF\xBB\xBF:020000003412B8\r\n", {{0, 0x1234}}},
        {"an extended address of zero delivers nothing", ":020000040000FA\n:020000003412B8\n", {{0, 0x1234}}},
        {"other record types deliver nothing", ":0400000312345678FF\n:0400000512345678FF\n", {}, kAnyWarnings},
        {"reading goes on after the end record", ":00000001FF\n:020000003412B8\n", {{0, 0x1234}}},
        // Extended linear and segment addresses: data at its full byte address, past 64 KiB and 4 GiB.
        {"a linear base moves the data records after it",
         ":020000040001F9\n:02000E00FF3FB2\n:020000040000FA\n:020000003412B8\n", {{0x8007, 0x3FFF}, {0, 0x1234}}},
        {"a segment base within 64 KiB", ":020000020100FB\n:02001000AABB89\n", {{0x808, 0xBBAA}}},
        {"a segment base takes the low 16 bits of its value", ":03000002FF1000EC\n:02000000AABB99\n",
         {{0x8000, 0xBBAA}}},
        {"a word across 64 KiB, a linear address record between its bytes",
         ":01FFFF00AA57\n:020000040001F9\n:02000000BBCC77\n", {{0x5555, 0xCCBBAA}}, "", {3}},
        {"a record runs on past 4 GiB", ":02000004FFFFFC\n:04FFFE001122334455\n",
         {{0x7FFFFFFF, 0x2211}, {0x80000000, 0x4433}}},
        {"lower-case digits", ":04000800ff3f341270\n", {{4, 0x3FFF}, {5, 0x1234}}},
        {"bytes above 0x7F count as 0", ":02000000\xC1\xE1" "12xx\n", {{0, 0x1200}}, kAnyWarnings},
        {"the same address twice gives both words", ":020000001111DC\n:020000002222BA\n", {{0, 0x1111}, {0, 0x2222}}},
        // Bytes at byte addresses: odd counts and odd starts, and words that a record boundary splits.
        {"odd byte count", ":03000000112233CC\n:020010003412A8\n", {{0, 0x2211}, {1, 0x0033}, {8, 0x1234}}, kAnyWarnings},
        {"one data byte", ":0100000011EE\n:020010003412A8\n", {{0, 0x0011}, {8, 0x1234}}},
        {"an odd count in another record type", ":0300000511223392\n:020000003412B8\n", {{0, 0x1234}}},
        {"an odd start begins with a high byte", ":02001100AABB88\n", {{8, 0xAA00}, {9, 0x00BB}}},
        {"a word split across two records", ":0300000011223397\n:0100030044B8\n", {{0, 0x2211}, {1, 0x4433}}},
        {"a waiting byte before a gap", ":0100000011EE\n:0100050022D8\n", {{0, 0x0011}, {2, 0x2200}}},
        {"a waiting byte across a zero base", ":0300000011223397\n:020000040000FA\n:0100030044B8\n",
         {{0, 0x2211}, {1, 0x4433}}},
        {"a waiting byte before the data moves out", ":0300000011223397\n:020000040001F9\n:0100030044B8\n",
         {{0, 0x2211}, {1, 0x0033}, {0x8001, 0x4400}}},
        {"a waiting byte at the end", ":0300000011223397\n", {{0, 0x2211}, {1, 0x0033}}},
        {"a waiting byte when the end cuts the next header", ":0300000011223397\n:0100", {{0, 0x2211}, {1, 0x0033}},
         kAnyWarnings},
        {"a waiting byte whose partner the end cuts", ":0300000011223397\n:01000300", {{0, 0x2211}},
         "t.hex:2: warning: the file ends inside a record\n"},
        {"the end cuts only the checksum", ":03000000112233", {{0, 0x2211}, {1, 0x0033}}, kAnyWarnings},
        // The end of the input inside a record, and a Ctrl-Z as that end.
        {"a word cut off by the end of the input", ":04000000AB12CD", {{0, 0x12AB}}, kAnyWarnings},
        {"a record cut off before its data", ":0400", {}, kAnyWarnings},
        {"Ctrl-Z after the last record", ":020000003412B8\r\n\x1A", {{0, 0x1234}}},
        {"Ctrl-Z hides the records after it", ":020000003412B8\r\n\x1A:0200020078562E\r\n", {{0, 0x1234}}},
        {"Ctrl-Z inside a record ends its digits", ":0400000034\x1A" "12785600\r\n", {}, kAnyWarnings},
        {"a lone CR as the last digit counts as 0", ":02000000341\r", {{0, 0x1034}}, kAnyWarnings},
        {"CR before Ctrl-Z is a line end", ":020000003412B8\r\x1A\n:0200020078562E\r\n", {{0, 0x1234}}},
        // Each doubt, said once a file with its line.
        {"text after the last record", ":020000003412B8\r\n\r\nend of image\r\n:0200020078562E\r\n", {{0, 0x1234}},
         "t.hex:3: warning: reading stopped at 'e', which cannot start a record; the rest of the file is not read\n"},
        {"a byte that cannot start a record", ":020000003412B8\n\x80", {{0, 0x1234}},
         "t.hex:2: warning: reading stopped at byte 0x80, which cannot start a record; the rest of the file is not "
         "read\n"},
        {"non-hex characters count as 0", "\n:02000000G1z2FB\n:0200020078G62E\n", {{0, 0x0201}, {1, 0x0678}},
         "t.hex:2: warning: 'G' stands where a hex digit should be; it is read as 0\n"
         "t.hex:3: warning: wrong checksum 2E; the record's bytes give 7E\n"},
        {"a line end in a record", ":020000003412\r\nB8\r\n", {{0, 0x1234}},
         "t.hex:1: warning: a line end stands where a hex digit should be; it is read as 0\n"
         "t.hex:1: warning: wrong checksum 0B; the record's bytes give B8\n"
         "t.hex:2: warning: reading stopped at '8', which cannot start a record; the rest of the file is not read\n"},
        {"wrong checksums, in any record", ":020000040001F8\n:02000000FFFF00\n", {{0x8000, 0xFFFF}},
         "t.hex:1: warning: wrong checksum F8; the record's bytes give F9\n"},
        {"the file ends inside a record", ":020000003412B8\n:0200020078", {{0, 0x1234}},
         "t.hex:2: warning: the file ends inside a record\n"},
        // Words of other sizes: gathered across records, bytes skipped read as 0.
        {"a 4-byte word over two records, a byte skipped", ":020000001122CB\n:0100030044B8\n", {{0, 0x44002211}}, "", {4}},
        {"a record that starts inside a 4-byte word", ":02000600AABB93\n", {{1, 0xBBAA0000}}, "", {4}},
        {"8-byte words", ":0800000000283F308A000800CF\n", {{0, 0x0008008A303F2800}}, "", {8}},
        {"1-byte words from records out of order", ":0100050022D8\n:0300000011223397\n",
         {{5, 0x22}, {0, 0x11}, {1, 0x22}, {2, 0x33}}, "", {1}},
        // A base: word 0 starts at its byte; bytes below it give no word and send the word gathered out.
        {"an image linked at 08000000, a record below the base",
         ":020000040800F2\n:03000000AABBCCCC\n:020000040000FA\n:0100030011EB\n:020000040800F2\n:0100030044B8\n",
         {{0, 0xBBAA}, {1, 0x00CC}, {1, 0x4400}}, "t.hex:4: warning: data at 00000003 lies below the base address "
                                                 "08000000; it is left out\n", {2, 0x08000000}},
        {"an odd base", ":0300000011223397\n", {{0, 0x3322}}, "t.hex:1: warning: data at 00000000 lies below the "
                                                               "base address 00000001; it is left out\n", {2, 1}},
        // A big-endian core's words: the first byte the most significant, in whole words and in parts.
        {"big-endian words of two bytes", ":0400000034127856E8\n:0100050022D8\n", {{0, 0x3412}, {1, 0x7856}, {2, 0x0022}},
         "", {2, 0, true}},
        {"big-endian words of four bytes", ":040000001122334452\n:0200060055663D\n:0300000011223397\n",
         {{0, 0x11223344}, {1, 0x00005566}, {0, 0x11223300}}, "", {4, 0, true}},
    };
    for (const ReaderCase& c : cases) {
        const Read result = read(c.file, c.layout);
        EXPECT_EQ(result.words, c.expected) << c.scenario;
        if (c.warnings != kAnyWarnings) {
            EXPECT_EQ(result.warnings, c.warnings) << c.scenario;
        }
    }
}

TEST(HexRecordReader, LongestRecordAtTheTopAddressKeepsCountingWordAddresses) {
    std::string record = ":FFFFFF00";
    for (int i = 0; i < 127; ++i) {
        record += "0100";
    }
    record += "FF00\r\n";
    const Words words = read(record).words;
    ASSERT_EQ(words.size(), 128u);
    EXPECT_EQ(words.front(), std::make_pair(std::uint64_t{0x7FFF}, std::uint64_t{0x0100}));
    EXPECT_EQ(words[1], std::make_pair(std::uint64_t{0x8000}, std::uint64_t{0x0100}));
    EXPECT_EQ(words.back(), std::make_pair(std::uint64_t{0x807E}, std::uint64_t{0xFF00}));
    // Words of one byte pass FFFF.
    EXPECT_EQ(read(record, {1}).words.back(), std::make_pair(std::uint64_t{0x100FD}, std::uint64_t{0xFF}));
}

// The edges of the digit ranges and the characters no reader row reads; the rows above cover the other
// digits of both cases, 'G' and 'z', a line end, bytes above 0x7F and the end of the input.
TEST(HexDigitValue, ReadsBothCasesAndCountsEverythingElseAsZero) {
    const std::pair<int, unsigned> cases[] = {
        {'/', 0}, {':', 0}, {'@', 0}, {'`', 0}, {'a', 10}, {'g', 0}, {0xFF, 0},
    };
    for (const auto& [character, value] : cases) {
        EXPECT_EQ(hexDigitValue(character), value) << "character " << character;
    }
}

}  // namespace
}  // namespace romtools
