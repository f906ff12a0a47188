library ieee;
use ieee.std_logic_1164.all;

entity prog is
	port (
		romaddr	: in  std_logic_vector(12 downto 0);
		romout	: out std_logic_vector(13 downto 0)
	);
end prog;

architecture RTL of prog is
begin
	process (romaddr)
	begin
		case romaddr is
		when "0000000000000" => romout <= "10100000000101";	-- addr 0000: data 2805
		when "0000000000100" => romout <= "00000000001001";	-- addr 0004: data 0009
		when "0000000000101" => romout <= "00000000100001";	-- addr 0005: data 0021
		when "0000000000110" => romout <= "00000110001101";	-- addr 0006: data 018D
		when "0000000000111" => romout <= "00000000100011";	-- addr 0007: data 0023
		when "0000000001000" => romout <= "00000110010001";	-- addr 0008: data 0191
		when "0000000001001" => romout <= "01001100010101";	-- addr 0009: data 1315
		when "0000000001010" => romout <= "01001110010101";	-- addr 000A: data 1395
		when "0000000001011" => romout <= "01010000010101";	-- addr 000B: data 1415
		when "0000000001100" => romout <= "00100000010011";	-- addr 000C: data 0813
		when "0000000001101" => romout <= "00000000100010";	-- addr 000D: data 0022
		when "0000000001110" => romout <= "00000010001101";	-- addr 000E: data 008D
		when "0000000001111" => romout <= "00000000100011";	-- addr 000F: data 0023
		when "0000000010000" => romout <= "00101010010001";	-- addr 0010: data 0A91
		when "0000000010001" => romout <= "11000000000011";	-- addr 0011: data 3003
		when "0000000010010" => romout <= "00010110010001";	-- addr 0012: data 0591
		when "0000000010011" => romout <= "11001111110101";	-- addr 0013: data 33F5
		when "0000000000111" => romout <= "11111111100100";	-- addr 8007: data FFE4
		when "0000000001000" => romout <= "01111111111111";	-- addr 8008: data DFFF
		when "1000000000000" => romout <= "00000000010001";	-- addr F000: data 0011
		when "1000000000001" => romout <= "00000000100010";	-- addr F001: data 0022
		when "1000000000010" => romout <= "00000001000100";	-- addr F002: data 0044
		when "1000000000011" => romout <= "00000010001000";	-- addr F003: data 0088
		when others => romout <= "00000000000000";
		end case;
	end process;

end RTL;
