// The end-to-end benchmark: generates HEX inputs, runs both programs to a file and to /dev/null, dd
// writing as many bytes and, when installed, srec_cat on the same image, several times in turn; then a
// real-size image as make converts it, against dd copying it, and --version against /bin/true, and a word
// file of 16M lines. It prints the medians against the targets and exits with 2 when one is missed.
//
//   romtools_bench [--runs N] [--work DIR] [--before DIR]
//
// The programs are the ones built beside this benchmark; --before names a folder with the programs
// from before a change, which then run to /dev/null side by side with them.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Measure {
    double seconds = 0;
    double maxRssMiB = 0;
};

// Runs argv in directory with standard input from stdinFile (or the null device) and the console
// streams on the null device; exits the benchmark when the command fails.
Measure run(const std::vector<std::string>& arguments, const fs::path& directory, const fs::path& stdinFile = {}) {
    std::vector<char*> argv;
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int in = open(stdinFile.empty() ? "/dev/null" : stdinFile.c_str(), O_RDONLY);
        const int null = open("/dev/null", O_WRONLY);
        if (in < 0 || null < 0 || chdir(directory.c_str()) != 0) {
            _exit(127);
        }
        dup2(in, 0);
        dup2(null, 1);
        dup2(null, 2);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "romtools_bench: %s failed in %s\n", arguments[0].c_str(), directory.c_str());
        std::exit(1);
    }
    return {std::chrono::duration<double>(end - start).count(), usage.ru_maxrss / 1024.0};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// dataBytes of random data in 16-byte data records with LF line ends, 44 bytes a line. With
// extendedAddresses, an extended linear address record opens every 64 KiB, as a peer tool writes
// the image; without, the 16-bit address field wraps and every record stays inside a 64 KiB ROM.
// Another seed gives another image; lastByteChange, XORed into the last data byte, one that differs from
// the seed's at its very end alone.
void writeHex(const fs::path& path, std::size_t dataBytes, bool extendedAddresses, unsigned seed = 20261207,
              unsigned lastByteChange = 0) {
    std::mt19937 random(seed);
    std::string text;
    text.reserve(dataBytes / 16 * 44 + 64);
    static const char kHex[] = "0123456789ABCDEF";
    const auto putByte = [&text](unsigned byte, unsigned& sum) {
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
        sum += byte;
    };
    for (std::size_t offset = 0; offset < dataBytes; offset += 16) {
        unsigned sum = 0;
        if (extendedAddresses && offset % 0x10000 == 0) {
            text += ":02000004";
            sum = 2 + 4;
            putByte(static_cast<unsigned>(offset >> 24) & 0xFF, sum);
            putByte(static_cast<unsigned>(offset >> 16) & 0xFF, sum);
            putByte((0x100 - (sum & 0xFF)) & 0xFF, sum);
            text += '\n';
            sum = 0;
        }
        const std::size_t count = std::min<std::size_t>(16, dataBytes - offset);
        text += ':';
        putByte(static_cast<unsigned>(count), sum);
        putByte(static_cast<unsigned>(offset >> 8) & 0xFF, sum);
        putByte(static_cast<unsigned>(offset) & 0xFF, sum);
        putByte(0, sum);
        for (std::size_t i = 0; i < count; ++i) {
            putByte((random() & 0xFF) ^ (offset + i + 1 == dataBytes ? lastByteChange : 0), sum);
        }
        putByte((0x100 - (sum & 0xFF)) & 0xFF, sum);
        text += '\n';
    }
    text += ":00000001FF\n";
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

struct Program {
    const char* name;
    const char* extension;
    fs::path path;
    const char* peerFormat;  // srec_cat's output format for the same file
};

std::string cpuModel() {
    std::ifstream info("/proc/cpuinfo");
    for (std::string line; std::getline(info, line);) {
        if (line.rfind("model name", 0) == 0) {
            return line.substr(line.find(':') + 2);
        }
    }
    return "unknown processor";
}

bool installed(const char* command) {
    return std::system((std::string("command -v ") + command + " >/dev/null 2>&1").c_str()) == 0;
}

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

// A full classic PIC16 program memory, as make converts it after each firmware change: 8K words in
// 16-byte records, 45 KB of HEX, converted over the last run's output. Each program against dd copying
// the same file over its last copy, and --version against /bin/true; the commands take turns, so that
// whatever else the machine does falls on all of them alike. The firmware changes between rounds, so
// that each output replaces the last one: fw.hex takes two images in turn, and late.hex two that differ
// in their last word alone, whose outputs are compared to their ends before they are replaced. Returns
// whether the targets are met.
bool realSize(const Program* programs, const fs::path& work, int runs, const fs::path& before) {
    const fs::path folder = work / "real";
    fs::create_directories(folder);
    const fs::path images[] = {folder / "first.hex", folder / "second.hex", folder / "last.hex"};
    writeHex(images[0], 16 * 1024, false);
    writeHex(images[1], 16 * 1024, false, 7);
    writeHex(images[2], 16 * 1024, false, 20261207, 0xFF);
    const std::vector<std::vector<std::string>> commands = {
        {programs[0].path.string(), "-w", "13", "fw.hex"},
        {programs[1].path.string(), "-w", "13", "fw.hex"},
        {"dd", "if=fw.hex", "of=copy.hex", "status=none"},
        {programs[0].path.string(), "--version"},
        {"/bin/true"},
        {programs[0].path.string(), "-w", "13", "-o", "new.vhd", "fw.hex"},  // a new output each time
        {(before.empty() ? programs[0].path : before / "quenlor").string(), "-w", "13", "-o", "old.vhd", "fw.hex"},
        {programs[0].path.string(), "-w", "13", "late.hex"},
    };
    std::vector<std::vector<double>> times(commands.size());
    for (int i = -1; i < runs; ++i) {  // the first round only leaves the outputs in place
        fs::copy_file(images[(i + 2) % 2], folder / "fw.hex", fs::copy_options::overwrite_existing);
        fs::copy_file(images[i % 2 == 0 ? 0 : 2], folder / "late.hex", fs::copy_options::overwrite_existing);
        for (std::size_t c = 0; c < commands.size(); ++c) {
            const double seconds = run(commands[c], folder).seconds;
            if (i >= 0) {
                times[c].push_back(seconds * 1000);
            }
            fs::remove(folder / "new.vhd");
        }
    }
    double ms[8];
    for (std::size_t c = 0; c < commands.size(); ++c) {
        ms[c] = median(times[c]);
    }
    const bool programsMet = ms[0] <= ms[2] && ms[1] <= ms[2];
    const bool versionMet = ms[3] <= 1.2 * ms[4];
    std::printf("\nreal size: 8K words, %.0f KB of HEX, over the last output of the other image; medians of %d runs "
                "in turn, ms\n",
                fs::file_size(folder / "fw.hex") / 1e3, runs);
    std::printf("%-34s %12.2f %12.2f   ratio to dd %.2f / %.2f, at most 1.0: %s\n", "quenlor / saptrum -w 13",
                ms[0], ms[1], ms[0] / ms[2], ms[1] / ms[2], verdict(programsMet));
    std::printf("%-34s %12.2f   ratio to dd %.2f\n", "quenlor -w 13, to a new output", ms[5], ms[5] / ms[2]);
    std::printf("%-34s %12.2f   ratio to dd %.2f\n", "quenlor, the last word changed", ms[7], ms[7] / ms[2]);
    std::printf("%-34s %12.2f\n", "dd copying the HEX file", ms[2]);
    if (!before.empty()) {
        std::printf("%-34s %12.2f   %s\n", "quenlor before the change", ms[6], before.c_str());
    }
    std::printf("%-34s %12.2f %12.2f   ratio %.2f, at most 1.2: %s\n", "quenlor --version / /bin/true", ms[3], ms[4],
                ms[3] / ms[4], verdict(versionMet));
    return programsMet && versionMet;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    fs::path work = fs::temp_directory_path() / "romtools-bench";
    fs::path before;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--runs") {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (option == "--work") {
            work = argv[i + 1];
        } else if (option == "--before") {
            before = fs::absolute(argv[i + 1]);
        }
    }
    const fs::path binaries = fs::canonical("/proc/self/exe").parent_path();
    Program programs[] = {{"quenlor", ".vhd", binaries / "quenlor", "-vhdl"},
                          {"saptrum", ".mif", binaries / "saptrum", "-mif"}};
    const bool havePeer = installed("srec_cat");

    fs::remove_all(work);
    fs::create_directories(work);
    const fs::path answer13 = work / "answer13.txt";
    const fs::path answer64 = work / "answer64.txt";
    std::ofstream(answer13) << "0\n";
    std::ofstream(answer64) << "64\n";

    // Inputs: 1 KB, and 1, 4 and 16 MiB of data; the 16 MiB image also as the peer tool lays it out.
    const std::size_t mebibyte = 1024 * 1024;
    const std::size_t sizes[] = {1 * mebibyte, 4 * mebibyte, 16 * mebibyte};
    std::vector<fs::path> inputs;
    for (const std::size_t size : sizes) {
        const fs::path folder = work / ("in" + std::to_string(size / mebibyte));
        fs::create_directories(folder);
        writeHex(folder / "image.hex", size, false);
        inputs.push_back(folder / "image.hex");
    }
    fs::create_directories(work / "tiny");
    writeHex(work / "tiny" / "image.hex", 368, false);
    writeHex(work / "peer.hex", 16 * mebibyte, true);
    const fs::path big = inputs.back();
    const double inputMB = fs::file_size(big) / 1e6;

    char today[16];
    const std::time_t now = std::time(nullptr);
    std::strftime(today, sizeof today, "%Y-%m-%d", std::localtime(&now));
    std::printf("romtools benchmark, %s\n%s, %u cores; medians of %d runs in turn\n", today, cpuModel().c_str(),
                std::thread::hardware_concurrency(), runs);
    std::printf("input: 16 MiB of random data in 16-byte records, %.1f MB; answer: the default width, 13\n\n",
                inputMB);

    // Folders of their own: one writes a real file, one a link to /dev/null.
    const fs::path toFile = work / "file";
    const fs::path toNull = work / "null";
    for (const fs::path& folder : {toFile, toNull}) {
        fs::create_directories(folder);
        fs::copy_file(big, folder / "image.hex");
    }
    bool allMet = true;
    std::printf("%-34s %12s %12s\n", "", "quenlor", "saptrum");
    struct Row {
        double nullSeconds, beforeSeconds, fileSeconds, ddSeconds, peerSeconds, outputMB, rssBig, rssTiny;
    };
    std::vector<Row> rows;
    for (Program& program : programs) {
        const std::string output = std::string("image") + program.extension;
        fs::remove(toNull / output);
        fs::create_symlink("/dev/null", toNull / output);
        std::vector<double> nullTimes, beforeTimes, fileTimes, ddTimes, peerTimes;
        double rssBig = 0;
        double rssTiny = 0;
        for (int i = 0; i < runs; ++i) {
            const Measure null = run({program.path.string(), "image.hex"}, toNull, answer13);
            nullTimes.push_back(null.seconds);
            rssBig = std::max(rssBig, null.maxRssMiB);
            // A new file each time, as for dd and srec_cat: emptying the last run's file is not measured.
            fs::remove(toFile / output);
            fileTimes.push_back(run({program.path.string(), "image.hex"}, toFile, answer13).seconds);
            if (!before.empty()) {
                beforeTimes.push_back(run({(before / program.name).string(), "image.hex"}, toNull, answer13).seconds);
            }
            const std::string bytes = std::to_string(fs::file_size(toFile / output));
            ddTimes.push_back(run({"dd", "if=/dev/zero", "of=zeros", "bs=64K", "iflag=count_bytes", "count=" + bytes,
                                   "status=none"},
                                  toFile)
                                  .seconds);
            fs::remove(toFile / "zeros");
            rssTiny = std::max(rssTiny, run({program.path.string(), "image.hex"}, work / "tiny", answer13).maxRssMiB);
            if (havePeer) {
                const std::string peerOutput = std::string("peer") + program.extension;
                peerTimes.push_back(
                    run({"srec_cat", "peer.hex", "-intel", "-o", peerOutput, program.peerFormat, "2"}, work).seconds);
                fs::remove(work / peerOutput);
            }
        }
        rows.push_back({median(nullTimes), before.empty() ? 0.0 : median(beforeTimes), median(fileTimes), median(ddTimes),
                        havePeer ? median(peerTimes) : 0.0, fs::file_size(toFile / output) / 1e6, rssBig, rssTiny});
        fs::remove(toFile / output);
    }

    const auto print2 = [](const char* label, double a, double b, const char* format, const char* note) {
        std::printf("%-34s ", label);
        std::printf(format, a);
        std::printf(" ");
        std::printf(format, b);
        std::printf("   %s\n", note);
    };
    const Row& q = rows[0];
    const Row& m = rows[1];
    print2("output size, MB", q.outputMB, m.outputMB, "%12.1f", "");
    print2("to /dev/null, s", q.nullSeconds, m.nullSeconds, "%12.3f", "");
    print2("  input, MB/s", inputMB / q.nullSeconds, inputMB / m.nullSeconds, "%12.0f", "");
    const double qRate = q.outputMB / 1000 / q.nullSeconds;
    const double mRate = m.outputMB / 1000 / m.nullSeconds;
    const bool computeMet = qRate >= 4.7 && mRate >= 3.1;
    allMet = allMet && computeMet;
    print2("  output, GB/s", qRate, mRate, "%12.2f", (std::string("at least 4.7 and 3.1: ") + verdict(computeMet)).c_str());
    if (!before.empty()) {
        print2("before the change, to /dev/null, s", q.beforeSeconds, m.beforeSeconds, "%12.3f", before.c_str());
        print2("  speed-up", q.beforeSeconds / q.nullSeconds, m.beforeSeconds / m.nullSeconds, "%12.2f", "");
    }
    print2("to a file, s", q.fileSeconds, m.fileSeconds, "%12.3f", "");
    print2("dd writing as many bytes, s", q.ddSeconds, m.ddSeconds, "%12.3f", "");
    const bool ddMet = q.fileSeconds <= 2 * q.ddSeconds && m.fileSeconds <= 2 * m.ddSeconds;
    allMet = allMet && ddMet;
    print2("  ratio to dd", q.fileSeconds / q.ddSeconds, m.fileSeconds / m.ddSeconds, "%12.2f",
           (std::string("at most 2: ") + verdict(ddMet)).c_str());
    if (havePeer) {
        print2("srec_cat on the same image, s", q.peerSeconds, m.peerSeconds, "%12.3f", "");
        const bool peerMet = q.fileSeconds <= q.peerSeconds / 4 && m.fileSeconds <= m.peerSeconds / 4;
        allMet = allMet && peerMet;
        print2("  ratio to srec_cat (to a file)", q.fileSeconds / q.peerSeconds, m.fileSeconds / m.peerSeconds,
               "%12.2f", (std::string("at most 0.25: ") + verdict(peerMet)).c_str());
    } else {
        std::printf("srec_cat is not installed: no peer comparison\n");
    }
    print2("peak RSS, 46 MB input, MiB", q.rssBig, m.rssBig, "%12.2f", "");
    print2("peak RSS, 1 KB input, MiB", q.rssTiny, m.rssTiny, "%12.2f", "");
    const bool memoryMet = std::max(q.rssBig, m.rssBig) <= 4 &&
                           std::max(q.rssBig - q.rssTiny, m.rssBig - m.rssTiny) <= 0.25;
    allMet = allMet && memoryMet;
    std::printf("%-34s %25s   %s\n", "  at most 4 MiB, flat within 256 KiB", "",
                verdict(memoryMet));

    allMet = realSize(programs, work, std::max(30, runs * 6), before) && allMet;

    // Scale: time against words (1, 4, 16 MiB of data), the address width and the data width, to /dev/null.
    std::printf("\nscale, to /dev/null, s        1 MiB      4 MiB     16 MiB   per MiB (16 / 1 MiB)\n");
    const fs::path scale = work / "scale";
    fs::create_directories(scale);
    struct ScaleRow {
        const Program* program;
        const char* label;
        fs::path answer;
        const char* dataWidth = "14";
    };
    const ScaleRow scaleRows[] = {{&programs[0], "quenlor, width 13", answer13},
                                  {&programs[0], "quenlor, width 64", answer64},
                                  {&programs[0], "quenlor, data width 8", answer13, "8"},
                                  {&programs[0], "quenlor, data width 32", answer13, "32"},
                                  {&programs[1], "saptrum, width 13", answer13},
                                  {&programs[1], "saptrum, data width 8", answer13, "8"},
                                  {&programs[1], "saptrum, data width 32", answer13, "32"}};
    double perWidth[2] = {0, 0};
    for (const ScaleRow& row : scaleRows) {
        const std::string output = std::string("image") + row.program->extension;
        std::vector<double> medians;
        for (const fs::path& input : inputs) {
            fs::remove(scale / "image.hex");
            fs::copy_file(input, scale / "image.hex");
            fs::remove(scale / output);
            fs::create_symlink("/dev/null", scale / output);
            std::vector<double> times;
            for (int i = 0; i < runs; ++i) {
                times.push_back(
                    run({row.program->path.string(), "--data-width", row.dataWidth, "image.hex"}, scale, row.answer)
                        .seconds);
            }
            medians.push_back(median(times));
        }
        std::printf("%-26s %10.3f %10.3f %10.3f   %.3f / %.3f\n", row.label, medians[0], medians[1], medians[2],
                    medians[2] / 16, medians[0]);
        if (row.program == &programs[0] && std::string(row.dataWidth) == "14") {
            perWidth[row.answer == answer13 ? 0 : 1] = medians[2];
        }
    }
    std::printf("quenlor, 16 MiB: width 64 takes %.1f times as long as width 13 "
                "(a line is about 1.6 times as long)\n",
                perWidth[1] / perWidth[0]);

    // The word file holds a line for every address: at width 24, 16M lines from the 16 MiB image, whose
    // words wait in memory until they are written in address order.
    const fs::path wordFile = work / "words";
    fs::create_directories(wordFile);
    fs::copy_file(big, wordFile / "image.hex");
    fs::create_symlink("/dev/null", wordFile / "image.mem");
    std::vector<double> wordTimes;
    double wordRss = 0;
    for (int i = 0; i < runs; ++i) {
        const Measure words = run({programs[1].path.string(), "--format", "mem", "-w", "24", "image.hex"}, wordFile);
        wordTimes.push_back(words.seconds);
        wordRss = std::max(wordRss, words.maxRssMiB);
    }
    const double wordMB = (std::uint64_t{1} << 24) * 6 / 1e6;  // four hex digits and CR LF a line
    std::printf("\nsaptrum --format mem -w 24, the 16 MiB image to /dev/null: %.1f MB in %.3f s (the MIF at width 13: "
                "%.3f s), peak RSS %.2f MiB\n",
                wordMB, median(wordTimes), m.nullSeconds, wordRss);

    std::printf("\nall targets %s\n", allMet ? "met" : "NOT met");
    fs::remove_all(work);
    return allMet ? 0 : 2;
}
