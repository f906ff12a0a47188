library ieee;
use ieee.std_logic_1164.all;

entity prog is
	port (
		romaddr	: in  std_logic_vector(3 downto 0);
		romout	: out std_logic_vector(31 downto 0)
	);
end prog;

architecture RTL of prog is
begin
	process (romaddr)
	begin
		case romaddr is
		when "0000" => romout <= "00110000001111110010100000000000";	-- addr 0000: data 303F2800
		when "0001" => romout <= "00000000000010000000000010001010";	-- addr 0001: data 0008008A
		when "0010" => romout <= "00010010001101000011111111111111";	-- addr 0002: data 12343FFF
		when "1000" => romout <= "00000000000000001111111111111111";	-- addr 0008: data 0000FFFF
		when others => romout <= "00000000000000000000000000000000";
		end case;
	end process;

end RTL;
