// ProgramDescription: what sets one program apart from the other.
#pragma once

#include <span>

#include "rom_writer.h"

namespace romtools {

struct ProgramDescription {
    const char* name;       // as the usage message names the program
    const char* summary;    // what it does, in one sentence, for --help
    // The option that picks a writer by its form's name, "style" for --style or "format" for --format;
    // messages call the forms so.
    const char* formOption;
    // Its writers, the default first. The option is there only with more than one.
    std::span<RomWriter* const> writers;
    // Its writers write a unit with a name, which --entity gives instead of the file's.
    bool namesUnits = false;

    bool offersForms() const { return writers.size() > 1; }
};

}  // namespace romtools
