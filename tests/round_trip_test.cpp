// Real toolchain files through both programs and into real tools: HEX files made by the PIC assembler
// (tests/pic/make_hex.sh) are converted, the VHDL is analysed, elaborated and simulated by GHDL, the
// MIF is read by MIF rules, and both must give back the image that this test decodes on its own.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "program_run.h"

namespace romtools::testing {
namespace {

namespace fs = std::filesystem;

using Image = std::vector<std::uint64_t>;  // the word at each word address of the ROM
using Bytes = std::map<unsigned long, unsigned>;  // the image: the byte at each byte address

struct Sample {
    std::string name;  // tests/pic/<name>.hex, or tests/producers/ when another tool wrote it; the entity's name
    int addressWidth;  // without --crop, wide enough that no two words share a choice
    std::vector<std::string> options{};
    std::string notes{};            // what the run says after the question
    const char* binary = nullptr;   // tests/producers/<binary>, the image the HEX file was made from
    std::string style = "case";     // quenlor's --style; "file" reads the word file saptrum --format mem writes
    bool synthesized = false;       // the netlist that GHDL's synthesis makes of the VHDL is simulated too
};

const std::string kLeftOut = ".hex: note: words beyond the address width ";
// The odd image's first word, read as 14 bits, has bits above them that are neither all 0 nor all 1.
std::string bitsAbove(const std::string& sample, int line) {
    return sample + ".hex:" + std::to_string(line) +
           ": warning: word address 0000 holds 7EC6, more bits than the data width 14; the ROM keeps the low 14\n";
}
const std::string kEnhancedLeftOut = "enhanced_inhx32" + kLeftOut + "13 are left out: 6, the first at address 8007\n";
const Sample kSamples[] = {
    {"classic_inhx8m", 14},  // configuration word at word address 0x2007
    {"classic_inhx32", 14},
    {"enhanced_inhx32", 13, {"--crop"}, kEnhancedLeftOut},  // configuration words and EEPROM data above 64 KiB
    // A classic core's program counter has 13 bits, a 1K-word part's 10: --crop leaves the configuration
    // word out, so no choice repeats and every MIF line lies within its depth.
    {"classic_inhx8m", 13, {"--crop", "--strict"},
     "classic_inhx8m" + kLeftOut + "13 are left out: 1, the first at address 2007\n"},
    {"classic_inhx8m", 10, {"--crop"}, "classic_inhx8m" + kLeftOut + "10 are left out: 1, the first at address 2007\n"},
    // An odd-length image as common tools write it: records of odd length, and words split between two.
    {"odd_objcopy", 9, {}, bitsAbove("odd_objcopy", 1), "odd.bin"},
    {"odd_srec_cat_16", 9, {}, bitsAbove("odd_srec_cat_16", 2), "odd.bin"},
    {"odd_srec_cat_32", 9, {}, bitsAbove("odd_srec_cat_32", 2), "odd.bin"},
    {"odd_srec_cat_255", 9, {}, bitsAbove("odd_srec_cat_255", 2), "odd.bin"},
    {"odd_intelhex_255", 9, {}, bitsAbove("odd_intelhex_255", 1), "odd.bin"},
    // Linked at 0800FE01 across a 64 KiB boundary, brought down by --base.
    {"odd_objcopy_high", 8, {"--strict", "--data-width=32", "--base=0x0800FE01"}, "", "odd.bin"},
    // Other cores' words: 16 and 32 bits of the same image, and the bytes of an 8051 program whose
    // records SDCC writes out of address order.
    {"odd_srec_cat_16", 9, {"--strict", "--data-width=16"}, "", "odd.bin"},
    {"odd_objcopy", 8, {"--strict", "--data-width=32"}, "", "odd.bin"},
    {"blink_8051_sdcc", 8, {"--strict", "--data-width=8"}},
    // A big-endian ARM program linked at its flash, its words read high byte first.
    {"counter_arm_be", 5, {"--strict", "--data-width=32", "--big-endian", "--base=0x08000000"}, "", "counter_arm_be.bin"},
    // The array and block styles give the same ROM.
    {"classic_inhx8m", 14, {"--strict"}, "", nullptr, "array"},
    {"classic_inhx8m", 13, {"--crop"}, "classic_inhx8m" + kLeftOut + "13 are left out: 1, the first at address 2007\n",
     nullptr, "array", true},
    {"enhanced_inhx32", 13, {"--crop"}, kEnhancedLeftOut, nullptr, "array"},
    {"classic_inhx8m", 13, {"--crop"}, "classic_inhx8m" + kLeftOut + "13 are left out: 1, the first at address 2007\n",
     nullptr, "block", true},
    {"enhanced_inhx32", 13, {"--crop"}, kEnhancedLeftOut, nullptr, "block"},
    // GHDL's synthesis once made a ROM of zeros of this image's array. The case style's netlist of a
    // full image takes a minute, so only this one is synthesized.
    {"two_words_inhx8m", 8, {}, "", nullptr, "case", true},
    {"two_words_inhx8m", 8, {}, "", nullptr, "array", true},
    {"two_words_inhx8m", 8, {}, "", nullptr, "block", true},
    // The file style's array comes from the word file, with bits above the data width or without.
    {"two_words_inhx8m", 8, {}, "", nullptr, "file", true},
    // The fill word, as erased flash reads, at every address the image gives none.
    {"two_words_inhx8m", 8, {"--fill=0x3FFF"}, "", nullptr, "case", true},
    {"two_words_inhx8m", 8, {"--fill=0x3FFF"}, "", nullptr, "array", true},
    {"odd_srec_cat_16", 9, {"--data-width=16"}, "", "odd.bin", "file"},
};

bool takes(const Sample& sample, const std::string& option) {
    return std::find(sample.options.begin(), sample.options.end(), option) != sample.options.end();
}

bool crops(const Sample& sample) {
    return takes(sample, "--crop");
}

// The value that a sample's options give an option, such as "--data-width=", or the default.
std::uint64_t optionValue(const Sample& sample, const std::string& option, std::uint64_t otherwise) {
    for (const std::string& given : sample.options) {
        if (given.rfind(option, 0) == 0) {
            return std::stoull(given.substr(option.size()), nullptr, 0);
        }
    }
    return otherwise;
}

int dataWidth(const Sample& sample) {
    return static_cast<int>(optionValue(sample, "--data-width=", 14));
}

// The ROM that the bytes make: a word of N bits takes N/8 bytes rounded up, the first the lowest (the
// highest for --big-endian), and keeps its low N bits; the fill word, 0 unless --fill gives another,
// where no byte of a word is given, and nothing from beyond the ROM (a run that kept such a word would
// say so, and its message would fail the test).
Image romOf(const Bytes& bytes, const Sample& sample) {
    const int width = dataWidth(sample);
    const unsigned bytesPerWord = static_cast<unsigned>(width + 7) / 8;
    Image image(std::size_t{1} << sample.addressWidth, optionValue(sample, "--fill=", 0));
    std::vector<bool> given(image.size());
    for (const auto& [address, byte] : bytes) {
        const std::size_t word = address / bytesPerWord;
        const unsigned offset = address % bytesPerWord;
        if (word < image.size()) {
            image[word] = given[word] ? image[word] : 0;
            given[word] = true;
            image[word] |= std::uint64_t{byte} << ((takes(sample, "--big-endian") ? bytesPerWord - 1 - offset : offset) * 8);
        }
    }
    for (std::uint64_t& word : image) {
        word &= width == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
    }
    return image;
}

// The image as the HEX file describes it, read independently of the programs: data records at their
// full byte address, segment and linear bases applied.
Bytes decodeHex(const std::string& text) {
    Bytes image;
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
            for (unsigned i = 0; i < count; ++i) {
                image[base + address + i] = byteAt(4 + i);
            }
        }
    }
    return image;
}

// The image a binary holds from address 0.
Bytes binaryImage(const std::string& bytes) {
    Bytes image;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        image[i] = static_cast<unsigned char>(bytes[i]);
    }
    return image;
}

fs::path sampleFolder(const Sample& sample) {
    return fs::exists(fs::path(ROMTOOLS_PIC_DIR) / (sample.name + ".hex")) ? ROMTOOLS_PIC_DIR : ROMTOOLS_PRODUCERS_DIR;
}

Image expectedImage(const Sample& sample) {
    return romOf(sample.binary != nullptr ? binaryImage(readFile(sampleFolder(sample) / sample.binary))
                                          : decodeHex(readFile(sampleFolder(sample) / (sample.name + ".hex"))),
                 sample);
}

// Reads a MIF as a reader that follows the format's grammar does, and throws at the first thing such a
// reader refuses: header statements "NAME = value;", then CONTENT BEGIN, the entries "address : value;"
// and "[first..last] : value;", each overriding what stands before it, and END; comments run between
// two % signs or from -- to the line's end.
class StrictMifReader {
public:
    StrictMifReader(std::string text, int width) : text_(std::move(text)), width_(std::to_string(width)) {}

    Image read() {
        std::map<std::string, std::string> header;
        for (std::string name = next(); name != "CONTENT"; name = next()) {
            expect("=");
            header[name] = next();
            expect(";");
        }
        expect("BEGIN");
        if (header["ADDRESS_RADIX"] != "DEC" || header["DATA_RADIX"] != "BIN" || header["WIDTH"] != width_) {
            fail("radices DEC and BIN and width " + width_ + " expected");
        }
        Image image(number(header["DEPTH"], 10), 0);
        for (std::string word = next(); word != "END"; word = next()) {
            std::size_t first = 0;
            std::size_t last = 0;
            if (word == "[") {
                first = number(next(), 10);
                expect("..");
                last = number(next(), 10);
                expect("]");
            } else {
                first = last = number(word, 10);
            }
            expect(":");
            const std::size_t value = number(next(), 2);
            expect(";");
            for (std::size_t address = first; address <= last; ++address) {
                image.at(address) = value;
            }
        }
        expect(";");
        expect("");
        return image;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("line " + std::to_string(1 + std::count(text_.begin(), text_.begin() + at_, '\n')) +
                                 ": " + what);
    }

    void expect(const std::string& token) {
        const std::string found = next();
        if (found != token) {
            fail("\"" + token + "\" expected, \"" + found + "\" found");
        }
    }

    std::size_t number(const std::string& token, int radix) const {
        if (token.empty() || token.find_first_not_of(radix == 2 ? "01" : "0123456789") != std::string::npos) {
            fail("a number expected, \"" + token + "\" found");
        }
        return std::stoull(token, nullptr, radix);
    }

    // The next word, number or sign, past white space and comments; empty at the end of the text.
    std::string next() {
        for (;;) {
            while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) {
                ++at_;
            }
            if (text_.compare(at_, 1, "%") == 0) {
                const std::size_t close = text_.find('%', at_ + 1);
                at_ = close == std::string::npos ? text_.size() : close + 1;
            } else if (text_.compare(at_, 2, "--") == 0) {
                at_ = std::min(text_.find('\n', at_), text_.size());
            } else {
                break;
            }
        }
        std::size_t end = at_;
        while (end < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[end])) || text_[end] == '_')) {
            ++end;
        }
        if (end == at_ && at_ < text_.size()) {
            end = text_.compare(at_, 2, "..") == 0 ? at_ + 2 : at_ + 1;
        }
        std::string token = text_.substr(at_, end - at_);
        at_ = end;
        return token;
    }

    std::string text_;
    std::string width_;
    std::size_t at_ = 0;
};


// Converts <folder>/<sample>.hex, copied to <stem>.hex in a work folder below temp unless there, with the
// answer given; returns the output's path.
fs::path convert(const fs::path& program, const std::string& extension, const fs::path& sample,
                 const std::string& stem, const std::string& answer, const fs::path& temp,
                 const std::string& notes = "", const std::vector<std::string>& options = {}) {
    const fs::path folder = temp / "work";
    fs::create_directories((folder / stem).parent_path());
    fs::copy_file(sample, folder / (stem + ".hex"), fs::copy_options::skip_existing);
    Invocation invocation;
    invocation.arguments = options;
    invocation.arguments.push_back(stem + ".hex");
    invocation.input = answer;
    const Outcome outcome = runProgram(program, folder, invocation);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.standardError, kQuestion + "\n" + notes);
    return folder / (stem + extension);
}

// Converts a sample as its row says; the style is quenlor's alone, and .mem asks saptrum for a word file.
fs::path convert(const fs::path& program, const std::string& extension, const Sample& sample, const fs::path& temp) {
    std::vector<std::string> options = sample.options;
    if (extension != ".mif") {
        options.insert(options.begin(), {extension == ".vhd" ? "--style" : "--format", extension == ".vhd" ? sample.style : "mem"});
    }
    return convert(program, extension, sampleFolder(sample) / (sample.name + ".hex"), sample.name,
                   std::to_string(sample.addressWidth) + "\n", temp, sample.notes, options);
}

// A testbench that sets every address in turn and prints what romout gives, in binary, a line each; a
// ROM of the block or file style gets a clock edge after each address. The ROM is the entity named, by
// default the sample's.
std::string testbench(const Sample& sample, const std::string& entity = "") {
    const std::string width = std::to_string(sample.addressWidth);
    const std::string lastAddress = std::to_string((1 << sample.addressWidth) - 1);
    const bool clocked = sample.style == "block" || sample.style == "file";
    return "library ieee;\n"
           "use ieee.std_logic_1164.all;\n"
           "use ieee.numeric_std.all;\n"
           "use std.textio.all;\n"
           "entity tb is\nend tb;\n"
           "architecture sim of tb is\n"
           "  signal romaddr : std_logic_vector(" + width + " - 1 downto 0);\n"
           "  signal romout : std_logic_vector(" + std::to_string(dataWidth(sample) - 1) + " downto 0);\n"
           "  signal clk : std_logic := '0';\n"
           "begin\n"
           "  rom : entity work." + (entity.empty() ? sample.name : entity) + " port map (" +
           (clocked ? "clk => clk, " : "") + "romaddr => romaddr, romout => romout);\n"
           "  process\n"
           "    variable l : line;\n"
           "  begin\n"
           "    for address in 0 to " + lastAddress + " loop\n"
           "      romaddr <= std_logic_vector(to_unsigned(address, " + width + "));\n"
           "      wait for 1 ns;\n" +
           (clocked ? "      clk <= '1';\n      wait for 1 ns;\n      clk <= '0';\n" : "") +
           "      write(l, to_bitvector(romout));\n"
           "      writeline(output, l);\n"
           "    end loop;\n"
           "    wait;\n"
           "  end process;\n"
           "end sim;\n";
}

// False when the tool is missing; under CI that fails the test, since CI must install it.
bool installed(const std::string& tool) {
    if (std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0) {
        return true;
    }
    const char* ci = std::getenv("CI");
    if (ci != nullptr && std::string(ci) != "" && std::string(ci) != "false") {
        ADD_FAILURE() << tool << " is not installed; CI must install it (Debian package "
                      << (tool.rfind("ice", 0) == 0 ? "fpga-icestorm" : tool) << ")";
    }
    return false;
}

// Runs a shell command in folder with its messages in a log; the log after a failure, empty otherwise.
std::string shell(const fs::path& folder, const std::string& command) {
    const std::string line = "cd '" + folder.string() + "' && (" + command + ") >>run.log 2>&1";
    return std::system(line.c_str()) == 0 ? "" : command + ":\n" + readFile(folder / "run.log");
}

// Runs a GHDL command (-a, -e, -r or --synth) on units or files in folder, under one VHDL standard with a
// library folder of its own; its standard output goes to output.
std::string ghdl(const fs::path& folder, const std::string& standard, const std::string& command,
                 const std::string& operands, const fs::path& output) {
    fs::create_directories(folder / ("work" + standard));
    return shell(folder, "ghdl " + command + " --std=" + standard + " --workdir=work" + standard + " " + operands +
                             " >'" + output.string() + "'");
}

// The words a simulation printed, a line each in the radix given.
Image printedWords(const fs::path& output, int radix) {
    Image words;
    std::istringstream printed(readFile(output));
    for (std::string word; printed >> word && word.find_first_not_of("0123456789abcdef") == std::string::npos;) {
        words.push_back(std::stoull(word, nullptr, radix));
    }
    return words;
}

void PrintTo(const Sample& sample, std::ostream* stream) {
    *stream << sample.name;
}

class RoundTrip : public ::testing::TestWithParam<Sample> {};

const char* const kNoGhdl = "GHDL is not installed (Debian package ghdl): the VHDL round trip is not run";

TEST_P(RoundTrip, GhdlSimulatesTheImageFromTheVhdl) {
    if (!installed("ghdl")) {
        GTEST_SKIP() << kNoGhdl;
    }
    const Sample& sample = GetParam();
    TempDirectory temp;
    const fs::path vhdl = convert(ROMTOOLS_QUENLOR_PATH, ".vhd", sample, temp.path());
    if (sample.style == "file") {  // simulation and synthesis read it from the working folder
        convert(ROMTOOLS_SAPTRUM_PATH, ".mem", sample, temp.path());
    }
    std::vector<std::pair<fs::path, std::string>> units = {{vhdl, "93"}, {vhdl, "08"}};  // and the standard
    if (sample.synthesized) {  // the netlist is VHDL with the same entity and ports, in a folder of its own
        const fs::path netlist = temp.path() / "netlist" / "netlist.vhd";
        fs::create_directory(netlist.parent_path());
        ASSERT_EQ(ghdl(vhdl.parent_path(), "08", "--synth", vhdl.filename().string() + " -e " + sample.name, netlist), "");
        units.emplace_back(netlist, "08");
    }
    const Image expected = expectedImage(sample);

    for (const auto& [unit, standard] : units) {
        const fs::path folder = unit.parent_path();
        writeFile(folder / "tb.vhd", testbench(sample));
        const fs::path output = folder / ("sim" + standard + ".txt");
        ASSERT_EQ(ghdl(folder, standard, "-a", unit.filename().string() + " tb.vhd", output), "");
        ASSERT_EQ(ghdl(folder, standard, "-e", "tb", output), "");
        // Before the first address is set, numeric_std warns of metavalues at time 0: not a fault.
        ASSERT_EQ(ghdl(folder, standard, "-r", "tb --ieee-asserts=disable-at-0", output), "");
        EXPECT_EQ(printedWords(output, 2), expected) << unit.filename() << " --std=" << standard;
    }
}

// The open flow for iCE40 FPGAs maps a block-style ROM into memory blocks, with next to no logic.
TEST(Synthesis, BlockStyleFillsIce40MemoryBlocks) {
    if (!installed("ghdl") || !installed("yosys")) {
        GTEST_SKIP() << "GHDL or yosys is not installed (Debian packages ghdl, yosys)";
    }
    const Sample sample{"odd_objcopy", 9, {}, bitsAbove("odd_objcopy", 1), "odd.bin", "block"};  // 501 words of 512
    TempDirectory temp;
    const fs::path folder = convert(ROMTOOLS_QUENLOR_PATH, ".vhd", sample, temp.path()).parent_path();
    ASSERT_EQ(ghdl(folder, "08", "--synth", "--out=verilog odd_objcopy.vhd -e odd_objcopy", folder / "rom.v"), "");
    ASSERT_EQ(shell(folder, "yosys -q -p 'read_verilog rom.v; synth_ice40 -top odd_objcopy; tee -q -o stat.txt stat'"),
              "");
    const std::string statistics = readFile(folder / "stat.txt");
    const auto cells = [&statistics](const std::string& cell) {  // 0 when the netlist has none
        const std::size_t at = statistics.find(" " + cell + " ");
        return at == std::string::npos ? 0 : std::stoi(statistics.substr(at + cell.size() + 2));
    };
    EXPECT_GE(cells("SB_RAM40_4K"), 1) << statistics;
    EXPECT_LE(cells("SB_LUT4"), 16) << statistics;
}

// A word file made for wider words than the unit's stops the simulation at the first line that does
// not fit.
TEST(FileStyle, GhdlStopsOnAWordFileOfWiderWords) {
    if (!installed("ghdl")) {
        GTEST_SKIP() << kNoGhdl;
    }
    const Sample sample{"odd_srec_cat_16", 9, {}, bitsAbove("odd_srec_cat_16", 2), "odd.bin", "file"};
    TempDirectory temp;
    const fs::path folder = convert(ROMTOOLS_QUENLOR_PATH, ".vhd", sample, temp.path()).parent_path();
    convert(ROMTOOLS_SAPTRUM_PATH, ".mem", {"odd_srec_cat_16", 9, {"--data-width=16"}, "", "odd.bin"}, temp.path());
    writeFile(folder / "tb.vhd", testbench(sample));
    const fs::path output = folder / "sim.txt";  // where GHDL reports a failed assertion
    ASSERT_EQ(ghdl(folder, "08", "-a", "odd_srec_cat_16.vhd tb.vhd", output), "");
    ASSERT_EQ(ghdl(folder, "08", "-e", "tb", output), "");
    EXPECT_NE(ghdl(folder, "08", "-r", "tb", output), "");
    EXPECT_NE(readFile(output).find("odd_srec_cat_16.mem: line 1 is wider than 14 bits"), std::string::npos);
}

// A new firmware without synthesis, as the open iCE40 flow does it: the file style is built and placed
// once with icebram's random placeholder words, then icebram swaps the word file that saptrum writes
// into the placed design. Read back from the bitstream in simulation, every address gives the image.
TEST(Ice40, IcebramSwapsTheWordFileIntoAPlacedDesign) {
    for (const std::string tool : {"ghdl", "yosys", "nextpnr-ice40", "icebram", "icebox_vlog", "iverilog"}) {
        if (!installed(tool)) {
            GTEST_SKIP() << tool << " is not installed: the open iCE40 flow is not run";
        }
    }
    const Sample sample{"odd_srec_cat_16", 8, {"--data-width=16", "--crop"},
                        "odd_srec_cat_16" + kLeftOut + "8 are left out: 245, the first at address 0100\n", "odd.bin",
                        "file"};
    TempDirectory temp;
    const fs::path folder = convert(ROMTOOLS_QUENLOR_PATH, ".vhd", sample, temp.path()).parent_path();
    convert(ROMTOOLS_SAPTRUM_PATH, ".mem", sample, temp.path());
    // The pins of an HX1K in its TQ144 package, clk on a global buffer's.
    std::string pins = "set_io clk 21\n";
    std::string ports = ".clk(clk)";
    const int ioPins[] = {1, 2, 3, 4, 7, 8, 9, 10, 11, 12, 19, 22, 23, 24, 25, 26, 28, 29, 31, 32, 33, 34, 37, 38};
    for (int bit = 0; bit < 24; ++bit) {
        const std::string port = bit < 8 ? "romaddr[" + std::to_string(bit) + "]" : "romout[" + std::to_string(bit - 8) + "]";
        pins += "set_io " + port + " " + std::to_string(ioPins[bit]) + "\n";
        ports += ", .\\" + port + " (" + port + ")";
    }
    writeFile(folder / "rom.pcf", pins);
    writeFile(folder / "tb.v",
              "module tb;\n  reg clk = 0;\n  reg [7:0] romaddr = 0;\n  wire [15:0] romout;\n  chip c(" + ports +
                  ");\n  integer a;\n  initial begin\n    for (a = 0; a < 256; a = a + 1) begin\n      romaddr = a;\n"
                  "      #5 clk = 1;\n      #5 clk = 0;\n      #1 $display(\"%h\", romout);\n    end\n    $finish;\n  end\nendmodule\n");
    const std::string steps[] = {
        "icebram -g 16 256 >placeholder.mem",
        "ghdl --synth --std=08 -ginit_file=placeholder.mem --out=verilog odd_srec_cat_16.vhd -e odd_srec_cat_16 >rom.v",
        "yosys -q -p 'read_verilog rom.v; synth_ice40 -top odd_srec_cat_16 -json rom.json'",
        "nextpnr-ice40 -q --hx1k --package tq144 --json rom.json --pcf rom.pcf --asc rom.asc",
        // The firmware's own words in place of the placeholder's, then the bitstream a board takes.
        "icebram placeholder.mem odd_srec_cat_16.mem <rom.asc >new.asc && icepack new.asc new.bin",
        "icebox_vlog -p rom.pcf new.asc >chip.v",
        "iverilog -DNO_ICE40_DEFAULT_ASSIGNMENTS -o sim tb.v chip.v \"$(dirname \"$(command -v yosys)\")/../share/yosys/ice40/cells_sim.v\"",
        "vvp -n sim >sim.txt",
    };
    for (const std::string& step : steps) {
        ASSERT_EQ(shell(folder, step), "");
    }
    EXPECT_EQ(printedWords(folder / "sim.txt", 16), expectedImage(sample));
}

// README's steps that swap a firmware into a placed iCE40 design, its top.vhd, top.pcf and commands as
// written there, in a fresh folder with a 16-bit fw.hex.
TEST(Ice40, ReadmeSwapStepsRunAsWritten) {
    for (const std::string tool : {"ghdl", "yosys", "nextpnr-ice40", "icebram", "icepack"}) {
        if (!installed(tool)) {
            GTEST_SKIP() << tool << " is not installed: the open iCE40 flow is not run";
        }
    }
    TempDirectory temp;
    fs::copy_file(fs::path(ROMTOOLS_PRODUCERS_DIR) / "odd_srec_cat_16.hex", temp.path() / "fw.hex");
    writeFile(temp.path() / "top.vhd", readmeBlocks("```vhdl\n").at(0));
    writeFile(temp.path() / "top.pcf", readmeBlocks("```pcf\n").at(0));
    const std::string path = "PATH='" + fs::path(ROMTOOLS_QUENLOR_PATH).parent_path().string() + ":'\"$PATH\"\n";
    ASSERT_EQ(readmeBlocks("```sh\n").size(), 2u) << "the steps once, and for each firmware";
    for (const std::string& steps : readmeBlocks("```sh\n")) {
        ASSERT_EQ(shell(temp.path(), "set -e\n" + path + steps), "");
    }
    EXPECT_NE(readFile(temp.path() / "fw.asc"), readFile(temp.path() / "top.asc"));
}

TEST_P(RoundTrip, MifCarriesTheSameImage) {
    const Sample& sample = GetParam();
    TempDirectory temp;
    const fs::path mif = convert(ROMTOOLS_SAPTRUM_PATH, ".mif", sample, temp.path());
    const Image expected = expectedImage(sample);
    try {
        EXPECT_EQ(StrictMifReader(readFile(mif), dataWidth(sample)).read(), expected);
    } catch (const std::exception& refusal) {
        FAIL() << "a strict MIF reader refuses the file: " << refusal.what();
    }
}

// A classic image's configuration word lies beyond the default 13 address bits: both programs say so.
TEST(DefaultWidth, ClassicImageGivesTheWarning) {
    for (const auto& [program, extension] :
         {std::pair{ROMTOOLS_QUENLOR_PATH, ".vhd"}, std::pair{ROMTOOLS_SAPTRUM_PATH, ".mif"}}) {
        TempDirectory temp;
        convert(program, extension, fs::path(ROMTOOLS_PIC_DIR) / "classic_inhx8m.hex", "classic", "0\n", temp.path(),
                "classic.hex: warning: address 2007 does not fit the address width 13; a width of 14 holds every "
                "address, or --crop leaves such words out\n");
    }
}

// Every style under names that VHDL does not take as entity names, or that the units use themselves, and
// a path with a folder, as make passes them: GHDL analyses them without a warning and elaborates them.
TEST(EntityNames, GhdlAnalysesAndElaboratesThem) {
    if (!installed("ghdl")) {
        GTEST_SKIP() << kNoGhdl;
    }
    const auto mended = [](const std::string& from, const std::string& to) {
        return "entity name " + from + " is not a VHDL name; the entity is named " + to + "\n";
    };
    std::vector<std::tuple<std::string, std::string, std::string>> names = {  // stem, entity, notice
        {"build/fw", "fw", ""}, {"rom", "rom", ""},
        {"2rom", "rom_2rom", mended("2rom", "rom_2rom")}, {"My ROM", "my_rom", mended("my rom", "my_rom")},
        {"IEEE", "ieee_rom", mended("ieee", "ieee_rom")}};
    for (const std::string name : {"out", "to_integer", "line", "romaddr", "romout", "clk", "rom_type", "rom_data",
                                   "rom_words", "init_file", "words", "word", "text_line", "digit", "nibble",
                                   "address", "position", "file_name"}) {
        names.emplace_back(name, name + "_rom", mended(name, name + "_rom"));
    }
    for (const std::string style : {"case", "array", "block", "file"}) {
        TempDirectory temp;
        std::string files;
        for (const auto& [stem, entity, notice] : names) {
            convert(ROMTOOLS_QUENLOR_PATH, ".vhd", fs::path(ROMTOOLS_PIC_DIR) / "two_words_inhx8m.hex", stem, "0\n",
                    temp.path(), notice, {"--style", style});
            files += " '" + stem + ".vhd'";
        }
        for (const std::string standard : {"93c", "08"}) {
            const fs::path output = temp.path() / "ghdl.txt";
            EXPECT_EQ(ghdl(temp.path() / "work", standard, "-a -Werror", files, output), "") << style;
            for (const auto& [stem, entity, notice] : names) {
                EXPECT_EQ(ghdl(temp.path() / "work", standard, "-e", entity, output), "") << style << " " << stem;
            }
        }
    }
}

// Two file-style ROMs of one design, from two fw.hex, in one library: each unit reads the word file
// named after its own output, and gives its own words.
TEST(FileStyle, TwoRomsOfOneDesignReadTheirOwnWords) {
    if (!installed("ghdl")) {
        GTEST_SKIP() << kNoGhdl;
    }
    const Sample roms[] = {{"two_words_inhx8m", 8, {}, "", nullptr, "file"}, {"classic_inhx8m", 8, {"--crop"}, "", nullptr, "file"}};
    const std::string names[] = {"boot", "app"};
    TempDirectory temp;
    for (int i : {0, 1}) {
        const std::string notes = i == 1 ? "app/fw" + kLeftOut + "8 are left out: 10, the first at address 0100\n" : "";
        for (const auto& [program, form, extension] : {std::tuple{ROMTOOLS_QUENLOR_PATH, "--style=file", ".vhd"},
                                                        std::tuple{ROMTOOLS_SAPTRUM_PATH, "--format=mem", ".mem"}}) {
            std::vector<std::string> options = {form, "-o", names[i] + "_rom" + extension};
            options.insert(options.end(), roms[i].options.begin(), roms[i].options.end());
            convert(program, "", sampleFolder(roms[i]) / (roms[i].name + ".hex"), names[i] + "/fw", "8\n", temp.path(), notes, options);
        }
    }
    const fs::path folder = temp.path() / "work";
    const fs::path output = folder / "sim.txt";
    ASSERT_EQ(ghdl(folder, "08", "-a", "boot_rom.vhd app_rom.vhd", output), "");
    for (int i : {0, 1}) {
        writeFile(folder / "tb.vhd", testbench(roms[i], names[i] + "_rom"));
        for (const auto& [command, operands] : {std::pair{"-a", "tb.vhd"}, {"-e", "tb"}, {"-r", "tb --ieee-asserts=disable-at-0"}}) {
            ASSERT_EQ(ghdl(folder, "08", command, operands, output), "");
        }
        EXPECT_EQ(printedWords(output, 2), expectedImage(roms[i])) << names[i];
    }
}

std::string sampleName(const ::testing::TestParamInfo<Sample>& info) {
    return info.param.name + (crops(info.param) ? "_crop_" + std::to_string(info.param.addressWidth) : "") +
           (info.param.style != "case" || info.param.synthesized ? "_" + info.param.style : "") +
           (dataWidth(info.param) != 14 ? "_data_width_" + std::to_string(dataWidth(info.param)) : "") +
           (optionValue(info.param, "--fill=", 0) != 0 ? "_fill" : "");
}

INSTANTIATE_TEST_SUITE_P(PicSamples, RoundTrip, ::testing::ValuesIn(kSamples), sampleName);

}  // namespace
}  // namespace romtools::testing
