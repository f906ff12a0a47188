// InputWarnings: the doubts about one input file, each said once with its line, as compilers say them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

namespace romtools {

// What a HEX file may give cause to doubt. Nothing of it stops a conversion; --strict fails the file.
enum class Doubt { readingStopped, notAHexDigit, wrongChecksum, cutOff, repeatedWord, belowBase, bitsAboveWidth };

// Writes "<source>:<line>: warning: <text>" for the first doubt of each kind in one file, when it is
// found, and remembers whether any warning was written about the file.
class InputWarnings {
public:
    // sink is standard error in the programs; null writes nothing and only remembers.
    InputWarnings(std::string source, std::FILE* sink) : source_(std::move(source)), sink_(sink) {}

    // True while no doubt of this kind has been said: callers check it before they build the text.
    bool firstOf(Doubt doubt) const { return (said_ & bit(doubt)) == 0; }
    // Says the doubt, unless one of its kind has been said before.
    void warn(Doubt doubt, std::uint64_t line, const std::string& text);
    // Says a doubt about the whole file, without a line.
    void warn(const std::string& text);
    bool any() const { return any_; }
    const std::string& source() const { return source_; }

private:
    static unsigned bit(Doubt doubt) { return 1u << static_cast<unsigned>(doubt); }

    std::string source_;
    std::FILE* sink_;
    unsigned said_ = 0;
    bool any_ = false;
};

// How a warning shows a character of the file: 'c' when it is printable ASCII, "a line end", or
// "byte 0xNN".
std::string describeCharacter(int character);

}  // namespace romtools
