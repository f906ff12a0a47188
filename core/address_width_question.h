// The question for the address width, and how its answer is read.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace romtools {

inline constexpr std::int32_t kDefaultAddressWidth = 13;
// The MIF's depth is written exactly and VHDL has no such bound, but no ROM is meant beyond 64 address
// bits: a larger answer is a typing slip that would fill the disk.
inline constexpr std::int32_t kMaxAddressWidth = 64;

// The question as the console shows it, without the blank that follows it; --help quotes it too.
std::string addressWidthQuestion();

// Asks on standard error and reads the answer from standard input; 0, and an answer that is not a
// number, give the default. Nothing when standard input ends, or cannot be read, before an answer. A
// line end follows the answer on standard error, so that the next message starts a line of its own
// also when the answer came from a pipe.
std::optional<std::int32_t> askAddressWidth();

// Reads the answer to the address width question: white space, line ends included, is skipped, then an
// optional sign and decimal digits are taken as a signed 32-bit number, held at the largest or smallest
// one when it is beyond them. Returns 0 when no number stands there, and nothing when the input ends
// before anything but white space. The rest of the answer's line is read and dropped, so that a
// keystroke awaited later waits for the user.
std::optional<std::int32_t> readAddressWidth(std::FILE* input);

}  // namespace romtools
