// VhdlBlockRomWriter: the VHDL format in the block style, the array read on the rising edge of a clock.
#pragma once

#include "vhdl_array_writer.h"

namespace romtools {

// The clock input, declared before romaddr, and the read of the array on its rising edge.
inline constexpr std::string_view kClockPort = "\t\tclk\t: in  std_logic;\n";
inline constexpr std::string_view kClockedRead =
    "\tprocess (clk)\n"
    "\tbegin\n"
    "\t\tif rising_edge(clk) then\n"
    "\t\t\tromout <= rom_data(to_integer(unsigned(romaddr)));\n"
    "\t\tend if;\n"
    "\tend process;\n";

// Writes the array style's unit with a clock input clk, and romout read from the array on its rising
// edge, one clock after the address. Synthesis tools map a ROM read so into an FPGA's memory blocks,
// where an array read without a clock becomes logic.
class VhdlBlockRomWriter final : public VhdlArrayRomWriter {
public:
    OutputForm form() const override {
        return {"block", "the array read on clk's rising edge", ".vhd", kMaxArrayAddressWidth};
    }

protected:
    std::string_view portsBeforeAddress() const override { return kClockPort; }
    std::string_view readStatements() const override { return kClockedRead; }
};

}  // namespace romtools
