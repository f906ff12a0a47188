#include "address_width_question.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "temp_file.h"

namespace romtools {
namespace {

using testing::fileWith;

struct AnswerCase {
    std::string answer;
    std::optional<std::int32_t> width;  // 0: no number, so the run takes the default; nothing: no answer
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
        {"", std::nullopt},
        {"\n \t\n", std::nullopt},
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

}  // namespace
}  // namespace romtools
