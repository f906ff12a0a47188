// Real toolchain files through both programs and into real tools: HEX files made by the PIC assembler
// (tests/pic/make_hex.sh) are converted, the VHDL is analysed, elaborated and simulated by GHDL, the
// MIF is read by MIF rules, and both must give back the image that this test decodes on its own.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "program_run.h"

namespace romtools::testing {
namespace {

namespace fs = std::filesystem;

using Image = std::vector<unsigned>;  // the 14-bit word at each word address of the ROM

struct Sample {
    std::string name;  // tests/pic/<name>.hex; also the VHDL entity's name
    int addressWidth;  // wide enough that no two words share a choice
};

const Sample kSamples[] = {
    {"classic_inhx8m", 14},  // configuration word at word address 0x2007
    {"classic_inhx32", 14},
    {"enhanced_inhx32", 13},  // configuration words and EEPROM data above 64 KiB
};

// The ROM as the HEX file describes it, read independently of the programs: data records at their full
// byte address (segment and linear bases applied), the low 14 bits of each word at its word address,
// zero elsewhere, and nothing from above the first 64 KiB.
Image decodeHex(const std::string& text, int addressWidth) {
    Image image(std::size_t{1} << addressWidth, 0);
    std::istringstream lines(text);
    unsigned long base = 0;
    for (std::string line; std::getline(lines, line);) {
        const auto byteAt = [&line](std::size_t index) {
            return static_cast<unsigned>(std::stoul(line.substr(1 + 2 * index, 2), nullptr, 16));
        };
        const unsigned count = byteAt(0);
        const unsigned long address = byteAt(1) * 256ul + byteAt(2);
        const unsigned type = byteAt(3);
        const unsigned long value = count >= 2 ? byteAt(4) * 256ul + byteAt(5) : 0;
        if (type == 2) {
            base = value << 4;
        } else if (type == 4) {
            base = value << 16;
        } else if (type == 0) {
            for (unsigned i = 0; i + 1 < count; i += 2) {
                const unsigned long byteAddress = base + address + i;
                if (byteAddress < 0x10000) {
                    EXPECT_LT(byteAddress / 2, image.size()) << "the sample's width is too small";
                    image.at(byteAddress / 2) = (byteAt(4 + i) | byteAt(5 + i) << 8) & 0x3FFF;
                }
            }
        }
    }
    return image;
}

// The ROM as a MIF describes it: the range line first, each later line overriding it.
Image readMif(const std::string& text) {
    Image image;
    std::istringstream lines(text);
    bool inContent = false;
    for (std::string line; std::getline(lines, line);) {
        unsigned long first = 0;
        unsigned long last = 0;
        char bits[64] = {};
        if (std::sscanf(line.c_str(), "DEPTH = %lu;", &first) == 1) {
            image.assign(first, 0);
        } else if (line.rfind("BEGIN", 0) == 0) {
            inContent = true;
        } else if (inContent && std::sscanf(line.c_str(), "[%lu..%lu]: %63[01];", &first, &last, bits) == 3) {
            for (unsigned long address = first; address <= last; ++address) {
                image.at(address) = static_cast<unsigned>(std::stoul(bits, nullptr, 2));
            }
        } else if (inContent && std::sscanf(line.c_str(), "%lu : %63[01];", &first, bits) == 2) {
            image.at(first) = static_cast<unsigned>(std::stoul(bits, nullptr, 2));
        }
    }
    return image;
}

// Converts the sample in a work folder below temp and returns the output's path.
fs::path convert(const fs::path& program, const std::string& extension, const Sample& sample,
                 const fs::path& temp) {
    const fs::path folder = temp / "work";
    fs::create_directory(folder);
    const std::string hex = sample.name + ".hex";
    fs::copy_file(fs::path(ROMTOOLS_PIC_DIR) / hex, folder / hex);
    Invocation invocation;
    invocation.arguments = {hex};
    invocation.input = std::to_string(sample.addressWidth) + "\n";
    const Outcome outcome = runProgram(program, folder, invocation);
    EXPECT_EQ(outcome.status, 0) << outcome.standardError;
    return folder / (sample.name + extension);
}

// A testbench that sets every address in turn and prints what romout gives, one number a line.
std::string testbench(const Sample& sample) {
    const std::string width = std::to_string(sample.addressWidth);
    const std::string lastAddress = std::to_string((1 << sample.addressWidth) - 1);
    return "library ieee;\n"
           "use ieee.std_logic_1164.all;\n"
           "use ieee.numeric_std.all;\n"
           "use std.textio.all;\n"
           "entity tb is\nend tb;\n"
           "architecture sim of tb is\n"
           "  signal romaddr : std_logic_vector(" + width + " - 1 downto 0);\n"
           "  signal romout : std_logic_vector(13 downto 0);\n"
           "begin\n"
           "  rom : entity work." + sample.name + " port map (romaddr => romaddr, romout => romout);\n"
           "  process\n"
           "    variable l : line;\n"
           "  begin\n"
           "    for address in 0 to " + lastAddress + " loop\n"
           "      romaddr <= std_logic_vector(to_unsigned(address, " + width + "));\n"
           "      wait for 1 ns;\n"
           "      write(l, to_integer(unsigned(romout)));\n"
           "      writeline(output, l);\n"
           "    end loop;\n"
           "    wait;\n"
           "  end process;\n"
           "end sim;\n";
}

bool ghdlInstalled() {
    return std::system("ghdl --version >/dev/null 2>&1") == 0;
}

// Runs a shell command in folder, its standard output to output and its messages to log.
bool runIn(const fs::path& folder, const std::string& command, const fs::path& output, const fs::path& log) {
    const std::string line =
        "cd '" + folder.string() + "' && " + command + " >'" + output.string() + "' 2>'" + log.string() + "'";
    return std::system(line.c_str()) == 0;
}

void PrintTo(const Sample& sample, std::ostream* stream) {
    *stream << sample.name;
}

class RoundTrip : public ::testing::TestWithParam<Sample> {};

TEST_P(RoundTrip, GhdlSimulatesTheImageFromTheVhdl) {
    if (!ghdlInstalled()) {
        const char* ci = std::getenv("CI");
        if (ci != nullptr && std::string(ci) != "" && std::string(ci) != "false") {
            FAIL() << "GHDL is not installed; CI must install it (Debian package ghdl)";
        }
        GTEST_SKIP() << "GHDL is not installed (Debian package ghdl): the VHDL round trip is not run";
    }
    const Sample& sample = GetParam();
    TempDirectory temp;
    const fs::path vhdl = convert(ROMTOOLS_QUENLOR_PATH, ".vhd", sample, temp.path());
    const fs::path folder = vhdl.parent_path();
    writeFile(folder / "tb.vhd", testbench(sample));
    const Image expected = decodeHex(readFile(fs::path(ROMTOOLS_PIC_DIR) / (sample.name + ".hex")),
                                     sample.addressWidth);

    for (const std::string standard : {"93", "08"}) {
        const std::string options = " --std=" + standard + " --workdir=work" + standard;
        const fs::path output = folder / ("sim" + standard + ".txt");
        const fs::path log = folder / ("ghdl" + standard + ".log");
        fs::create_directory(folder / ("work" + standard));
        const std::string analyse = "ghdl -a" + options + " " + vhdl.filename().string() + " tb.vhd";
        ASSERT_TRUE(runIn(folder, analyse, output, log)) << analyse << ":\n" << readFile(log);
        ASSERT_TRUE(runIn(folder, "ghdl -e" + options + " tb", output, log)) << readFile(log);
        ASSERT_TRUE(runIn(folder, "ghdl -r" + options + " tb", output, log)) << readFile(log);

        Image simulated;
        std::istringstream printed(readFile(output));
        for (unsigned value; printed >> value;) {
            simulated.push_back(value);
        }
        EXPECT_EQ(simulated, expected) << "--std=" << standard;
    }
}

TEST_P(RoundTrip, MifCarriesTheSameImage) {
    const Sample& sample = GetParam();
    TempDirectory temp;
    const fs::path mif = convert(ROMTOOLS_SAPTRUM_PATH, ".mif", sample, temp.path());
    const Image expected = decodeHex(readFile(fs::path(ROMTOOLS_PIC_DIR) / (sample.name + ".hex")),
                                     sample.addressWidth);
    EXPECT_EQ(readMif(readFile(mif)), expected);
}

std::string sampleName(const ::testing::TestParamInfo<Sample>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(PicSamples, RoundTrip, ::testing::ValuesIn(kSamples), sampleName);

}  // namespace
}  // namespace romtools::testing
