#include "vhdl_file_writer.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "path_last_part.h"
#include "vhdl_array_writer.h"
#include "vhdl_block_writer.h"
#include "word_file_writer.h"

namespace romtools {

namespace {

// The architecture after the array's type. Each line of the file holds a word of D hex digits (and a
// CR, where the file's line ends are CR LF), read into the B = 4D bits of word; the ROM takes its low
// N, and the bits above them must be 0.
constexpr std::string_view kReadingUnit = R"(
	-- The ROM's words from the file: {DEPTH} lines, each a word of {DIGITS} hex digits.
	impure function rom_words(file_name : string) return rom_type is
		file words	: text open read_mode is file_name;
		variable text_line	: line;
		variable digit	: character;
		variable nibble	: natural;
		variable word	: unsigned({WORD_TOP} downto 0);
		variable rom_data	: rom_type;
	begin
		for address in 0 to {LAST} loop
			assert not endfile(words) report file_name & " has fewer than {DEPTH} lines" severity failure;
			readline(words, text_line);
			assert text_line'length = {DIGITS} or (text_line'length = {DIGITS_AND_CR} and text_line(text_line'right) = CR)
				report file_name & ": line " & integer'image(address + 1) & " is not a word of {DIGITS} hex digits" severity failure;
			for position in 1 to {DIGITS} loop
				read(text_line, digit);
				case digit is
					when '0' to '9' => nibble := character'pos(digit) - character'pos('0');
					when 'A' to 'F' => nibble := character'pos(digit) - character'pos('A') + 10;
					when 'a' to 'f' => nibble := character'pos(digit) - character'pos('a') + 10;
					when others =>
						report file_name & ": line " & integer'image(address + 1) & " is not a word of {DIGITS} hex digits" severity failure;
				end case;
				word := {SHIFTED_IN};
			end loop;
{BITS_ABOVE_CHECK}			rom_data(address) := std_logic_vector(word({DATA_TOP} downto 0));
		end loop;
		assert endfile(words) report file_name & " has more than {DEPTH} lines" severity failure;
		return rom_data;
	end function;

	constant rom_data : rom_type := rom_words(init_file);
begin
{CLOCKED_READ}end RTL;
)";

// The lines of the check that the bits of word above the data width are 0, when it has any.
constexpr std::string_view kBitsAboveCheck = R"(			assert word({WORD_TOP} downto {DATA_WIDTH}) = 0
				report file_name & ": line " & integer'image(address + 1) & " is wider than {DATA_WIDTH} bits" severity failure;
)";

using Places = std::initializer_list<std::pair<std::string_view, std::string>>;

// The text with each {NAME} in it replaced by that place's text; VHDL itself has no braces.
std::string filledIn(std::string_view text, Places places) {
    std::string filled;
    for (std::size_t open, close; (open = text.find('{')) != std::string_view::npos &&
                                  (close = text.find('}', open)) != std::string_view::npos;) {
        const std::string_view name = text.substr(open + 1, close - open - 1);
        const auto place =
            std::find_if(places.begin(), places.end(), [name](const auto& named) { return named.first == name; });
        filled.append(text.substr(0, open)).append(place != places.end() ? place->second : "");
        text.remove_prefix(close + 1);
    }
    return filled.append(text);
}

}  // namespace

OutputForm VhdlFileRomWriter::form() const {
    return {"file", "the block style filled from a word file", ".vhd", kMaxArrayAddressWidth};
}

std::string wordFileString(std::string_view outputStem) {
    std::string text;
    for (const char character : outputStem.substr(lastPartStart(outputStem, kAnySystemSeparators))) {
        const auto byte = static_cast<unsigned char>(character);
        text += byte < 0x20 || byte > 0x7E ? '_' : character;
        text += character == '"' ? "\"" : "";
    }
    return text + std::string(kWordFileExtension);
}

void VhdlFileRomWriter::writeHeader(LineSink& sink, const RomNames& names, const RomShape& shape) {
    writeVhdlEntity(sink, vhdlEntityName(names.unit), shape, "use ieee.numeric_std.all;\nuse std.textio.all;\n",
                    kClockPort, "\tgeneric (\n\t\tinit_file\t: string := \"" + wordFileString(names.outputStem) + "\"\n\t);\n");
    writeRomType(sink, shape);
    const int digits = static_cast<int>(shape.hexDigits());
    const int bits = 4 * digits;
    const int dataWidth = std::clamp(shape.dataWidth, 1, bits);
    const std::string wordTop = std::to_string(bits - 1);
    const std::string bitsAboveCheck =
        bits == dataWidth ? "" : filledIn(kBitsAboveCheck, {{"WORD_TOP", wordTop}, {"DATA_WIDTH", std::to_string(dataWidth)}});
    sink << filledIn(kReadingUnit,
                     {{"DEPTH", std::to_string(romDepth(shape))},
                      {"LAST", std::to_string(romDepth(shape) - 1)},
                      {"DIGITS", std::to_string(digits)},
                      {"DIGITS_AND_CR", std::to_string(digits + 1)},
                      {"WORD_TOP", wordTop},
                      {"SHIFTED_IN", digits > 1 ? "word(" + std::to_string(bits - 5) + " downto 0) & to_unsigned(nibble, 4)"
                                                : "to_unsigned(nibble, 4)"},
                      {"BITS_ABOVE_CHECK", bitsAboveCheck},
                      {"DATA_TOP", std::to_string(dataWidth - 1)},
                      {"CLOCKED_READ", std::string(kClockedRead)}});
}

}  // namespace romtools
