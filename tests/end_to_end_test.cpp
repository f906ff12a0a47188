// Runs the built programs the way a user does: in a folder of their own, with the HEX file's name as the
// argument and the answer typed on standard input. Every message and every output byte is compared.
//
// The same cases run the Windows programs under Wine when ROMTOOLS_TEST_WINE names the Wine loader and
// ROMTOOLS_TEST_WINDOWS_BIN the folder of quenlor.exe and saptrum.exe. There a backslash in a name
// separates folders, messages end in CR LF (standard error is a text stream on Windows), and the cases
// that need POSIX (links, SIGTERM and SIGHUP, closed descriptors) are skipped.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "program_run.h"

namespace romtools::testing {
namespace {

namespace fs = std::filesystem;

struct Program {
    std::string name;
    fs::path path;
    std::string extension;  // of its output files
};

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

const std::string kWine = environment("ROMTOOLS_TEST_WINE");
const bool kOnWindows = !kWine.empty();

fs::path programPath(const std::string& name, const char* builtPath) {
    return kOnWindows ? fs::path(environment("ROMTOOLS_TEST_WINDOWS_BIN")) / (name + ".exe") : fs::path(builtPath);
}

const Program kQuenlor{"quenlor", programPath("quenlor", ROMTOOLS_QUENLOR_PATH), ".vhd"};
const Program kSaptrum{"saptrum", programPath("saptrum", ROMTOOLS_SAPTRUM_PATH), ".mif"};

// A name as the file system of the run sees it: on Windows a backslash separates folders.
fs::path hostPath(std::string name) {
    if (kOnWindows) {
        std::replace(name.begin(), name.end(), '\\', '/');
    }
    return name;
}

// Messages as the program writes them: on Windows a text stream turns each line feed into CR LF, where
// a file's output, which has CR LF already, goes as it is.
std::string consoleText(const std::string& text) {
    std::string converted;
    for (const char character : text) {
        if (character == '\n' && kOnWindows && (converted.empty() || converted.back() != '\r')) {
            converted += '\r';
        }
        converted += character;
    }
    return converted;
}

std::string notHex(const std::string& argument) {
    return "Input file should be HEX file.\n" + argument +
           ": the name does not end in an Intel HEX extension (.hex, .ihx, .ihex, .ihe, .eep, .mcs, .a43, .a90, "
           ".h86, .hxl, .hxh, .obl, .obh)\n";
}

// The usage lines of option errors, with every option.
std::string usage(const Program& p) {
    return p.name == "quenlor"
               ? "usage: quenlor [-w width] [--data-width bits] [--big-endian] [--base address]\n"
                 "               [--fill word] [--style case|array|block|file] [--entity name]\n"
                 "               [-o output] [--crop] [--strict] [-h] [-V] [--] input_filename...\n"
               : "usage: saptrum [-w width] [--data-width bits] [--big-endian] [--base address]\n"
                 "               [--fill word] [--format mif|mem|coe] [-o output] [--crop]\n"
                 "               [--strict] [-h] [-V] [--] input_filename...\n";
}

// The warning of a file read to its end without an end record, or without a word for the ROM.
std::string noEndRecord(const std::string& input = "prog.hex") {
    return input + ": warning: the file has no end record\n";
}
std::string noWord(const std::string& input = "prog.hex") {
    return input + ": warning: the file gives no word for the ROM\n";
}

std::string golden(const std::string& name) {
    const fs::path path = fs::path(ROMTOOLS_GOLDEN_DIR) / name;
    // The cases are built before any test runs; a missing file shows as a mismatch in the tests using it.
    return fs::exists(path) ? readFile(path) : "<missing golden file " + name + ">";
}

// A HEX file big enough that its output outgrows every buffer on the way to the disk.
// Its records follow each other and carry real checksums: a clean file.
std::string largeHexFile() {
    std::string file;
    char record[32];
    for (unsigned address = 0; address < 4000 * 8; address += 8) {
        const unsigned sum = 0x08 + (address >> 8) + (address & 0xFF) + 0x129;  // 0x129: the data bytes
        std::snprintf(record, sizeof record, ":08%04X0000283F308A000800%02X\r\n", address, (0x100 - sum % 0x100) % 0x100);
        file += record;
    }
    return file + ":00000001FF\r\n";
}

// The HEX file through a FIFO named prog.hex, paused past the reader's first 64 KiB block, so that the
// run has written part of its output by then.
PausedInput pausedPartWay(const std::string& hex, std::function<void()> whilePaused = {}) {
    const std::size_t head = 96 * 1024;
    return {"prog.hex", hex.substr(0, head), hex.substr(head), std::move(whilePaused)};
}

const std::string kPreviousOutput = "the previous output\n";

// The worked example linked at 08000000, as a Cortex-M image lies in its flash.
const std::string kLinkedHigh = ":020000040800F2\r\n" + golden("seven_words.hex");

// The line after a run whose words do not all fit the address width.
std::string fitWarning(const std::string& address, std::int32_t width, int needed,
                       const std::string& input = "prog.hex") {
    return input + ": warning: address " + address + " does not fit the address width " + std::to_string(width) +
           "; a width of " + std::to_string(needed) + " holds every address, or --crop leaves such words out\n";
}
// The worked example's word at 0010 lies beyond 4 address bits.
const std::string kBeyond4Bits = fitWarning("0010", 4, 5);

// One case, as a user meets it. The work folder holds the HEX file, sub/prog.hex and -prog.hex (the
// worked example) and, unless none, a previous output prog.<extension>; everything there stays as it
// was but what the run converts into, and nothing else is left behind.
struct Row {
    const char* name = "";
    const Program* program = nullptr;                 // the one it is for; made for both when null
    std::vector<std::string> arguments = {"prog.hex"};
    std::string answer{};                             // typed on standard input, which stays open...
    bool endInput = false;                            // ...unless it ends after the answer
    std::string standardError{};
    std::string standardOutput{};
    std::optional<int> status{};                      // otherwise 0 for an output, -1 for a signal, 1 else
    bool awaitsKeystroke = false;
    int signal = 0;                                   // sent once the program waits; it then ends by it
    std::string hexName = "prog.hex";                 // the HEX file
    std::string hex = golden("seven_words.hex");
    std::string directory{};                          // made in the work folder
    std::pair<std::string, std::string> link{};       // name, target: a device, prog.hex or a file it makes
    bool previousOutput = true;                       // stands under prog.<extension> before the run
    std::string previousContents = kPreviousOutput;
    long fileSizeLimit = 0;
    bool paused = false;                              // the HEX file comes through a FIFO, paused part way
    bool errorToClosedPipe = false;
    bool inputIsATerminal = false;
    std::vector<int> closedDescriptors{};             // standard streams the program starts without
    int outputMode = 0;                               // of the previous output, and kept
    std::string converted{};                          // the golden output the run leaves, bare or with a form's extension,
    std::vector<std::string> convertedInto{};         // under these names; by default the HEX file's stem's
    bool posixOnly = false;                           // links, signals, limits or descriptors
};

// Every case of one program, in one table: add a case as one row.
std::vector<Row> rowsFor(const Program& p) {
    const std::string out = "prog" + p.extension;
    const std::string sub = "sub/prog" + p.extension;
    const std::string asked = kQuestion + "\n";
    const std::string notWritten = "output file " + out + " not written: --strict makes warnings errors\n";
    const std::string cannotWrite = "can not write output file " + out + "\n" + out + ": No space left on device\n";
    const std::string missing = "can not open input file missing.hex\nmissing.hex: No such file or directory\n";
    const std::string manyFiles = kBeyond4Bits + missing + fitWarning("0010", 4, 5, "sub/prog.hex");
    const std::string tooWide = "the array style takes address widths up to 24\n";
    const std::string large = largeHexFile();
    const std::pair<std::string, std::string> toFull{out, "/dev/full"};
    const std::pair<std::string, std::string> toReal{out, "real" + p.extension};
    const std::string longName = std::string(246, 'n') + ".mif";
    const std::string unanswered = "no answer on standard input; the address width is 13\n";
    const std::string strictUnanswered = "no answer on standard input, and --strict takes no default width: give -w\n";
    const Program* const q = &kQuenlor;
    const Program* const m = &kSaptrum;
    const Row rows[] = {
        // Conversions that succeed.
        {.name = "WorkedExample", .arguments = {"work\\Prog.hex"}, .answer = "4\n",
         .standardError = asked + fitWarning("0010", 4, 5, "work\\Prog.hex"), .hexName = "work\\Prog.hex",
         .converted = "seven_words_width_4"},
        {.name = "LfLineEnds", .answer = "4\n", .standardError = asked + kBeyond4Bits,
         .hex = golden("seven_words_lf.hex"), .converted = "seven_words_width_4"},
        {.name = "CtrlZEndsTheInput", .answer = "4\n", .standardError = asked + kBeyond4Bits,
         .hex = golden("seven_words_ctrl_z.hex"), .converted = "seven_words_width_4"},
        {.name = "DefaultWidthForZero", .answer = "0\n", .standardError = asked, .converted = "seven_words_width_13"},
        // Configuration words and EEPROM data above 64 KiB lie beyond the width; FFE4 and DFFF set the bits
        // above it all to 1, as PIC configuration words do, and give no warning.
        {.name = "Inhx32Image", .answer = "0\n", .standardError = asked + fitWarning("8007", 13, 16),
         .hex = golden("inhx32.hex"), .converted = "inhx32_width_13"},
        {.name = "RepeatedAddress", .answer = "2\n",
         .standardError = asked + "prog.hex:2: warning: word address 0000 was given before\n",
         .hex = golden("repeated_address.hex"), .converted = "repeated_address_width_2"},
        {.name = "NoWords", .answer = "4\n", .standardError = asked + noWord(), .hex = golden("end_record_only.hex"),
         .converted = "end_record_only_width_4"},
        {.name = "UpperCaseExtension", .arguments = {"prog.HEX"}, .answer = "4\n",
         .standardError = asked + kBeyond4Bits, .converted = "seven_words_width_4"},
        // The HEX file under its own name; Windows tells no case apart, and opens it by the lower-case one.
        {.name = "UpperCaseExtensionOnTheFile", .arguments = {"prog.HEX"}, .answer = "4\n",
         .standardError = asked + fitWarning("0010", 4, 5, kOnWindows ? "prog.hex" : "prog.HEX"), .hexName = "prog.HEX",
         .converted = "seven_words_width_4"},
        // --crop leaves out the word beyond 4 bits, with a note that --strict does not fail on.
        {.name = "CropWithStrict", .arguments = {"--crop", "--strict", "prog.hex"}, .answer = "4\n",
         .standardError = asked + "prog.hex: note: words beyond the address width 4 are left out: 1, the first at address 0010\n",
         .converted = "seven_words_width_4_cropped"},
        {.name = "StrictOnACleanFile", .arguments = {"--strict", "prog.hex"}, .answer = "0\n", .standardError = asked,
         .converted = "seven_words_width_13"},
        // Standard input ended before an answer, as make -j leaves it to all jobs but one: the default is
        // said, and --strict takes none.
        {.name = "DefaultWidthAtEndOfInput", .endInput = true, .standardError = asked + unanswered,
         .converted = "seven_words_width_13"},
        {.name = "UnansweredWithStrict", .arguments = {"--strict", "prog.hex", "sub/prog.hex"}, .answer = " \n",
         .endInput = true, .standardError = asked + strictUnanswered + strictUnanswered},
        // Closed standard streams read and write as the null device; no file of the run takes their place.
        {.name = "ClosedStandardInput", .standardError = asked + unanswered, .closedDescriptors = {0},
         .converted = "seven_words_width_13", .posixOnly = true},
        {.name = "ClosedStandardOutputAndError", .answer = "4\n", .closedDescriptors = {1, 2},
         .converted = "seven_words_width_4", .posixOnly = true},
        {.name = "ExistingOutputReplaced", .answer = "4\n", .standardError = asked + noWord(),
         .hex = golden("end_record_only.hex"), .previousContents = std::string(5000, 'x'),
         .converted = "end_record_only_width_4"},
        // An output equal to the file it would replace leaves that file as it was, time stamp and all.
        {.name = "UnchangedOutputLeftAlone", .arguments = {"-w", "4", "prog.hex"}, .standardError = kBeyond4Bits,
         .previousContents = golden("seven_words_width_4" + p.extension), .converted = "seven_words_width_4"},
        // The fill word is judged against the data width, before the command is judged as a whole.
        {.name = "FillAboveTheDataWidth", .arguments = {"--fill=0x4000"},
         .standardError = "invalid fill word 0x4000; it is 0x followed by up to 16 hex digits, or a decimal number, "
                          "below 2 to the power 14\n" + usage(p)},
        {.name = "FillBeyond64Bits", .arguments = {"--data-width=64", "--fill", "18446744073709551616", "prog.hex"},
         .standardError = "invalid fill word 18446744073709551616; it is 0x followed by up to 16 hex digits, or a "
                          "decimal number, below 2 to the power 64\n" + usage(p)},
        // A file that is not Intel HEX fails, with no output, even to standard output, and says what it is.
        {.name = "NotIntelHexEmpty", .answer = "4\n",
         .standardError = asked + "prog.hex: not an Intel HEX file: it holds no record\n", .awaitsKeystroke = true,
         .hex = " \r\n\t\n"},
        {.name = "NotIntelHexSRecords", .arguments = {"-w", "4", "-o", "-", "prog.hex"},
         .standardError = "prog.hex:1: not an Intel HEX file: it starts with 'S', as a Motorola S-record file does\n",
         .hex = "S00F000068656C6C6F\r\n"},
        {.name = "NotIntelHexElf", .arguments = {"-w4", "prog.hex"},
         .standardError = "prog.hex:1: not an Intel HEX file: it starts with byte 0x7F, as an ELF file does\n",
         .hex = "\x7F" "ELF\x02\x01"},
        {.name = "NotIntelHexUtf16", .arguments = {"-w4", "prog.hex"},
         .standardError = "prog.hex:1: not an Intel HEX file: it starts with byte 0xFF, as a UTF-16 text file does\n",
         .hex = "\xFF\xFE:\x00"},
        {.name = "NotIntelHexBinary", .arguments = {"-w4", "prog.hex"},
         .standardError = "prog.hex:3: not an Intel HEX file: it starts with byte 0x02\n", .hex = "\r\n\n\x02\x00:"},
        // Lines after the end record that cannot start a record, as the CCS compiler writes them, are
        // skipped: the record after them is read, and --strict has nothing to fail.
        {.name = "TrailerAfterTheEndRecord", .arguments = {"--strict", "prog.hex"}, .answer = "0\n",
         .standardError = asked,
         .hex = ":0800000000283F308A000800CF\r\n:04000800FF3F341270\r\n:00000001FF\r\n;PIC16F877A\r\n" ";CRC=8C4A  CREATED=\"07-Dec-26 19:45\"\r\n:02002000FFFFE0\r\n:00000001FF\r\n",
         .converted = "seven_words_width_13"},
        // The command line and the files.
        {.name = "NoArgument", .arguments = {}, .standardError = "usage: " + p.name + " input_filename\n"},
        // .ihx and .ihex, as SDCC and others name HEX files, in any letter case.
        {.name = "IhxExtension", .arguments = {"prog.IHX"}, .answer = "4\n",
         .standardError = asked + fitWarning("0010", 4, 5, "prog.IHX"), .hexName = "prog.IHX",
         .converted = "seven_words_width_4"},
        {.name = "OtherExtension", .arguments = {"prog.txt"}, .standardError = notHex("prog.txt")},
        // Other Intel HEX names keep their extension, with the output's after it.
        {.name = "A43Extension", .program = m, .arguments = {"-w", "4", "prog.A43"},
         .standardError = fitWarning("0010", 4, 5, "prog.A43"), .hexName = "prog.A43", .converted = "seven_words_width_4",
         .convertedInto = {"prog.A43.mif"}},
        {.name = "NoExtension", .arguments = {"prog"}, .standardError = notHex("prog")},
        {.name = "EmptyArgument", .arguments = {""}, .standardError = notHex("")},
        {.name = "DotOnlyInDirectoryPart", .arguments = {"dir.d\\prog"}, .standardError = notHex("dir.d\\prog")},
        {.name = "DriveStyleOtherExtension", .arguments = {"C:\\Work\\ROM.Hexe"},
         .standardError = notHex("C:\\Work\\ROM.Hexe")},
        {.name = "MissingInput", .arguments = {"missing.hex"}, .standardError = missing, .awaitsKeystroke = true},
        // In a terminal the wait would look like a hang without the line before it.
        {.name = "MissingInputOnATerminal", .arguments = {"missing.hex"},
         .standardError = missing + "press Enter to go on\n", .awaitsKeystroke = true, .inputIsATerminal = true,
         .posixOnly = true},
        {.name = "MissingUpperCaseInput", .arguments = {"missing.HEX"}, .standardError = missing,
         .awaitsKeystroke = true},
        {.name = "OutputCannotBeCreated",
         .standardError = "can not create output file " + out + "\n" + out + ": Is a directory\n",
         .awaitsKeystroke = true, .directory = out, .previousOutput = false},
        // Linux opens a directory and fails on the first read; the run must not take that for an empty file.
        {.name = "InputIsADirectory", .arguments = {"dir.hex"}, .answer = "4\n",
         .standardError = asked + "can not read input file dir.hex\ndir.hex: Is a directory\n", .awaitsKeystroke = true,
         .directory = "dir.hex", .posixOnly = true},
        // A device is written directly, and never removed; the rest of the answer's line is not the key.
        {.name = "DiskFull", .answer = "4 bits\n", .standardError = asked + cannotWrite, .awaitsKeystroke = true,
         .link = toFull, .previousOutput = false, .posixOnly = true},
        {.name = "DiskFullWithLargeOutput", .answer = "4 bits\n", .standardError = asked + cannotWrite,
         .awaitsKeystroke = true, .hex = large, .link = toFull, .previousOutput = false, .posixOnly = true},
        {.name = "FileSizeLimit", .answer = "4\n",
         .standardError = asked + "can not write output file " + out + "\n" + out + ": File too large\n",
         .awaitsKeystroke = true, .hex = large, .fileSizeLimit = 64 * 1024, .posixOnly = true},
        // The output would replace the input.
        {.name = "OutputIsALinkToTheInput",
         .standardError = "can not create output file " + out + "\n" + out + ": it is the input file\n",
         .awaitsKeystroke = true, .link = {out, "prog.hex"}, .previousOutput = false, .posixOnly = true},
        // Ended while it waits for the answer, or part way through the HEX file through a link: no cut-off
        // output stays, and the previous one is kept. Wine turns SIGINT into Ctrl-C.
        {.name = "Interrupted", .standardError = kQuestion, .signal = SIGINT},
        {.name = "Terminated", .standardError = kQuestion, .signal = SIGTERM, .posixOnly = true},
        {.name = "HungUp", .standardError = kQuestion, .signal = SIGHUP, .posixOnly = true},
        {.name = "InterruptedMidRunThroughALink", .answer = "4\n", .standardError = asked, .signal = SIGINT,
         .hex = large, .link = toReal, .previousOutput = false, .paused = true, .posixOnly = true},
        {.name = "QuitMidRun", .answer = "4\n", .standardError = asked, .signal = SIGQUIT, .hex = large,
         .link = toReal, .previousOutput = false, .paused = true, .posixOnly = true},
        // Answers that are no ROM's width are refused; a mistyped one saturates rather than wrap round.
        {.name = "WidthAbove64Refused", .answer = "65\n", .standardError = asked + "address width 65 is too large, at most 64\n",
         .awaitsKeystroke = true},
        {.name = "LargestWidthRefused", .answer = "2147483647\n",
         .standardError = asked + "address width 2147483647 is too large, at most 64\n", .awaitsKeystroke = true},
        {.name = "MistypedWidthRefused", .answer = "99999999999\n",
         .standardError = asked + "address width 2147483647 is too large, at most 64\n", .awaitsKeystroke = true},
        {.name = "NegativeWidthRefused", .answer = "-3\n",
         .standardError = asked + "address width -3 is too small, at least 1\n", .awaitsKeystroke = true},
        {.name = "MostNegativeWidthRefused", .answer = "-2147483648\n",
         .standardError = asked + "address width -2147483648 is too small, at least 1\n", .awaitsKeystroke = true},
        // --strict fails a file on any warning; its output stays as it was, or a device got it as it went. An
        // empty file, and one that a stopped build cut at a line end, are doubts too.
        {.name = "StrictFailsOnAReaderWarning", .arguments = {"--strict", "prog.hex"}, .answer = "2\n",
         .standardError = asked + "prog.hex:2: warning: word address 0000 was given before\n" + notWritten,
         .awaitsKeystroke = true, .hex = golden("repeated_address.hex")},
        // RISC-V's ret, 00008067, at the default width: its low half loses bit 15.
        {.name = "StrictFailsOnBitsAboveTheDataWidth", .arguments = {"-w", "4", "--strict", "prog.hex"},
         .standardError = "prog.hex:1: warning: word address 0000 holds 8067, more bits than the data width 14; the "
                          "ROM keeps the low 14\n" + notWritten,
         .hex = ":040000006780000015\r\n:00000001FF\r\n"},
        // The bytes of a word that the end of the input cuts are no data, whatever the word's size.
        {.name = "StrictFailsOnAFileCutInItsFirstWord", .arguments = {"-w", "4", "--data-width=32", "--strict", "prog.hex"},
         .standardError = "prog.hex:1: warning: the file ends inside a record\n" + noEndRecord() + noWord() + notWritten,
         .hex = ":0200000012"},
        {.name = "StrictFailsOnAFileCutAtALineEnd", .arguments = {"--strict", "prog.hex"}, .answer = "4\n",
         .standardError = asked + noEndRecord() + notWritten, .awaitsKeystroke = true,
         .hex = ":0800000000283F308A000800CF\r\n:04000800FF3F341270\r\n"},
        {.name = "StrictOnADevice", .arguments = {"--strict", "prog.hex"}, .answer = "4\n",
         .standardError = asked + kBeyond4Bits + "output file " + out +
                          " was written as it went, but --strict makes warnings errors\n",
         .awaitsKeystroke = true, .link = {out, "/dev/null"}, .previousOutput = false, .posixOnly = true},
        // A complete output replaces the previous one and keeps its permission bits.
        {.name = "ReplacedOutputKeepsItsMode", .answer = "4\n", .standardError = asked + noWord(),
         .hex = golden("end_record_only.hex"), .outputMode = 0640, .converted = "end_record_only_width_4",
         .posixOnly = true},
        // A standard error that cannot be written does not end the run.
        {.name = "StandardErrorToAClosedPipe", .answer = "4\n", .previousOutput = false, .errorToClosedPipe = true,
         .converted = "seven_words_width_4", .posixOnly = true},
        // Options and many files; with -w nothing may read standard input, which stays open.
        {.name = "WidthOption", .arguments = {"-w", "4", "prog.hex"}, .standardError = kBeyond4Bits,
         .converted = "seven_words_width_4"},
        {.name = "OptionsAfterTheFile", .arguments = {"prog.hex", "-w", "4", "-o", sub}, .standardError = kBeyond4Bits,
         .converted = "seven_words_width_4", .convertedInto = {sub}},
        {.name = "RepeatedOptionCountsLast", .arguments = {"-w", "9", "prog.hex", "-w4"}, .standardError = kBeyond4Bits,
         .converted = "seven_words_width_4"},
        {.name = "StandardInput", .arguments = {"-w", "4", "-", "-o", out}, .answer = golden("seven_words.hex"),
         .endInput = true, .standardError = fitWarning("0010", 4, 5, "<stdin>"), .converted = "seven_words_width_4"},
        // Standard output gets the bytes a file gets, CR LF on every system, and the unit is named after the input.
        {.name = "StandardOutput", .arguments = {"-w", "4", "-o", "-", "prog.hex"}, .standardError = kBeyond4Bits,
         .standardOutput = golden("seven_words_width_4" + p.extension)},
        {.name = "StandardInputNeedsWidthAndOutput", .arguments = {"-w", "4", "-"},
         .standardError = "reading the image from standard input needs -w and -o\n" + usage(p)},
        {.name = "NameThatStartsWithAMinus", .arguments = {"-w", "4", "prog.hex", "-prog.hex"},
         .standardError = "unknown option -prog.hex\n" + usage(p)},
        {.name = "WidthAndOutputOptions", .arguments = {"-w4", "-o", sub, "prog.hex"}, .standardError = kBeyond4Bits,
         .converted = "seven_words_width_4", .convertedInto = {sub}},
        {.name = "LongOptions", .arguments = {"--width=4", "--output=prog.rom", "prog.hex"},
         .standardError = kBeyond4Bits, .converted = "seven_words_width_4", .convertedInto = {"prog.rom"}},
        {.name = "LongOptionsApart", .arguments = {"--width", "4", "--output", sub, "prog.hex"},
         .standardError = kBeyond4Bits, .converted = "seven_words_width_4", .convertedInto = {sub}},
        {.name = "DoubleDashEndsTheOptions", .arguments = {"-w", "4", "--", "-prog.hex"},
         .standardError = (&p == q ? "entity name -prog is not a VHDL name; the entity is named prog\n" : "") + fitWarning("0010", 4, 5, "-prog.hex"),
         .converted = "seven_words_width_4", .convertedInto = {"-prog" + p.extension}},
        {.name = "ManyFiles", .arguments = {"-w", "4", "prog.hex", "missing.hex", "sub/prog.hex"},
         .standardError = manyFiles, .status = 1, .converted = "seven_words_width_4", .convertedInto = {out, sub}},
        // Without -w the first file asks; its answer serves the others, and a failure awaits a key.
        {.name = "ManyFilesAskOnce", .arguments = {"prog.hex", "missing.hex", "sub/prog.hex"}, .answer = "4\n",
         .standardError = asked + manyFiles, .status = 1, .awaitsKeystroke = true, .converted = "seven_words_width_4",
         .convertedInto = {out, sub}},
        {.name = "StrictFailsOnTheWidthWarning", .arguments = {"-w", "4", "--strict", "prog.hex"},
         .standardError = kBeyond4Bits + notWritten},
        {.name = "WidthOutOfRange", .arguments = {"-w", "65", "prog.hex"},
         .standardError = "invalid address width 65; it is 1 to 64\n"},
        {.name = "WidthNotANumber", .arguments = {"--width=4x", "prog.hex"},
         .standardError = "invalid address width 4x; it is 1 to 64\n"},
        {.name = "DataWidthOutOfRange", .arguments = {"-w", "4", "--data-width", "0", "prog.hex"},
         .standardError = "invalid data width 0; it is 1 to 64\n"},
        // An image linked high: --base brings it down, data below it is said; without, no word fits.
        {.name = "BaseOfAnImageLinkedHigh", .arguments = {"-w", "4", "--base=0x0800000", "--base", "0X08000000", "prog.hex"},
         .standardError = "prog.hex:1: warning: data at 00000000 lies below the base address 08000000; it is left out\n" +
                          kBeyond4Bits,
         .hex = ":0400000001020304F2\r\n" + kLinkedHigh, .converted = "seven_words_width_4"},
        // --crop leaves data below the base out too, counting each byte as given; the words it leaves out,
        // the one at 0010 given twice, are not judged.
        {.name = "BaseWithCrop", .arguments = {"-w", "4", "--base=0x08000000", "--crop", "--strict", "prog.hex"},
         .standardError = "prog.hex: note: words beyond the address width 4 are left out: 2, the first at address 0010\n"
                          "prog.hex: note: bytes below the base address 08000000 are left out: 8, the first at address "
                          "00000000\n",
         .hex = ":0400000001020304F2\r\n:0400000001020304F2\r\n" + kLinkedHigh + ":02002000FFFFE0\r\n",
         .converted = "seven_words_width_4_cropped"},
        // A big-endian core's image, the worked example's words with their bytes the other way round.
        {.name = "BigEndian", .arguments = {"-w", "4", "--big-endian", "--crop", "prog.hex"},
         .standardError = "prog.hex: note: words beyond the address width 4 are left out: 1, the first at address 0010\n",
         .hex = ":080000002800303F008A0008CF\r\n:040008003FFF123470\r\n:02002000FFFFE0\r\n:00000001FF\r\n",
         .converted = "seven_words_width_4_cropped"},
        {.name = "ImageLinkedHighWithoutBase", .arguments = {"-w", "4", "--crop", "prog.hex"},
         .standardError = "prog.hex: warning: no word of the file lies within the address width 4; its data starts at "
                          "byte address 08000000\n"
                          "prog.hex: note: words beyond the address width 4 are left out: 7, the first at address 4000000\n",
         .hex = kLinkedHigh, .converted = "end_record_only_width_4"},
        {.name = "BaseAboveFFFFFFFF", .arguments = {"--base", "4294967296", "prog.hex"},
         .standardError = "invalid base address 4294967296; it is 0x followed by up to 8 hex digits, or a decimal "
                          "number below 4294967296\n" + usage(p)},
        {.name = "OutputWithTwoFiles", .arguments = {"-o", "x.out", "prog.hex", "sub/prog.hex"},
         .standardError = "-o is allowed with one input file only\n" + usage(p)},
        {.name = "UnknownOption", .arguments = {"--wide", "4", "prog.hex"},
         .standardError = "unknown option --wide\n" + usage(p)},
        {.name = "OptionWithoutItsValue", .arguments = {"-o"}, .standardError = "option -o needs a value\n" + usage(p)},
        {.name = "OptionsWithoutFiles", .arguments = {"-w", "4"}, .standardError = usage(p)},
        {.name = "Help", .arguments = {"--help"}, .standardOutput = golden(p.name + "_help.txt")},
        {.name = "HelpBeforeAnythingElse", .arguments = {"-h", "-x"}, .standardOutput = golden(p.name + "_help.txt")},
        {.name = "Version", .arguments = {"-V"}, .standardOutput = p.name + " (romtools) " ROMTOOLS_VERSION "\n"},
        // What only the VHDL shows: address bit strings, the styles and the entity's name, named after the
        // file's last part, which is mended when VHDL does not take it (vhdl_entity_test.cpp has every rule).
        {.name = "AnswerAfterBlankLines", .program = q, .answer = "\n  \n 8\n", .standardError = asked,
         .converted = "seven_words_width_8"},
        {.name = "AddressWiderThan32Bits", .program = q, .answer = "40\n", .standardError = asked,
         .converted = "seven_words_width_40"},
        {.name = "DataWidth32", .program = q, .arguments = {"--data-width", "32", "prog.hex"}, .answer = "4\n",
         .standardError = asked, .converted = "seven_words_width_4_data_width_32"},
        {.name = "ArrayStyle", .program = q, .arguments = {"--style", "array", "prog.hex"}, .answer = "6\n",
         .standardError = asked, .converted = "seven_words_width_6_array"},
        {.name = "BlockStyle", .program = q, .arguments = {"--style=block", "prog.hex"}, .answer = "6\n",
         .standardError = asked, .converted = "seven_words_width_6_block"},
        {.name = "ArrayStyleWidthOption", .program = q, .arguments = {"-w", "25", "prog.hex", "--style=array"},
         .standardError = tooWide},
        {.name = "BlockStyleWidthOption", .program = q, .arguments = {"-w25", "--style", "block", "prog.hex"},
         .standardError = "the block style takes address widths up to 24\n"},
        {.name = "InvalidStyle", .program = q, .arguments = {"--style", "arrays", "prog.hex"},
         .standardError = "invalid style arrays; it is case, array, block or file\n" + usage(p)},
        // The file style's unit reads its words from the word file saptrum --format mem writes.
        // Its word file follows the output's name, and --entity names the entity alone.
        {.name = "FileStyle", .program = q,
         .arguments = {"--style", "file", "--entity=Boot-Rom", "-o", "sub/boot_rom.vhd", "prog.hex"}, .answer = "6\n",
         .standardError = asked + "entity name boot-rom is not a VHDL name; the entity is named boot_rom\n",
         .converted = "seven_words_width_6_file", .convertedInto = {"sub/boot_rom.vhd"}},
        {.name = "EntityWithTwoFiles", .program = q, .arguments = {"--entity", "rom", "prog.hex", "sub/prog.hex"},
         .standardError = "--entity is allowed with one input file only\n" + usage(p)},
        {.name = "FormatIsNoOption", .program = q, .arguments = {"--format", "mem", "prog.hex"},
         .standardError = "unknown option --format\n" + usage(p)},
        {.name = "ArrayStyleWidthAnswer", .program = q, .arguments = {"--style", "array", "prog.hex"}, .answer = "25\n",
         .standardError = asked + tooWide, .awaitsKeystroke = true},
        {.name = "FolderLeftOut", .program = q, .arguments = {"build/prog.hex"}, .answer = "4\n",
         .standardError = asked + noWord("build/prog.hex"), .hexName = "build/prog.hex",
         .hex = golden("end_record_only.hex"), .converted = "end_record_only_width_4"},
        {.name = "LeadingUnderscoreDropped", .program = q, .arguments = {"_prog.hex"}, .answer = "4\n",
         .standardError = asked + "entity name _prog is not a VHDL name; the entity is named prog\n" + noWord("_prog.hex"),
         .hexName = "_prog.hex", .hex = golden("end_record_only.hex"), .converted = "end_record_only_width_4"},
        // What only the MIF shows: its depth, and its width. The temporary file's name is cut short, or
        // ".<name>.<pid>.tmp" would pass the system's limit of 255 characters; Windows limits the whole path.
        {.name = "OutputNameOf250Characters", .program = m, .arguments = {"-w", "4", "-o", longName, "prog.hex"},
         .standardError = kBeyond4Bits, .converted = "seven_words_width_4", .convertedInto = {longName},
         .posixOnly = true},
        {.name = "Width1", .program = m, .answer = "1\n", .standardError = asked + fitWarning("0002", 1, 5),
         .converted = "seven_words_width_1"},
        {.name = "DataWidth8", .program = m, .arguments = {"--data-width=8", "prog.hex"}, .answer = "6\n",
         .standardError = asked, .converted = "seven_words_width_6_data_width_8"},
        // Depths beyond 32 bits are written exactly, up to 64 address bits.
        {.name = "Width31", .program = m, .answer = "31\n", .standardError = asked + noWord(),
         .hex = golden("end_record_only.hex"), .converted = "end_record_only_width_31"},
        {.name = "Width32", .program = m, .answer = "32\n", .standardError = asked + noWord(),
         .hex = golden("end_record_only.hex"), .converted = "end_record_only_width_32"},
        {.name = "Width64", .program = m, .answer = "64\n", .standardError = asked + noWord(),
         .hex = golden("end_record_only.hex"), .converted = "end_record_only_width_64"},
        {.name = "ExtensionOnly", .program = m, .arguments = {".hex"}, .answer = "4\n",
         .standardError = asked + noWord(".hex"), .hexName = ".hex", .hex = golden("end_record_only.hex"),
         .converted = "end_record_only_width_4"},
        {.name = "StyleIsNoOption", .program = m, .arguments = {"--style", "array", "prog.hex"},
         .standardError = "unknown option --style\n" + usage(p)},
        {.name = "EntityIsNoOption", .program = m, .arguments = {"--entity=rom", "prog.hex"},
         .standardError = "unknown option --entity=rom\n" + usage(p)},
        // A word file and a COE hold every address; the word beyond the width cannot go in.
        {.name = "WordFile", .program = m, .arguments = {"--format", "mem", "-w", "4", "prog.hex"},
         .standardError = kBeyond4Bits, .converted = "seven_words_width_4.mem"},
        // SDCC's memory report stands under the word file's default name: it is kept.
        {.name = "OtherToolsFileKept", .program = m, .arguments = {"--format", "mem", "-w", "4", "prog.hex"},
         .standardError = "can not create output file prog.mem\nprog.mem: it is not a word file, so it is kept; -o names "
                          "the output to write\n",
         .link = {"prog.mem", "report.txt"}, .posixOnly = true},
        {.name = "CoeFile", .program = m, .arguments = {"--format=coe", "prog.hex"}, .answer = "4\n",
         .standardError = asked + kBeyond4Bits, .converted = "seven_words_width_4.coe"},
        // The fill word stands at every address the image gives none (the round trips read it in every form).
        {.name = "FillCoe", .program = m, .arguments = {"--format", "coe", "-w", "2", "--fill=0x3FFF", "prog.hex"},
         .standardError = noWord(), .hex = golden("end_record_only.hex"), .converted = "end_record_only_width_2_fill.coe"},
        {.name = "InvalidFormat", .program = m, .arguments = {"--format", "hex", "prog.hex"},
         .standardError = "invalid format hex; it is mif, mem or coe\n" + usage(p)},
        {.name = "WordFileWidthOption", .program = m, .arguments = {"-w", "25", "--format", "mem", "prog.hex"},
         .standardError = "the mem format takes address widths up to 24\n"},
    };
    std::vector<Row> rowsOfProgram;
    for (Row row : rows) {
        if (row.program == nullptr || row.program == &p) {
            row.program = &p;
            rowsOfProgram.push_back(row);
        }
    }
    return rowsOfProgram;
}

std::set<fs::path> entriesBelow(const fs::path& directory) {
    std::set<fs::path> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(directory)) {
        entries.insert(entry.path().lexically_relative(directory));
    }
    return entries;
}

std::set<fs::path> withParents(const std::set<fs::path>& names) {
    std::set<fs::path> all;
    for (fs::path name : names) {
        for (; !name.empty(); name = name.parent_path()) {
            all.insert(name);
        }
    }
    return all;
}

void PrintTo(const Row& row, std::ostream* stream) {
    *stream << row.name;
}

// The files a row puts in the work folder: name, contents.
std::map<std::string, std::string> filesOf(const Row& row) {
    const std::string worked = golden("seven_words.hex");
    std::map<std::string, std::string> files = {{"sub/prog.hex", worked}, {"-prog.hex", worked}};
    if (!row.paused) {
        files[row.hexName] = row.hex;
    }
    if (row.previousOutput) {
        files["prog" + row.program->extension] = row.previousContents;
    }
    if (!row.link.first.empty() && row.link.second[0] != '/') {  // a file of the work folder, left as it was
        files.emplace(row.link.second, kPreviousOutput);
    }
    return files;
}

class EndToEnd : public ::testing::TestWithParam<Row> {};

TEST_P(EndToEnd, RunsAsAUserWould) {
    const Row& row = GetParam();
    if (kOnWindows && row.posixOnly) {
        GTEST_SKIP() << "needs POSIX links, signals or descriptors";
    }
    TempDirectory temp;
    const fs::path work = temp.path() / "work";
    fs::create_directories(work / hostPath(row.directory));
    std::map<std::string, std::string> expected = filesOf(row);
    for (const auto& [name, contents] : expected) {
        fs::create_directories((work / hostPath(name)).parent_path());
        writeFile(work / hostPath(name), contents);
    }
    const std::string& extension = row.program->extension;
    if (!row.link.first.empty()) {
        fs::create_symlink(row.link.second, work / row.link.first);
    }
    const fs::path previous = work / ("prog" + extension);
    const auto longAgo = fs::file_time_type::clock::now() - std::chrono::hours(24 * 365);
    if (row.previousOutput) {
        fs::last_write_time(previous, longAgo);
    }
    if (row.outputMode != 0) {
        fs::permissions(previous, static_cast<fs::perms>(row.outputMode));
    }
    const std::string stem = row.hexName.substr(0, row.hexName.rfind('.'));
    const std::string ownExtension = fs::path(row.converted).extension().string();  // a form's, such as .mem
    const std::string outputExtension = ownExtension.empty() ? extension : ownExtension;
    for (const std::string& name :
         row.convertedInto.empty() ? std::vector{stem + outputExtension} : row.convertedInto) {
        if (!row.converted.empty()) {
            expected[name] = golden(fs::path(row.converted).replace_extension(outputExtension).string());
        }
    }
    Invocation invocation{.arguments = row.arguments, .input = row.answer, .endInput = row.endInput,
                          .expectKeystroke = row.awaitsKeystroke, .closedDescriptors = row.closedDescriptors,
                          .signal = row.signal, .fileSizeLimit = row.fileSizeLimit,
                          .errorToClosedPipe = row.errorToClosedPipe, .inputIsATerminal = row.inputIsATerminal,
                          .launcher = kWine};
    if (row.paused) {
        invocation.pausedInput = pausedPartWay(row.hex);
    }

    const Outcome outcome = runProgram(row.program->path, work, invocation);

    // On Windows, Ctrl-C ends a program with status 3 rather than by a signal.
    const int status =
        row.status ? *row.status : row.signal != 0 ? -1 : row.converted.empty() && row.standardOutput.empty();
    EXPECT_EQ(outcome.status, kOnWindows && row.signal == SIGINT ? 3 : status);
    EXPECT_EQ(outcome.signal, kOnWindows ? 0 : row.signal);
    EXPECT_EQ(outcome.standardError, consoleText(row.standardError));
    EXPECT_EQ(outcome.standardOutput, consoleText(row.standardOutput));
    EXPECT_EQ(outcome.awaitedKeystroke, row.awaitsKeystroke) << "keystroke awaited or not";
    // Everything stays as it was but what the run converts into, and nothing else is left behind: no new
    // output after a failure, no temporary file.
    std::set<fs::path> entries = {hostPath(row.directory), row.link.first, invocation.pausedInput.name};
    for (const auto& [name, contents] : expected) {
        EXPECT_EQ(readFile(work / hostPath(name)), contents) << name;
        entries.insert(hostPath(name));
    }
    if (row.outputMode != 0) {
        EXPECT_EQ(fs::status(previous).permissions(), static_cast<fs::perms>(row.outputMode));
    }
    // The previous output's time stamp moves exactly when its contents change.
    if (row.previousOutput) {
        EXPECT_EQ(fs::last_write_time(previous) == longAgo, readFile(previous) == row.previousContents);
    }
    entries.erase("");
    EXPECT_EQ(entriesBelow(work), withParents(entries));
}

std::string caseName(const ::testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Quenlor, EndToEnd, ::testing::ValuesIn(rowsFor(kQuenlor)), caseName);
INSTANTIATE_TEST_SUITE_P(Saptrum, EndToEnd, ::testing::ValuesIn(rowsFor(kSaptrum)), caseName);

// Names are not limited in length; this one is far beyond a kilobyte.
TEST(LongNames, AreAcceptedByBothPrograms) {
    if (kOnWindows) {
        GTEST_SKIP() << "Windows limits the length of a path";
    }
    std::string stem;
    for (int level = 0; level < 12; ++level) {
        stem += std::string(100, 'D') + "/";
    }
    stem += "Prog";
    for (const Program* program : {&kQuenlor, &kSaptrum}) {
        TempDirectory temp;
        const fs::path work = temp.path() / "work";
        fs::create_directories(work / fs::path(stem).parent_path());
        writeFile(work / (stem + ".hex"), golden("end_record_only.hex"));

        Invocation convert;
        convert.arguments = {stem + ".HEX"};
        convert.input = "4\n";
        const Outcome outcome = runProgram(program->path, work, convert);

        EXPECT_EQ(outcome.status, 0) << program->name;
        EXPECT_EQ(outcome.standardError, kQuestion + "\n" + noWord(stem + ".hex")) << program->name;
        EXPECT_EQ(readFile(work / (stem + program->extension)), golden("end_record_only_width_4" + program->extension));

        Invocation missingInput;
        missingInput.arguments = {stem + "X.hex"};
        missingInput.endInput = true;
        const Outcome missing = runProgram(program->path, work, missingInput);
        EXPECT_EQ(missing.status, 1) << program->name;
        EXPECT_EQ(missing.standardError,
                  "can not open input file " + stem + "X.hex\n" + stem + "X.hex: No such file or directory\n")
            << program->name;
    }
}

// Two runs on one output at once: the first, at width 13, waits part way through its HEX file while a
// second, at width 8, runs whole. Each leaves its complete output in turn, never a mix of the two.
TEST(TwoRunsAtOnce, LeaveOneCompleteOutputOrTheOther) {
    if (kOnWindows) {
        GTEST_SKIP() << "needs a FIFO";
    }
    const std::string hex = largeHexFile();
    const auto convertAlone = [&hex](const std::string& answer) {
        TempDirectory alone;
        const fs::path folder = alone.path() / "work";
        fs::create_directory(folder);
        writeFile(folder / "prog.hex", hex);
        Invocation run;
        run.arguments = {"prog.hex"};
        run.input = answer;
        EXPECT_EQ(runProgram(kQuenlor.path, folder, run).status, 0);
        return readFile(folder / "prog.vhd");
    };
    TempDirectory temp;
    const fs::path work = temp.path() / "work";
    fs::create_directories(work / "second");
    writeFile(work / "whole.hex", hex);

    Invocation first;
    first.arguments = {"prog.hex"};
    first.input = "13\n";
    first.pausedInput = pausedPartWay(hex, [&] {
        // The first run holds its FIFO open; the second finds a regular file under the same name.
        fs::rename(work / "whole.hex", work / "prog.hex");
        Invocation second;
        second.arguments = {"../prog.hex"};
        second.input = "8\n";
        EXPECT_EQ(runProgram(kQuenlor.path, work / "second", second).status, 0);
        EXPECT_EQ(readFile(work / "prog.vhd"), convertAlone("8\n"));
    });
    EXPECT_EQ(runProgram(kQuenlor.path, work, first).status, 0);
    EXPECT_EQ(readFile(work / "prog.vhd"), convertAlone("13\n"));
}

// README's Makefile rule as it stands, in a fresh folder where its output folder does not exist yet.
TEST(ReadmeMakefileRule, RunsAsWritten) {
    if (kOnWindows || std::system("make --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "make is not installed";
    }
    const std::vector<std::string> rules = readmeBlocks("```make\n");
    ASSERT_EQ(rules.size(), 1u) << "README shows one Makefile block";
    TempDirectory temp;
    writeFile(temp.path() / "Makefile", rules[0]);
    writeFile(temp.path() / "prog.hex", golden("seven_words.hex"));
    const std::string make = "cd '" + temp.path().string() + "' && PATH='" + kQuenlor.path.parent_path().string() +
                             ":'\"$PATH\" make -s build/prog.vhd >make.log 2>&1";
    EXPECT_EQ(std::system(make.c_str()), 0) << readFile(temp.path() / "make.log");
    EXPECT_EQ(readFile(temp.path() / "build" / "prog.vhd"), golden("seven_words_width_13.vhd"));
}

}  // namespace
}  // namespace romtools::testing
