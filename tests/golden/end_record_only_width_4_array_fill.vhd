library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity prog is
	port (
		romaddr	: in  std_logic_vector(3 downto 0);
		romout	: out std_logic_vector(13 downto 0)
	);
end prog;

architecture RTL of prog is
	type rom_type is array (15 downto 0) of std_logic_vector(13 downto 0);
	constant rom_data : rom_type := (
		others => "11111111111111"
	);
begin
	romout <= rom_data(to_integer(unsigned(romaddr)));
end RTL;
