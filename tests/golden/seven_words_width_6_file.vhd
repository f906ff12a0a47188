library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;
use std.textio.all;

entity boot_rom is
	generic (
		init_file	: string := "boot_rom.mem"
	);
	port (
		clk	: in  std_logic;
		romaddr	: in  std_logic_vector(5 downto 0);
		romout	: out std_logic_vector(13 downto 0)
	);
end boot_rom;

architecture RTL of boot_rom is
	type rom_type is array (63 downto 0) of std_logic_vector(13 downto 0);

	-- The ROM's words from the file: 64 lines, each a word of 4 hex digits.
	impure function rom_words(file_name : string) return rom_type is
		file words	: text open read_mode is file_name;
		variable text_line	: line;
		variable digit	: character;
		variable nibble	: natural;
		variable word	: unsigned(15 downto 0);
		variable rom_data	: rom_type;
	begin
		for address in 0 to 63 loop
			assert not endfile(words) report file_name & " has fewer than 64 lines" severity failure;
			readline(words, text_line);
			assert text_line'length = 4 or (text_line'length = 5 and text_line(text_line'right) = CR)
				report file_name & ": line " & integer'image(address + 1) & " is not a word of 4 hex digits" severity failure;
			for position in 1 to 4 loop
				read(text_line, digit);
				case digit is
					when '0' to '9' => nibble := character'pos(digit) - character'pos('0');
					when 'A' to 'F' => nibble := character'pos(digit) - character'pos('A') + 10;
					when 'a' to 'f' => nibble := character'pos(digit) - character'pos('a') + 10;
					when others =>
						report file_name & ": line " & integer'image(address + 1) & " is not a word of 4 hex digits" severity failure;
				end case;
				word := word(11 downto 0) & to_unsigned(nibble, 4);
			end loop;
			assert word(15 downto 14) = 0
				report file_name & ": line " & integer'image(address + 1) & " is wider than 14 bits" severity failure;
			rom_data(address) := std_logic_vector(word(13 downto 0));
		end loop;
		assert endfile(words) report file_name & " has more than 64 lines" severity failure;
		return rom_data;
	end function;

	constant rom_data : rom_type := rom_words(init_file);
begin
	process (clk)
	begin
		if rising_edge(clk) then
			romout <= rom_data(to_integer(unsigned(romaddr)));
		end if;
	end process;
end RTL;
