#include "vhdl_file_writer.h"

#include <algorithm>

#include "path_last_part.h"
#include "vhdl_array_writer.h"
#include "vhdl_block_writer.h"
#include "word_file_writer.h"

namespace romtools {

OutputForm VhdlFileRomWriter::form() const {
    return {"file", "the block style filled from a word file", ".vhd", kMaxArrayAddressWidth};
}

std::string wordFileString(std::string_view inputStem) {
    std::string text;
    for (const char character : inputStem.substr(lastPartStart(inputStem, kAnySystemSeparators))) {
        const auto byte = static_cast<unsigned char>(character);
        text += byte < 0x20 || byte > 0x7E ? '_' : character;
        text += character == '"' ? "\"" : "";
    }
    return text + std::string(kWordFileExtension);
}

void VhdlFileRomWriter::writeHeader(LineSink& sink, const RomNames& names, const RomShape& shape) {
    writeVhdlEntity(sink, vhdlEntityName(names.unit), shape, "use ieee.numeric_std.all;\nuse std.textio.all;\n",
                    kClockPort, "\tgeneric (\n\t\tinit_file\t: string := \"" + wordFileString(names.input) + "\"\n\t);\n");
    writeRomType(sink, shape);
    // Each line holds a word of D hex digits (and a CR, where the file's line ends are CR LF), read into
    // the B = 4D bits of word; the ROM takes its low N, and the bits above them must be 0.
    const int digits = static_cast<int>(shape.hexDigits());
    const int bits = 4 * digits;
    const int dataWidth = std::clamp(shape.dataWidth, 1, bits);
    const std::string depth = std::to_string(romDepth(shape));
    const std::string last = std::to_string(romDepth(shape) - 1);
    const std::string d = std::to_string(digits);
    const std::string n = std::to_string(dataWidth);
    const std::string lineNumber = "report file_name & \": line \" & integer'image(address + 1) & \"";
    const std::string notAWord = lineNumber + " is not a word of " + d + " hex digits\" severity failure;\n";
    sink << "\n"
            "\t-- The ROM's words from the file: " << depth << " lines, each a word of " << d << " hex digits.\n"
            "\timpure function rom_words(file_name : string) return rom_type is\n"
            "\t\tfile words\t: text open read_mode is file_name;\n"
            "\t\tvariable text_line\t: line;\n"
            "\t\tvariable digit\t: character;\n"
            "\t\tvariable nibble\t: natural;\n"
            "\t\tvariable word\t: unsigned(" << std::to_string(bits - 1) << " downto 0);\n"
            "\t\tvariable rom\t: rom_type;\n"
            "\tbegin\n"
            "\t\tfor address in 0 to " << last << " loop\n"
            "\t\t\tassert not endfile(words) report file_name & \" has fewer than " << depth << " lines\" severity failure;\n"
            "\t\t\treadline(words, text_line);\n"
            "\t\t\tassert text_line'length = " << d << " or (text_line'length = " << std::to_string(digits + 1)
         << " and text_line(text_line'right) = CR)\n"
            "\t\t\t\t" << notAWord
         << "\t\t\tfor position in 1 to " << d << " loop\n"
            "\t\t\t\tread(text_line, digit);\n"
            "\t\t\t\tcase digit is\n"
            "\t\t\t\t\twhen '0' to '9' => nibble := character'pos(digit) - character'pos('0');\n"
            "\t\t\t\t\twhen 'A' to 'F' => nibble := character'pos(digit) - character'pos('A') + 10;\n"
            "\t\t\t\t\twhen 'a' to 'f' => nibble := character'pos(digit) - character'pos('a') + 10;\n"
            "\t\t\t\t\twhen others =>\n"
            "\t\t\t\t\t\t" << notAWord
         << "\t\t\t\tend case;\n"
            "\t\t\t\tword := "
         << (digits > 1 ? "word(" + std::to_string(bits - 5) + " downto 0) & to_unsigned(nibble, 4);\n"
                        : "to_unsigned(nibble, 4);\n")
         << "\t\t\tend loop;\n";
    if (bits != dataWidth) {
        sink << "\t\t\tassert word(" << std::to_string(bits - 1) << " downto " << n << ") = 0\n"
             << "\t\t\t\t" << lineNumber << " is wider than " << n << " bits\" severity failure;\n";
    }
    sink << "\t\t\trom(address) := std_logic_vector(word(" << std::to_string(dataWidth - 1) << " downto 0));\n"
            "\t\tend loop;\n"
            "\t\tassert endfile(words) report file_name & \" has more than " << depth << " lines\" severity failure;\n"
            "\t\treturn rom;\n"
            "\tend function;\n"
            "\n"
            "\tconstant rom : rom_type := rom_words(init_file);\n"
            "begin\n"
         << kClockedRead << "end RTL;\n";
}

}  // namespace romtools
