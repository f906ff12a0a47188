#include "vhdl_rom_writer.h"

#include <algorithm>
#include <string>

#include "line_format.h"
#include "print.h"
#include "write_bits.h"

namespace romtools {

namespace {

// The part of the stem after its last backslash, with A to Z lowered; nothing is checked, so the name
// may be empty or hold characters VHDL does not allow.
std::string entityName(std::string_view stem) {
    const std::size_t backslash = stem.rfind('\\');
    std::string name(backslash == std::string_view::npos ? stem : stem.substr(backslash + 1));
    for (char& character : name) {
        if (character >= 'A' && character <= 'Z') {
            character = static_cast<char>(character - 'A' + 'a');
        }
    }
    return name;
}

}  // namespace

void VhdlRomWriter::writeHeader(std::ostream& output, std::string_view stem, std::int32_t addressWidth) {
    const std::string name = entityName(stem);
    print(output, "library ieee;\n");
    print(output, "use ieee.std_logic_1164.all;\n");
    print(output, "\n");
    print(output, "entity %s is\n", name.c_str());
    print(output, "\tport (\n");
    // Widened first: the width may be the most negative 32-bit number.
    print(output, "\t\tromaddr\t: in  std_logic_vector(%lld downto 0);\n",
          static_cast<long long>(addressWidth) - 1);
    print(output, "\t\tromout\t: out std_logic_vector(%d downto 0)\n", static_cast<int>(kDataWidth - 1));
    print(output, "\t);\n");
    print(output, "end %s;\n", name.c_str());
    print(output, "\n");
    print(output, "architecture RTL of %s is\n", name.c_str());
    print(output, "begin\n");
    print(output, "\tprocess (romaddr)\n");
    print(output, "\tbegin\n");
    print(output, "\t\tcase romaddr is\n");
}

void VhdlRomWriter::writeWord(std::ostream& output, const RomWord& word, std::int32_t addressWidth) {
    // "\t\twhen \"<address bits>\" => romout <= \"<data bits>\";\t-- addr %04X: data %04X\n"
    char line[128];
    char* end = putText(line, "\t\twhen \"");
    if (addressWidth > 32) {
        // The zeros above the address's 32 bits have no bound: they go straight to the stream.
        writeLine(output, line, end);
        writeBits(output, 0, addressWidth - 32);
        end = line;
    }
    end = putBits(end, word.address, std::min(addressWidth, std::int32_t{32}));
    end = putText(end, "\" => romout <= \"");
    end = putBits(end, word.data, kDataWidth);
    end = putText(end, "\";\t-- addr ");
    end = putHex4(end, word.address);
    end = putText(end, ": data ");
    end = putHex4(end, word.data);
    *end++ = '\n';
    writeLine(output, line, end);
}

void VhdlRomWriter::writeTrailer(std::ostream& output) {
    print(output, "\t\twhen others => romout <= \"");
    writeBits(output, 0, kDataWidth);
    print(output, "\";\n");
    print(output, "\t\tend case;\n");
    print(output, "\tend process;\n");
    print(output, "\nend RTL;\n");
}

}  // namespace romtools
