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
		when others => romout <= "11111111111111";
		end case;
	end process;

end RTL;
