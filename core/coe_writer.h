// CoeWriter: the COE format, the word file's lines as a coefficient file.
#pragma once

#include "word_file_writer.h"

namespace romtools {

// Writes the image in the COE format of Vivado's Block Memory Generator: the radix, then the word file's
// lines, each word followed by a comma but the last, which is followed by a semicolon.
class CoeWriter final : public WordFileWriter {
public:
    OutputForm form() const override {
        return {"coe", "the COE of Vivado's memory generators", ".coe", kMaxWordListAddressWidth};
    }

protected:
    std::string_view header() const override {
        return "memory_initialization_radix=16;\nmemory_initialization_vector=\n";
    }
    std::string_view separator() const override { return ","; }
    std::string_view lastSeparator() const override { return ";"; }
};

}  // namespace romtools
