#include "conversion_run.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

#include "temp_file.h"
#include "text_output.h"

namespace romtools {
namespace {

using testing::FilePtr;
using testing::fileWith;

struct AnswerCase {
    std::string answer;
    std::int32_t width;  // 0: no number, so the run takes the default
};

TEST(ReadAddressWidth, TakesASignedDecimalNumberHeldTo32Bits) {
    const AnswerCase cases[] = {
        {"4\n", 4},
        {"8", 8},
        {"\n\n   8\n", 8},
        {"\t\r\v\f 8\n", 8},
        {"+8\n", 8},
        {"8d\n", 8},
        {"8 9\n", 8},
        {"008\n", 8},
        {"-3\n", -3},
        {"0\n", 0},
        {"-0\n", 0},
        {"abc\n", 0},
        {"", 0},
        {"\n\n", 0},
        {"-\n", 0},
        {"- 5\n", 0},
        {"+-5\n", 0},
        {"x8\n", 0},
        {"2147483647\n", INT32_MAX},
        {"2147483648\n", INT32_MAX},
        {"-2147483648\n", INT32_MIN},
        {"-2147483649\n", INT32_MIN},
        {"4294967296\n", INT32_MAX},  // its low 32 bits are all zero
        {"99999999999\n", INT32_MAX},
        {"-99999999999999999999\n", INT32_MIN},
    };
    for (const AnswerCase& c : cases) {
        const FilePtr input = fileWith(c.answer);
        EXPECT_EQ(readAddressWidth(input.get()), c.width) << "answer \"" << c.answer << "\"";
    }
}

TEST(ReadAddressWidth, LeavesTheLinesAfterTheAnswerUnread) {
    const std::string answers[] = {"8abc\nX", "abc\nX", "\n 12345678901234567890 9 d\nX"};
    for (const std::string& answer : answers) {
        const FilePtr input = fileWith(answer);
        readAddressWidth(input.get());
        EXPECT_EQ(std::getc(input.get()), 'X') << answer;
    }
}

// Written in pieces of at most piece bytes, each in a call of its own.
std::string writtenThrough(const std::string& text, std::size_t piece = std::string::npos) {
    const FilePtr file(std::tmpfile());
    CrLfFileBuf buffer(file.get());
    std::ostream output(&buffer);
    for (std::size_t start = 0; start < text.size(); start += piece) {
        output << text.substr(start, piece);
    }
    EXPECT_TRUE(buffer.finish());
    return testing::contentsOf(file.get());
}

TEST(CrLfFileBuf, EveryLineFeedReachesTheFileAsCrLf) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"a", "a"},
        {"a\nb", "a\r\nb"},
        {"\n\n", "\r\n\r\n"},
        {"\r\n", "\r\r\n"},
        {"\t\x1A\r", "\t\x1A\r"},
    };
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(writtenThrough(text), bytes);
    }
    std::string longText;
    std::string longBytes;
    for (int i = 0; i < 50000; ++i) {
        longText += "line\n";
        longBytes += "line\r\n";
    }
    EXPECT_EQ(writtenThrough(longText), longBytes);
    EXPECT_EQ(writtenThrough(longText, 5), longBytes);
    EXPECT_EQ(writtenThrough(longText, 7), longBytes);
    // Line feeds around the end of a 64 KiB block, where a CR LF may just fit or not.
    for (std::size_t length = 64 * 1024 - 3; length <= 64 * 1024 + 1; ++length) {
        const std::string xs(length, 'x');
        EXPECT_EQ(writtenThrough(xs + "\n\n" + xs + "\n"), xs + "\r\n\r\n" + xs + "\r\n") << length;
    }
}

TEST(CrLfFileBuf, ReportsAWriteThatDidNotReachTheFile) {
    FilePtr full(std::fopen("/dev/full", "wb"));
    if (!full) {
        GTEST_SKIP() << "no /dev/full here";
    }
    {
        CrLfFileBuf buffer(full.get());
        std::ostream output(&buffer);
        output << "short\n";  // fits the buffer: the failure shows only when it is written out
        EXPECT_TRUE(output.good());
        EXPECT_FALSE(buffer.finish());
    }
    {
        CrLfFileBuf buffer(full.get());
        std::ostream output(&buffer);
        output << std::string(200000, 'x');
        EXPECT_FALSE(output.good());
        EXPECT_FALSE(buffer.finish());
    }
}

}  // namespace
}  // namespace romtools
