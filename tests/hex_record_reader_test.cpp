#include "hex_record_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "temp_file.h"

namespace romtools {
namespace {

using testing::fileWith;
using Words = std::vector<std::pair<unsigned, unsigned>>;  // word address, data

Words wordsOf(std::string_view fileBytes) {
    const FilePtr file = fileWith(fileBytes);
    TextInput input(file.get());
    HexRecordReader reader(input);
    Words words;
    RomWord word;
    while (reader.nextWord(word)) {
        words.emplace_back(word.address, word.data);
    }
    EXPECT_FALSE(reader.nextWord(word)) << "a stopped reader stays stopped";
    return words;
}

const Words kWorkedExampleWords = {{0, 0x2800}, {1, 0x303F}, {2, 0x008A}, {3, 0x0008},
                                   {4, 0x3FFF}, {5, 0x1234}, {16, 0xFFFF}};

struct ReaderCase {
    const char* scenario;
    std::string file;
    Words expected;
};

TEST(HexRecordReader, DeliversTheWordsOfEveryRecordInFileOrder) {
    const ReaderCase cases[] = {
        {"CR LF line ends",
         ":0800000000283F308A000800CF\r\n:04000800FF3F341270\r\n:02002000FFFFE0\r\n:00000001FF\r\n",
         kWorkedExampleWords},
        {"LF line ends", ":0800000000283F308A000800CF\n:04000800FF3F341270\n:02002000FFFFE0\n:00000001FF\n",
         kWorkedExampleWords},
        {"records without line ends between them", ":0400000000283F30C1:020004008A003E", {{0, 0x2800}, {1, 0x303F}, {2, 0x008A}}},
        {"last line without a line end", ":02000000341200", {{0, 0x1234}}},
        {"end record only", ":00000001FF\r\n", {}},
        {"empty file", "", {}},
        {"line ends only", "\r\n\n\r\n\n", {}},
        {"blank lines between records", "\r\n:02000000341200\r\n\r\n\n:02000200785600\r\n", {{0, 0x1234}, {1, 0x5678}}},
        {"odd byte address is halved", ":02001100AABB00\n", {{0x0008, 0xBBAA}}},
        {"an extended address of zero delivers nothing", ":020000040000FA\n:02000000341200\n", {{0, 0x1234}}},
        {"other record types deliver nothing", ":0400000312345678FF\n:0400000512345678FF\n", {}},
        {"reading goes on after the end record", ":00000001FF\n:02000000341200\n", {{0, 0x1234}}},
        {"data beyond 64 KiB is left out until the base is zero again",
         ":020000040001F9\n:02000E00FF3F00\n:020000040000FA\n:02000000341200\n", {{0, 0x1234}}},
        {"a segment base moves data out too",
         ":020000021000EC\n:02000000AAAA00\n:020000020000FC\n:02000200785600\n", {{1, 0x5678}}},
        {"an odd count in another record type", ":0300000511223344\n:02000000341200\n", {}},
        {"lower-case digits", ":04000800ff3f3412zz\n", {{4, 0x3FFF}, {5, 0x1234}}},
        {"non-hex characters count as 0", ":02000000G1z2xx\n", {{0, 0x0201}}},
        {"bytes above 0x7F count as 0", ":02000000\xC1\xE1" "12xx\n", {{0, 0x1200}}},
        {"wrong checksums go unnoticed", ":02000000FFFF00\n:02000200AAAA00\n", {{0, 0xFFFF}, {1, 0xAAAA}}},
        {"the same address twice gives both words", ":02000000111100\n:02000000222200\n", {{0, 0x1111}, {0, 0x2222}}},
        // An odd count: the last data byte is taken as the checksum, whose digits then stop the reader.
        {"odd byte count", ":03000000112233CC\n:02001000123400\n", {{0, 0x2211}}},
        {"one data byte", ":010000003300\n:02001000123400\n", {}},
        {"a word cut off by the end of the input", ":04000000AB12CD", {{0, 0x12AB}}},
        {"a record cut off before its data", ":0400", {}},
        {"the end right after the last word", ":0400000034127856", {{0, 0x1234}, {1, 0x5678}}},
        {"lone CR stops after the record", ":02000000341200\r:02000200785600\r\n", {{0, 0x1234}}},
        {"blank after the checksum", ":02000000341200 \r\n:02000200785600\r\n", {{0, 0x1234}}},
        {"tab before the first record", "\t:02000000341200\r\n", {}},
        {"byte-order mark", "\xEF\xBB\xBF:02000000341200\r\n", {}},
        {"text after the last record", ":02000000341200\r\nend of image\r\n:02000200785600\r\n", {{0, 0x1234}}},
        {"Ctrl-Z after the last record", ":02000000341200\r\n\x1A", {{0, 0x1234}}},
        {"Ctrl-Z hides the records after it", ":02000000341200\r\n\x1A:02000200785600\r\n", {{0, 0x1234}}},
        {"Ctrl-Z inside a record ends its digits", ":0400000034\x1A" "12785600\r\n", {}},
        {"a lone CR as the last digit counts as 0", ":02000000341\r", {{0, 0x1034}}},
        {"CR before Ctrl-Z is a lone CR", ":02000000341200\r\x1A\n:02000200785600\r\n", {{0, 0x1234}}},
    };
    for (const ReaderCase& c : cases) {
        EXPECT_EQ(wordsOf(c.file), c.expected) << c.scenario;
    }
}

TEST(HexRecordReader, LongestRecordAtTheTopAddressKeepsCountingWordAddresses) {
    std::string record = ":FFFFFF00";
    for (int i = 0; i < 127; ++i) {
        record += "0100";
    }
    record += "FF00\r\n";
    const Words words = wordsOf(record);
    ASSERT_EQ(words.size(), 127u);
    EXPECT_EQ(words.front(), std::make_pair(0x7FFFu, 1u));
    EXPECT_EQ(words.back(), std::make_pair(0x7FFFu + 126u, 1u));
}

TEST(HexDigitValue, ReadsBothCasesAndCountsEverythingElseAsZero) {
    const std::pair<int, unsigned> cases[] = {
        {'0', 0},  {'1', 1},  {'9', 9},  {'A', 10}, {'a', 10}, {'F', 15}, {'f', 15}, {'G', 0},
        {'g', 0},  {'z', 0},  {':', 0},  {'/', 0},  {'@', 0},  {'`', 0},  {'\n', 0}, {0xC1, 0},
        {0xE1, 0}, {0xFF, 0}, {TextInput::kEnd, 0},
    };
    for (const auto& [character, value] : cases) {
        EXPECT_EQ(hexDigitValue(character), value) << "character " << character;
    }
}

}  // namespace
}  // namespace romtools
