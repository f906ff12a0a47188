// Runs the built programs the way a user does: in a folder of their own, with the HEX file's name as the
// argument and the answer typed on standard input. Every message and every output byte is compared.
//
// The same cases run the Windows programs under Wine when ROMTOOLS_TEST_WINE names the Wine loader and
// ROMTOOLS_TEST_WINDOWS_BIN the folder of quenlor.exe and saptrum.exe. There a backslash in a name
// separates folders, messages end in CR LF (standard error is a text stream on Windows), and the cases
// that need POSIX (links, SIGTERM and SIGHUP, closed descriptors) are skipped.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
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
    return "Input file should be HEX file.\n" + argument + ": the name does not end in .hex or .HEX\n";
}

// The usage lines of option errors, with every option.
std::string usage(const Program& p) {
    return "usage: " + p.name + " [-w width] [--data-width bits]" +
           (p.name == "quenlor" ? " [--style case|array|block]" : "") +
           "\n               [-o output] [--crop] [--strict] [-h] [-V] [--] input_filename...\n";
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

struct Case {
    std::string name{};
    const Program* program = nullptr;
    std::vector<std::string> directories{};                     // made in the work folder first
    std::vector<std::pair<std::string, std::string>> files{};   // name, contents
    std::vector<std::pair<std::string, std::string>> links{};   // name, target
    Invocation invocation{};
    int status = 0;
    int endingSignal = 0;
    std::string standardError{};
    std::string standardOutput{};
    std::vector<std::pair<std::string, std::string>> outputs{}; // name, contents: what the run leaves
    int outputMode = 0;                                       // given to the previous output, and kept
    bool posixOnly = false;                                   // links, signals or descriptors
};

// The line after a run whose words do not all fit the address width.
std::string fitWarning(const std::string& address, std::int32_t width, int needed,
                       const std::string& input = "prog.hex") {
    return input + ": warning: address " + address + " does not fit the address width " + std::to_string(width) +
           "; a width of " + std::to_string(needed) + " holds every address, or --crop leaves such words out\n";
}
// The worked example's word at 0010 lies beyond 4 address bits.
const std::string kBeyond4Bits = fitWarning("0010", 4, 5);

// A conversion that succeeds: the golden HEX file input.hex stands under the argument's stem with
// ".hex", and the output, the golden file output with the program's extension, under the same stem
// with that extension. Notes follow the question's line; a file with no word says so.
Case converts(std::string name, const Program& program, const std::string& argument, const std::string& input,
              std::string answer, const std::string& output, std::string notes = "") {
    const std::string stem = argument.substr(0, argument.rfind('.'));
    notes += input == "end_record_only" ? noWord(stem + ".hex") : "";
    return {.name = std::move(name), .program = &program, .files = {{stem + ".hex", golden(input + ".hex")}},
            .invocation = {.arguments = {argument}, .input = std::move(answer)}, .standardError = kQuestion + "\n" + notes,
            .outputs = {{stem + program.extension, golden(output + program.extension)}}};
}

// A helper's case with one thing changed, so that such a case is still one row of its table.
Case edited(Case c, const std::function<void(Case&)>& edit) {
    edit(c);
    return c;
}

const std::string kPreviousOutput = "the previous output\n";

// A run that ends in failure with message; prog.hex exists, and so does a previous output, which must
// stay as it is. Nothing is typed: a run that awaits a keystroke must wait for one.
Case fails(std::string name, const Program& program, std::vector<std::string> arguments, std::string message,
           bool awaitsKeystroke) {
    const std::pair<std::string, std::string> previous{"prog" + program.extension, kPreviousOutput};
    return {.name = std::move(name), .program = &program, .files = {{"prog.hex", golden("seven_words.hex")}, previous},
            .invocation = {.arguments = std::move(arguments), .expectKeystroke = awaitsKeystroke}, .status = 1,
            .standardError = std::move(message), .outputs = {previous}};
}

// A row of the shared table. A run that fails leaves the previous output of prog.hex as it was.
struct SharedRow {
    const char* name = "";
    std::vector<std::string> arguments = {"prog.hex"};
    std::string answer{};  // typed on standard input, which stays open
    std::string standardError{};
    bool awaitsKeystroke = false;
    int signal = 0;                                   // sent once the program waits; it then ends by it
    std::string hex = golden("seven_words.hex");      // as prog.hex
    std::string directory{};                          // made in the work folder
    std::pair<std::string, std::string> link{};       // name, target: a device, prog.hex or a file it makes
    bool previousOutput = true;                       // stands under the output's name before the run
    long fileSizeLimit = 0;
    bool paused = false;                              // the HEX file comes through a FIFO, paused part way
    bool errorToClosedPipe = false;
    bool inputIsATerminal = false;
    int outputMode = 0;                               // of the previous output, and kept
    std::string converted{};                          // the golden output a successful run leaves
    bool posixOnly = false;                           // links, signals, limits or descriptors
};

Case sharedCase(const SharedRow& row, const Program& p) {
    const std::string out = "prog" + p.extension;
    Case c{.name = row.name, .program = &p, .status = !row.converted.empty() ? 0 : row.signal != 0 ? -1 : 1,
           .endingSignal = row.signal, .standardError = row.standardError, .outputMode = row.outputMode,
           .posixOnly = row.posixOnly};
    c.invocation = {.arguments = row.arguments, .input = row.answer, .expectKeystroke = row.awaitsKeystroke,
                    .signal = row.signal, .fileSizeLimit = row.fileSizeLimit, .errorToClosedPipe = row.errorToClosedPipe,
                    .inputIsATerminal = row.inputIsATerminal};
    if (row.paused) {
        c.invocation.pausedInput = pausedPartWay(row.hex);
    } else {
        c.files = {{"prog.hex", row.hex}};
    }
    if (!row.directory.empty()) {
        c.directories = {row.directory};
    }
    if (!row.link.first.empty()) {
        c.links = {row.link};
    }
    if (!row.link.first.empty() && row.link.second[0] != '/') {  // a file of the work folder, left as it was
        const std::string held = row.link.second == "prog.hex" ? row.hex : kPreviousOutput;
        c.files.emplace_back(row.link.second, held);
        c.outputs = {{row.link.second, held}};
    }
    if (row.previousOutput) {
        c.files.emplace_back(out, kPreviousOutput);
        c.outputs.emplace_back(out, kPreviousOutput);
    }
    if (!row.converted.empty()) {
        c.outputs = {{out, golden(row.converted + p.extension)}};
    }
    return c;
}

// The command line, file failures and what a run leaves behind, alike for both programs.
std::vector<Case> sharedCases(const Program& p) {
    const std::string out = "prog" + p.extension;
    const std::string asked = kQuestion + "\n";
    const std::string cannotWrite = "can not write output file " + out + "\n" + out + ": No space left on device\n";
    const std::string missing = "can not open input file missing.hex\nmissing.hex: No such file or directory\n";
    const std::string large = largeHexFile();
    const std::pair<std::string, std::string> toFull{out, "/dev/full"};
    const std::pair<std::string, std::string> toReal{out, "real" + p.extension};
    const SharedRow rows[] = {
        {.name = "NoArgument", .arguments = {}, .standardError = "usage: " + p.name + " input_filename\n"},
        {.name = "MixedCaseExtension", .arguments = {"prog.Hex"}, .standardError = notHex("prog.Hex")},
        {.name = "OtherExtension", .arguments = {"prog.txt"}, .standardError = notHex("prog.txt")},
        {.name = "NoExtension", .arguments = {"prog"}, .standardError = notHex("prog")},
        {.name = "EmptyArgument", .arguments = {""}, .standardError = notHex("")},
        {.name = "DotOnlyInDirectoryPart", .arguments = {"dir.d\\prog"}, .standardError = notHex("dir.d\\prog")},
        {.name = "DriveStyleMixedCase", .arguments = {"C:\\Work\\ROM.Hex"}, .standardError = notHex("C:\\Work\\ROM.Hex")},
        {.name = "MissingInput", .arguments = {"missing.hex"}, .standardError = missing, .awaitsKeystroke = true},
        // In a terminal the wait would look like a hang without the line before it.
        {.name = "MissingInputOnATerminal", .arguments = {"missing.hex"},
         .standardError = missing + "press Enter to go on\n", .awaitsKeystroke = true,
         .inputIsATerminal = true, .posixOnly = true},
        {.name = "MissingUpperCaseInput", .arguments = {"missing.HEX"}, .standardError = missing, .awaitsKeystroke = true},
        {.name = "OutputCannotBeCreated", .standardError = "can not create output file " + out + "\n" + out + ": Is a directory\n",
         .awaitsKeystroke = true, .directory = out, .previousOutput = false},
        // Linux opens a directory and fails on the first read; the run must not take that for an empty file.
        {.name = "InputIsADirectory", .arguments = {"dir.hex"}, .answer = "4\n",
         .standardError = asked + "can not read input file dir.hex\ndir.hex: Is a directory\n", .awaitsKeystroke = true,
         .directory = "dir.hex",
         .posixOnly = true},
        // A device is written directly, and never removed; the rest of the answer's line is not the key.
        {.name = "DiskFull", .answer = "4 bits\n", .standardError = asked + cannotWrite, .awaitsKeystroke = true,
         .link = toFull, .previousOutput = false, .posixOnly = true},
        {.name = "DiskFullWithLargeOutput", .answer = "4 bits\n", .standardError = asked + cannotWrite,
         .awaitsKeystroke = true, .hex = large, .link = toFull, .previousOutput = false, .posixOnly = true},
        {.name = "FileSizeLimit", .answer = "4\n",
         .standardError = asked + "can not write output file " + out + "\n" + out + ": File too large\n", .awaitsKeystroke = true,
         .hex = large, .fileSizeLimit = 64 * 1024, .posixOnly = true},
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
        // --strict fails a file on any warning; its output stays as it was, or a device got it as it went.
        {.name = "StrictFailsOnAReaderWarning", .arguments = {"--strict", "prog.hex"}, .answer = "2\n",
         .standardError = asked + "prog.hex:2: warning: word address 0000 was given before\noutput file " + out +
                          " not written: --strict makes warnings errors\n",
         .awaitsKeystroke = true, .hex = golden("repeated_address.hex")},
        // An empty file, and one that a stopped build cut at a line end, are doubts too.
        {.name = "StrictFailsOnAnEmptyFile", .arguments = {"--strict", "prog.hex"}, .answer = "4\n",
         .standardError = asked + noEndRecord() + noWord() + "output file " + out + " not written: --strict makes warnings errors\n",
         .awaitsKeystroke = true, .hex = ""},
        {.name = "StrictFailsOnAFileCutAtALineEnd", .arguments = {"--strict", "prog.hex"}, .answer = "4\n",
         .standardError = asked + noEndRecord() + "output file " + out + " not written: --strict makes warnings errors\n",
         .awaitsKeystroke = true, .hex = ":0800000000283F308A000800CF\r\n:04000800FF3F341270\r\n"},
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
    };
    std::vector<Case> cases;
    for (const SharedRow& row : rows) {
        cases.push_back(sharedCase(row, p));
    }
    return cases;
}

// Options and many files, alike for both programs. Standard input stays open: with -w nothing may
// read it. Every row has the same files, and a previous output that stays unless the row replaces it.
std::vector<Case> optionCases(const Program& p) {
    const std::string out = "prog" + p.extension;
    const std::string sub = "sub/prog" + p.extension;
    const std::string usage = romtools::testing::usage(p);
    const std::string mended =
        p.name == "quenlor" ? "entity name -prog is not a VHDL name; the entity is named prog\n" : "";
    const std::string manyFiles =
        kBeyond4Bits + "can not open input file missing.hex\nmissing.hex: No such file or directory\n" +
        fitWarning("0010", 4, 5, "sub/prog.hex");
    struct Row {
        const char* name;
        std::vector<std::string> arguments;
        int status;
        std::string standardError;
        std::vector<std::string> converted;  // outputs that hold the worked example at width 4
        std::string standardOutput;
        std::string standardInput{};  // piped in whole, when the row reads "-"
    };
    const Row rows[] = {
        {"WidthOption", {"-w", "4", "prog.hex"}, 0, kBeyond4Bits, {out}, ""},
        {"OptionsAfterTheFile", {"prog.hex", "-w", "4", "-o", sub}, 0, kBeyond4Bits, {sub}, ""},
        {"RepeatedOptionCountsLast", {"-w", "9", "prog.hex", "-w4"}, 0, kBeyond4Bits, {out}, ""},
        {"StandardInput", {"-w", "4", "-", "-o", out}, 0, fitWarning("0010", 4, 5, "<stdin>"), {out}, "",
         golden("seven_words.hex")},
        // Standard output gets the bytes a file gets, CR LF on every system, and the unit is named after the input.
        {"StandardOutput", {"-w", "4", "-o", "-", "prog.hex"}, 0, kBeyond4Bits, {}, golden("seven_words_width_4" + p.extension)},
        {"StandardInputNeedsWidthAndOutput", {"-w", "4", "-"}, 1,
         "reading the image from standard input needs -w and -o\n" + usage, {}, ""},
        {"NameThatStartsWithAMinus", {"-w", "4", "prog.hex", "-prog.hex"}, 1, "unknown option -prog.hex\n" + usage,
         {}, ""},
        {"WidthAndOutputOptions", {"-w4", "-o", sub, "prog.hex"}, 0, kBeyond4Bits, {sub}, ""},
        {"LongOptions", {"--width=4", "--output=prog.rom", "prog.hex"}, 0, kBeyond4Bits, {"prog.rom"}, ""},
        {"LongOptionsApart", {"--width", "4", "--output", sub, "prog.hex"}, 0, kBeyond4Bits, {sub}, ""},
        {"DoubleDashEndsTheOptions", {"-w", "4", "--", "-prog.hex"}, 0, mended + fitWarning("0010", 4, 5, "-prog.hex"), {"-prog" + p.extension},
         ""},
        {"ManyFiles", {"-w", "4", "prog.hex", "missing.hex", "sub/prog.hex"}, 1, manyFiles, {out, sub}, ""},
        {"StrictFailsOnTheWidthWarning", {"-w", "4", "--strict", "prog.hex"}, 1,
         kBeyond4Bits + "output file " + out + " not written: --strict makes warnings errors\n", {}, ""},
        {"WidthOutOfRange", {"-w", "65", "prog.hex"}, 1, "invalid address width 65\n", {}, ""},
        {"WidthNotANumber", {"--width=4x", "prog.hex"}, 1, "invalid address width 4x\n", {}, ""},
        {"DataWidthOutOfRange", {"-w", "4", "--data-width", "0", "prog.hex"}, 1, "invalid data width 0\n", {}, ""},
        {"OutputWithTwoFiles", {"-o", "x.out", "prog.hex", "sub/prog.hex"}, 1,
         "-o is allowed with one input file only\n" + usage, {}, ""},
        {"UnknownOption", {"--wide", "4", "prog.hex"}, 1, "unknown option --wide\n" + usage, {}, ""},
        {"OptionWithoutItsValue", {"-o"}, 1, "option -o needs a value\n" + usage, {}, ""},
        {"OptionsWithoutFiles", {"-w", "4"}, 1, usage, {}, ""},
        {"Help", {"--help"}, 0, "", {}, golden(p.name + "_help.txt")},
        {"HelpBeforeAnythingElse", {"-h", "-x"}, 0, "", {}, golden(p.name + "_help.txt")},
        {"Version", {"-V"}, 0, "", {}, p.name + " (romtools) " ROMTOOLS_VERSION "\n"},
    };
    std::vector<Case> cases;
    for (const Row& row : rows) {
        const std::string hex = golden("seven_words.hex");
        Case c{.name = row.name, .program = &p,
               .files = {{"prog.hex", hex}, {"sub/prog.hex", hex}, {"-prog.hex", hex}, {out, kPreviousOutput}},
               .invocation = {.arguments = row.arguments, .input = row.standardInput, .endInput = !row.standardInput.empty()},
               .status = row.status, .standardError = row.standardError, .standardOutput = row.standardOutput};
        for (const std::string& name : row.converted) {
            c.outputs.emplace_back(name, golden("seven_words_width_4" + p.extension));
        }
        if (std::find(row.converted.begin(), row.converted.end(), out) == row.converted.end()) {
            c.outputs.emplace_back(out, kPreviousOutput);
        }
        cases.push_back(c);
    }
    // Without -w the first file asks; its answer serves the others, and a failure awaits a key.
    const Case manyFilesCase = *std::find_if(cases.begin(), cases.end(), [](const Case& c) { return c.name == "ManyFiles"; });
    cases.push_back(edited(manyFilesCase, [&](Case& c) {
        c.name = "ManyFilesAskOnce", c.standardError = kQuestion + "\n" + manyFiles;
        c.invocation = {.arguments = {"prog.hex", "missing.hex", "sub/prog.hex"}, .input = "4\n", .expectKeystroke = true};
    }));
    return cases;
}

// Conversions that succeed, alike for both programs.
std::vector<Case> conversionCases(const Program& p) {
    return {
        converts("WorkedExample", p, "work\\Prog.hex", "seven_words", "4\n", "seven_words_width_4",
                 fitWarning("0010", 4, 5, "work\\Prog.hex")),
        converts("LfLineEnds", p, "prog.hex", "seven_words_lf", "4\n", "seven_words_width_4", kBeyond4Bits),
        converts("CtrlZEndsTheInput", p, "prog.hex", "seven_words_ctrl_z", "4\n", "seven_words_width_4", kBeyond4Bits),
        converts("DefaultWidthForZero", p, "prog.hex", "seven_words", "0\n", "seven_words_width_13"),
        // Extended address records, and configuration words and EEPROM data beyond 64 KiB, give no words.
        converts("Inhx32Image", p, "prog.hex", "inhx32", "0\n", "inhx32_width_13"),
        converts("RepeatedAddress", p, "prog.hex", "repeated_address", "2\n", "repeated_address_width_2",
                 "prog.hex:2: warning: word address 0000 was given before\n"),
        converts("NoWords", p, "prog.hex", "end_record_only", "4\n", "end_record_only_width_4"),
        converts("UpperCaseExtension", p, "prog.HEX", "seven_words", "4\n", "seven_words_width_4", kBeyond4Bits),
        // The HEX file under its own name; Windows tells no case apart, and opens it by the lower-case one.
        edited(converts("UpperCaseExtensionOnTheFile", p, "prog.HEX", "seven_words", "4\n", "seven_words_width_4",
                        fitWarning("0010", 4, 5, kOnWindows ? "prog.hex" : "prog.HEX")),
               [](Case& c) { c.files.front().first = "prog.HEX"; }),
        // --crop leaves out the word beyond 4 bits, with a note that --strict does not fail on.
        edited(converts("CropWithStrict", p, "prog.hex", "seven_words", "4\n", "seven_words_width_4_cropped",
                        "prog.hex: note: words beyond the address width 4 are left out: 1, the first at address 0010\n"),
               [](Case& c) { c.invocation.arguments = {"--crop", "--strict", "prog.hex"}; }),
        edited(converts("StrictOnACleanFile", p, "prog.hex", "seven_words", "0\n", "seven_words_width_13"),
               [](Case& c) { c.invocation.arguments = {"--strict", "prog.hex"}; }),
        edited(converts("DefaultWidthAtEndOfInput", p, "prog.hex", "seven_words", "", "seven_words_width_13"),
               [](Case& c) { c.invocation.endInput = true; }),
        // Closed standard streams read and write as the null device; no file of the run takes their place.
        edited(converts("ClosedStandardInput", p, "prog.hex", "seven_words", "", "seven_words_width_13"),
               [](Case& c) { c.invocation.closedDescriptors = {0}, c.posixOnly = true; }),
        edited(converts("ClosedStandardOutputAndError", p, "prog.hex", "seven_words", "4\n", "seven_words_width_4"),
               [](Case& c) { c.invocation.closedDescriptors = {1, 2}, c.standardError = "", c.posixOnly = true; }),
        edited(converts("ExistingOutputReplaced", p, "prog.hex", "end_record_only", "4\n", "end_record_only_width_4"),
               [&p](Case& c) { c.files.emplace_back("prog" + p.extension, std::string(5000, 'x')); }),
        edited(converts("EmptyInputFile", p, "prog.hex", "end_record_only", "4\n", "end_record_only_width_4"),
               [](Case& c) { c.files = {{"prog.hex", ""}}, c.standardError = kQuestion + "\n" + noEndRecord() + noWord(); }),
        // Lines after the end record that cannot start a record, as the CCS compiler writes them, are
        // skipped: the record after them is read, and --strict has nothing to fail.
        edited(converts("TrailerAfterTheEndRecord", p, "prog.hex", "seven_words", "0\n", "seven_words_width_13"),
               [](Case& c) {
                   c.invocation.arguments = {"--strict", "prog.hex"};
                   c.files = {{"prog.hex", ":0800000000283F308A000800CF\r\n:04000800FF3F341270\r\n:00000001FF\r\n"
                                           ";PIC16F877A\r\n;CRC=8C4A  CREATED=\"07-Dec-26 19:45\"\r\n"
                                           ":02002000FFFFE0\r\n:00000001FF\r\n"}};
               }),
    };
}

// What only the VHDL shows: address bit strings and the entity's name.
std::vector<Case> quenlorCases() {
    const Program& q = kQuenlor;
    const std::string tooWide = "the array style takes address widths up to 24\n";
    std::vector<Case> cases = {
        converts("AnswerAfterBlankLines", q, "prog.hex", "seven_words", "\n  \n 8\n", "seven_words_width_8"),
        converts("AddressWiderThan32Bits", q, "prog.hex", "seven_words", "40\n", "seven_words_width_40"),
        edited(converts("DataWidth32", q, "prog.hex", "seven_words", "4\n", "seven_words_width_4_data_width_32"),
               [](Case& c) { c.invocation.arguments = {"--data-width", "32", "prog.hex"}; }),
        edited(converts("ArrayStyle", q, "prog.hex", "seven_words", "6\n", "seven_words_width_6_array"),
               [](Case& c) { c.invocation.arguments = {"--style", "array", "prog.hex"}; }),
        edited(converts("BlockStyle", q, "prog.hex", "seven_words", "6\n", "seven_words_width_6_block"),
               [](Case& c) { c.invocation.arguments = {"--style=block", "prog.hex"}; }),
        fails("ArrayStyleWidthOption", q, {"-w", "25", "prog.hex", "--style=array"}, tooWide, false),
        fails("BlockStyleWidthOption", q, {"-w25", "--style", "block", "prog.hex"},
              "the block style takes address widths up to 24\n", false),
        fails("InvalidStyle", q, {"--style", "arrays", "prog.hex"},
              "invalid style arrays; it is case, array or block\n" + usage(q),
              false),
        edited(fails("ArrayStyleWidthAnswer", q, {"--style", "array", "prog.hex"}, kQuestion + "\n" + tooWide, true),
               [](Case& c) { c.invocation.input = "25\n"; }),
    };

    // The entity is named after the stem's last part; a name that VHDL does not take is mended, and the
    // run says so.
    struct EntityName {
        const char* name;
        const char* argument;
        const char* entity;
        const char* mendedFrom;  // the lowered base name, when it was mended
        const char* style = "case";
    };
    const EntityName entityNames[] = {
        {"FolderLeftOut", "build/fw.hex", "fw", nullptr},
        {"ForwardSlashSeparatesFolders", "lib/Rom.hex", "rom", nullptr},
        {"DriveStyleName", "C:\\Work\\ROM.HEX", "rom", nullptr},
        {"HyphenMended", "my-rom.hex", "my_rom", "my-rom"},
        {"BlankMended", "My ROM.hex", "my_rom", "my rom"},
        {"DotsInStem", "a.b.hex", "a_b", "a.b"},
        {"DoubleUnderscoreMended", "rom__x.hex", "rom_x", "rom__x"},
        {"LeadingUnderscoreDropped", "_rom.hex", "rom", "_rom"},
        {"LeadingDigitMended", "2rom.hex", "rom_2rom", "2rom"},
        {"ReservedWordMended", "out.hex", "out_rom", "out"},
        {"LibraryNameMended", "IEEE.hex", "ieee_rom", "ieee"},
        {"FunctionNameMended", "to_integer.hex", "to_integer_rom", "to_integer"},
        {"ExtensionOnly", ".hex", "rom", ""},
        {"ArrayStyleMended", "my-rom.hex", "my_rom", "my-rom", "array"},
    };
    for (const EntityName& row : entityNames) {
        const std::string style = row.style;
        Case named = converts(row.name, kQuenlor, row.argument, "end_record_only", "4\n",
                              style == "case" ? "end_record_only_width_4" : "end_record_only_width_4_array");
        if (style == "array") {
            named.invocation.arguments.insert(named.invocation.arguments.begin(), {"--style", "array"});
        }
        std::string& vhdl = named.outputs.front().second;
        for (std::size_t at = 0; (at = vhdl.find(" prog", at)) != std::string::npos; at += 5) {
            vhdl.replace(at + 1, 4, row.entity);
        }
        if (row.mendedFrom != nullptr) {  // said before the header, so before any doubt about the file
            named.standardError.insert(kQuestion.size() + 1, "entity name " + std::string(row.mendedFrom) +
                                                                 " is not a VHDL name; the entity is named " +
                                                                 row.entity + "\n");
        }
        named.posixOnly = std::string(row.argument).find(':') != std::string::npos;  // a drive on Windows
        cases.push_back(named);
    }

    return cases;
}

// What only the MIF shows: its depth.
std::vector<Case> saptrumCases() {
    const Program& m = kSaptrum;
    const std::string longName = std::string(246, 'n') + ".mif";
    return {
        // The temporary file's name is cut short, or ".<name>.<pid>.tmp" would pass the system's limit of 255
        // characters; Windows limits the whole path. (VHDL would name its entity after it.)
        edited(converts("OutputNameOf250Characters", m, "prog.hex", "seven_words", "", "seven_words_width_4"),
               [&longName](Case& c) {
                   c.invocation.arguments = {"-w", "4", "-o", longName, "prog.hex"}, c.standardError = kBeyond4Bits;
                   c.outputs = {{longName, golden("seven_words_width_4.mif")}}, c.posixOnly = true;
               }),
        converts("Width1", m, "prog.hex", "seven_words", "1\n", "seven_words_width_1", fitWarning("0002", 1, 5)),
        edited(converts("DataWidth8", m, "prog.hex", "seven_words", "6\n", "seven_words_width_6_data_width_8"),
               [](Case& c) { c.invocation.arguments = {"--data-width=8", "prog.hex"}; }),
        // Depths beyond 32 bits are written exactly, up to 64 address bits.
        converts("Width31", m, "prog.hex", "end_record_only", "31\n", "end_record_only_width_31"),
        converts("Width32", m, "prog.hex", "end_record_only", "32\n", "end_record_only_width_32"),
        converts("Width64", m, "prog.hex", "end_record_only", "64\n", "end_record_only_width_64"),
        converts("ExtensionOnly", m, ".hex", "end_record_only", "4\n", "end_record_only_width_4"),
        fails("StyleIsNoOption", m, {"--style", "array", "prog.hex"},
              "unknown option --style\n" + usage(m), false),
    };
}

// Every case of one program: those alike for both programs, then its own.
std::vector<Case> casesOf(const Program& p) {
    std::vector<Case> cases;
    for (const std::vector<Case>& some :
         {conversionCases(p), sharedCases(p), optionCases(p), &p == &kQuenlor ? quenlorCases() : saptrumCases()}) {
        cases.insert(cases.end(), some.begin(), some.end());
    }
    return cases;
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

void PrintTo(const Case& c, std::ostream* stream) {
    *stream << c.name;
}

class EndToEnd : public ::testing::TestWithParam<Case> {};

TEST_P(EndToEnd, RunsAsAUserWould) {
    const Case& c = GetParam();
    if (kOnWindows && c.posixOnly) {
        GTEST_SKIP() << "needs POSIX links, signals or descriptors";
    }
    TempDirectory temp;
    const fs::path work = temp.path() / "work";
    fs::create_directory(work);
    for (const std::string& directory : c.directories) {
        fs::create_directories(work / hostPath(directory));
    }
    for (const auto& [name, contents] : c.files) {
        fs::create_directories((work / hostPath(name)).parent_path());
        writeFile(work / hostPath(name), contents);
    }
    for (const auto& [name, target] : c.links) {
        fs::create_symlink(target, work / name);
    }
    if (c.outputMode != 0) {
        fs::permissions(work / c.outputs.front().first, static_cast<fs::perms>(c.outputMode));
    }
    Invocation invocation = c.invocation;
    invocation.launcher = kWine;

    const Outcome outcome = runProgram(c.program->path, work, invocation);

    // On Windows, Ctrl-C ends a program with status 3 rather than by a signal.
    EXPECT_EQ(outcome.status, kOnWindows && c.endingSignal == SIGINT ? 3 : c.status);
    EXPECT_EQ(outcome.signal, kOnWindows ? 0 : c.endingSignal);
    EXPECT_EQ(outcome.standardError, consoleText(c.standardError));
    EXPECT_EQ(outcome.standardOutput, consoleText(c.standardOutput));
    EXPECT_EQ(outcome.awaitedKeystroke, c.invocation.expectKeystroke) << "keystroke awaited or not";
    for (const auto& [name, contents] : c.outputs) {
        EXPECT_EQ(readFile(work / hostPath(name)), contents) << name;
    }
    if (c.outputMode != 0) {
        EXPECT_EQ(fs::status(work / c.outputs.front().first).permissions(), static_cast<fs::perms>(c.outputMode));
    }
    // Nothing else is left behind: no new output after a failure, no temporary file.
    std::set<fs::path> expected;
    for (const std::string& directory : c.directories) {
        expected.insert(hostPath(directory));
    }
    for (const auto& [name, contents] : c.files) {
        expected.insert(hostPath(name));
    }
    for (const auto& [name, contents] : c.outputs) {
        expected.insert(hostPath(name));
    }
    for (const auto& [name, target] : c.links) {
        expected.insert(name);
    }
    if (!c.invocation.pausedInput.name.empty()) {
        expected.insert(c.invocation.pausedInput.name);
    }
    EXPECT_EQ(entriesBelow(work), withParents(expected));
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Quenlor, EndToEnd, ::testing::ValuesIn(casesOf(kQuenlor)), caseName);
INSTANTIATE_TEST_SUITE_P(Saptrum, EndToEnd, ::testing::ValuesIn(casesOf(kSaptrum)), caseName);

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
    const std::string readme = readFile(ROMTOOLS_README);
    const std::size_t rule = readme.find("```make\n") + 8;
    ASSERT_GT(rule, 8u) << "README shows no Makefile block";
    TempDirectory temp;
    writeFile(temp.path() / "Makefile", readme.substr(rule, readme.find("```", rule) - rule));
    writeFile(temp.path() / "prog.hex", golden("seven_words.hex"));
    const std::string make = "cd '" + temp.path().string() + "' && PATH='" + kQuenlor.path.parent_path().string() +
                             ":'\"$PATH\" make -s build/prog.vhd >make.log 2>&1";
    EXPECT_EQ(std::system(make.c_str()), 0) << readFile(temp.path() / "make.log");
    EXPECT_EQ(readFile(temp.path() / "build" / "prog.vhd"), golden("seven_words_width_13.vhd"));
}

}  // namespace
}  // namespace romtools::testing
