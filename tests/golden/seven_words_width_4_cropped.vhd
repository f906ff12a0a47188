library ieee;
use ieee.std_logic_1164.all;

entity prog is
	port (
		romaddr	: in  std_logic_vector(3 downto 0);
		romout	: out std_logic_vector(13 downto 0)
	);
end prog;

architecture RTL of prog is
begin
	process (romaddr)
	begin
		case romaddr is
		when "0000" => romout <= "10100000000000";	-- addr 0000: data 2800
		when "0001" => romout <= "11000000111111";	-- addr 0001: data 303F
		when "0010" => romout <= "00000010001010";	-- addr 0002: data 008A
		when "0011" => romout <= "00000000001000";	-- addr 0003: data 0008
		when "0100" => romout <= "11111111111111";	-- addr 0004: data 3FFF
		when "0101" => romout <= "01001000110100";	-- addr 0005: data 1234
		when others => romout <= "00000000000000";
		end case;
	end process;

end RTL;
