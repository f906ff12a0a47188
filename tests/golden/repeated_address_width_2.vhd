library ieee;
use ieee.std_logic_1164.all;

entity prog is
	port (
		romaddr	: in  std_logic_vector(1 downto 0);
		romout	: out std_logic_vector(13 downto 0)
	);
end prog;

architecture RTL of prog is
begin
	process (romaddr)
	begin
		case romaddr is
		when "00" => romout <= "01000100010001";	-- addr 0000: data 1111
		when "01" => romout <= "10001000100010";	-- addr 0001: data 2222
		when "00" => romout <= "11001100110011";	-- addr 0000: data 3333
		when "01" => romout <= "00010001000100";	-- addr 0001: data C444
		when others => romout <= "00000000000000";
		end case;
	end process;

end RTL;
