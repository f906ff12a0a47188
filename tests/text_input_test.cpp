#include "text_input.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "temp_file.h"

namespace romtools {
namespace {

using testing::fileWith;

// Everything the input gives, as text.
std::string textOf(std::string_view bytes) {
    const FilePtr file = fileWith(bytes);
    TextInput input(file.get());
    std::string text;
    for (int character; (character = input.get()) != TextInput::kEnd;) {
        text += static_cast<char>(character);
    }
    return text;
}

// The file is read a block at a time; a CR LF pair or a Ctrl-Z must read the same across a block edge.
TEST(TextInput, TextRulesHoldAcrossBlockEdges) {
    const std::string padding(kBlockSize - 1, 'x');
    std::string manyLines;
    std::string manyLinesRead;
    for (int i = 0; i < 20000; ++i) {
        manyLines += ":02000000341200\r\n";
        manyLinesRead += ":02000000341200\n";
    }
    const std::pair<std::string, std::string> cases[] = {
        {padding + "\r\n:", padding + "\n:"},
        {padding + "\r\r\n:", padding + "\n\n:"},
        {padding + "\n\x1A:", padding + "\n"},
        {padding + "x\r\n:", padding + "x\n:"},
        {manyLines, manyLinesRead},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(textOf(bytes), text) << "at the edge: " << ::testing::PrintToString(bytes.substr(kBlockSize - 2, 4));
    }
}

TEST(TextInput, ReadErrorIsNotTakenForTheEndOfTheFile) {
    const std::filesystem::path directory = std::filesystem::temp_directory_path();
    FilePtr file(std::fopen(directory.c_str(), "rb"));
    if (!file) {
        GTEST_SKIP() << "this system refuses to open a directory";
    }
    TextInput input(file.get());
    EXPECT_EQ(input.get(), TextInput::kEnd);
    EXPECT_TRUE(input.failed());

    const FilePtr readable = fileWith("");
    TextInput empty(readable.get());
    EXPECT_EQ(empty.get(), TextInput::kEnd);
    EXPECT_FALSE(empty.failed());
}

}  // namespace
}  // namespace romtools
