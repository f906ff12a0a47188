#include "crlf_file_buf.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>

#include "temp_file.h"

namespace romtools {
namespace {

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
    // Line feeds around the end of a block, where a CR LF may just fit or not.
    for (std::size_t length = kBlockSize - 3; length <= kBlockSize + 1; ++length) {
        const std::string xs(length, 'x');
        EXPECT_EQ(writtenThrough(xs + "\n\n" + xs + "\n"), xs + "\r\n\r\n" + xs + "\r\n") << length;
    }
}

// Compared block by block as it is written, the output equals the previous file only to its last byte.
TEST(CrLfFileBuf, TellsWhetherTheOutputEqualsThePreviousFile) {
    std::string text;  // over three blocks, compared in pieces of every size
    while (text.size() < 3 * kBlockSize) {
        text += "abcdefghijklmnopqrstuvw";
    }
    for (const auto& [previousBytes, equal] : {std::pair{text, true}, {text.substr(0, text.size() - 1) + "#", false},
                                               {text + "x", false}, {text.substr(1), false}, {std::string(), false}}) {
        const FilePtr previous = testing::fileWith(previousBytes);
        const FilePtr file(std::tmpfile());
        CrLfFileBuf buffer(file.get(), previous.get());
        std::ostream(&buffer) << text;
        EXPECT_TRUE(buffer.finish() && buffer.matchesPrevious() == equal) << previousBytes.size();
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
