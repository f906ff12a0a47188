// The answer to the address width question on any bytes: no crash or undefined behaviour, and the
// reading ends right after the answer's line, leaving what follows for the keystroke.

#include <cstdlib>
#include <cstring>

#include "address_width_question.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    romtools::fuzzing::MemoryFile file(data, size);
    if (file.get() == nullptr) {
        return 0;
    }
    romtools::readAddressWidth(file.get());
    // Blank lines before the number are skipped; after it, the line it stands on is dropped whole.
    const long position = std::ftell(file.get());
    if (position < 0 || static_cast<std::size_t>(position) > size) {
        std::abort();
    }
    if (static_cast<std::size_t>(position) < size && (position == 0 || data[position - 1] != '\n')) {
        std::abort();
    }
    return 0;
}
