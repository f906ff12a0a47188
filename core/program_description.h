// ProgramDescription: what sets one program apart from the other.
#pragma once

#include <span>

#include "rom_writer.h"

namespace romtools {

struct ProgramDescription {
    const char* name;       // as the usage message names the program
    const char* summary;    // what it does, in one sentence, for --help
    const char* extension;  // of its output files, such as ".vhd"
    // Its writers, the default first. With more than one, --style picks one by its style's name.
    std::span<RomWriter* const> writers;

    bool offersStyles() const { return writers.size() > 1; }
};

}  // namespace romtools
