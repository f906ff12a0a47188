library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity prog is
	port (
		romaddr	: in  std_logic_vector(5 downto 0);
		romout	: out std_logic_vector(13 downto 0)
	);
end prog;

architecture RTL of prog is
	type rom_type is array (63 downto 0) of std_logic_vector(13 downto 0);
	constant rom_data : rom_type := (
		0 => "10100000000000",	-- addr 0000: data 2800
		1 => "11000000111111",	-- addr 0001: data 303F
		2 => "00000010001010",	-- addr 0002: data 008A
		3 => "00000000001000",	-- addr 0003: data 0008
		4 => "11111111111111",	-- addr 0004: data 3FFF
		5 => "01001000110100",	-- addr 0005: data 1234
		16 => "11111111111111",	-- addr 0010: data FFFF
		others => "00000000000000"
	);
begin
	romout <= rom_data(to_integer(unsigned(romaddr)));
end RTL;
