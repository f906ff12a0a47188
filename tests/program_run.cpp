#include "program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace romtools::testing {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// Tries every 5 ms until the attempt succeeds or the deadline has passed; true when it succeeded.
template <typename Attempt>
bool retryUntil(Clock::time_point deadline, Attempt attempt) {
    while (!attempt()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Waits for the child until the deadline; returns its exit status, or -1 if it is still running or
// was ended by a signal.
int waitUntil(pid_t child, Clock::time_point deadline, bool& exited, int* endingSignal = nullptr) {
    int status = 0;
    exited = retryUntil(deadline, [&] { return waitpid(child, &status, WNOHANG) == child; });
    if (exited && endingSignal != nullptr && WIFSIGNALED(status)) {
        *endingSignal = WTERMSIG(status);
    }
    return exited && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void writeAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) {
            return;  // the program has gone; what it read is what counts
        }
        written += static_cast<std::size_t>(n);
    }
}

// Opens the FIFO for writing once the program has opened it for reading; -1 if it has not by the deadline.
int openFifo(const fs::path& fifo, Clock::time_point deadline) {
    int descriptor = -1;
    if (!retryUntil(deadline, [&] { return (descriptor = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) >= 0; })) {
        return -1;
    }
    fcntl(descriptor, F_SETFL, 0);
    return descriptor;
}

// The program's limits and console: no core dumps, SIGPIPE as a program starts with it, and the
// invocation's file size limit and standard error.
void setUpChild(const Invocation& invocation) {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    if (invocation.fileSizeLimit > 0) {
        const rlimit size{static_cast<rlim_t>(invocation.fileSizeLimit), static_cast<rlim_t>(invocation.fileSizeLimit)};
        setrlimit(RLIMIT_FSIZE, &size);
    }
    signal(SIGPIPE, SIG_DFL);
    int errorPipe[2];
    if (invocation.errorToClosedPipe && pipe(errorPipe) == 0) {
        close(errorPipe[0]);
        dup2(errorPipe[1], 2);
        close(errorPipe[1]);
    }
}

// One deadline decides three things: whether the program has opened its FIFO, when it is signalled,
// and whether it waits for a keystroke. It assumes that a program starts and reads what it was given
// within 300 ms, while one that waits is still there after them; a launcher such as Wine takes seconds
// to start a program, so there it is 3 s.
constexpr std::chrono::milliseconds kSettleTime{300};
constexpr std::chrono::milliseconds kSettleTimeUnderLauncher{3000};
// A program that runs to its end has ended by then, or it is killed.
constexpr std::chrono::seconds kRunTimeLimit{20};

// A pseudo-terminal in place of a pipe: ends[0] is the program's side, ends[1] the keyboard.
bool openTerminal(int ends[2]) {
    ends[1] = posix_openpt(O_RDWR | O_NOCTTY);
    if (ends[1] < 0 || grantpt(ends[1]) != 0 || unlockpt(ends[1]) != 0) {
        return false;
    }
    ends[0] = open(ptsname(ends[1]), O_RDWR | O_NOCTTY);
    return ends[0] >= 0;
}

// The program's arguments, after its launcher if it has one.
std::vector<std::string> commandLine(const fs::path& program, const Invocation& invocation) {
    std::vector<std::string> arguments{program.string()};
    if (!invocation.launcher.empty()) {
        arguments.insert(arguments.begin(), invocation.launcher);
    }
    arguments.insert(arguments.end(), invocation.arguments.begin(), invocation.arguments.end());
    return arguments;
}

// Starts the program in workDirectory with standard input from inputPipe, and standard output and error
// into the files named.
pid_t startProgram(std::vector<std::string> arguments, const fs::path& workDirectory, const int inputPipe[2],
                   const fs::path& outputFile, const fs::path& errorFile, const Invocation& invocation) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err < 0 || out < 0 || chdir(workDirectory.c_str()) != 0 || dup2(inputPipe[0], 0) < 0 ||
            dup2(out, 1) < 0 || dup2(err, 2) < 0) {
            _exit(127);
        }
        for (const int descriptor : {inputPipe[0], inputPipe[1], err, out}) {
            close(descriptor);
        }
        for (const int descriptor : invocation.closedDescriptors) {
            close(descriptor);
        }
        setUpChild(invocation);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

// Feeds the paused HEX file: its head, then, once the program waits for the rest, the signal if any,
// whatever is to happen meanwhile, and the rest.
void feedPausedInput(pid_t child, const fs::path& workDirectory, const Invocation& invocation,
                     Clock::time_point settled, bool& exited, Outcome& outcome) {
    const PausedInput& paused = invocation.pausedInput;
    const int fifo = paused.name.empty() ? -1 : openFifo(workDirectory / paused.name, settled);
    if (fifo >= 0) {
        writeAll(fifo, paused.head);
    }
    if (invocation.signal != 0 || fifo >= 0) {
        outcome.status = waitUntil(child, settled, exited);
        if (!exited && invocation.signal != 0) {
            kill(child, invocation.signal);
        }
    }
    if (fifo >= 0) {
        if (paused.whilePaused) {
            paused.whilePaused();
        }
        writeAll(fifo, paused.rest);
        close(fifo);
    }
}

// Waits for the program to end, killing it once the time is up.
void awaitEnd(pid_t child, bool& exited, Outcome& outcome) {
    if (!exited) {
        outcome.status = waitUntil(child, Clock::now() + kRunTimeLimit, exited, &outcome.signal);
    }
    if (!exited) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

}  // namespace

Outcome runProgram(const fs::path& program, const fs::path& workDirectory, const Invocation& invocation) {
    // A program that ends before reading its input must not take the test down with it.
    signal(SIGPIPE, SIG_IGN);
    const TempDirectory captures;
    const fs::path errorFile = captures.path() / "stderr.txt";
    const fs::path outputFile = captures.path() / "stdout.txt";
    const PausedInput& paused = invocation.pausedInput;
    int inputPipe[2];
    if ((!paused.name.empty() && mkfifo((workDirectory / paused.name).c_str(), 0644) != 0) ||
        !(invocation.inputIsATerminal ? openTerminal(inputPipe) : pipe(inputPipe) == 0)) {
        throw std::runtime_error("mkfifo, pipe or pseudo-terminal failed");
    }
    const pid_t child =
        startProgram(commandLine(program, invocation), workDirectory, inputPipe, outputFile, errorFile, invocation);
    close(inputPipe[0]);
    if (child < 0) {
        close(inputPipe[1]);
        throw std::runtime_error("fork failed");
    }
    writeAll(inputPipe[1], invocation.input);
    const int keyboard = invocation.endInput ? (close(inputPipe[1]), -1) : inputPipe[1];
    Outcome outcome;
    bool exited = false;
    const auto settled = Clock::now() + (invocation.launcher.empty() ? kSettleTime : kSettleTimeUnderLauncher);
    feedPausedInput(child, workDirectory, invocation, settled, exited, outcome);
    if (invocation.expectKeystroke) {
        outcome.status = waitUntil(child, settled, exited);
        outcome.awaitedKeystroke = !exited;
        if (!exited && keyboard >= 0) {
            writeAll(keyboard, "\n");
        }
    }
    awaitEnd(child, exited, outcome);
    if (keyboard >= 0) {
        close(keyboard);
    }
    outcome.standardError = readFile(errorFile);
    outcome.standardOutput = readFile(outputFile);
    return outcome;
}

TempDirectory::TempDirectory() {
    std::string pattern = (fs::temp_directory_path() / "romtools-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::vector<std::string> readmeBlocks(const std::string& fence) {
    const std::string readme = readFile(ROMTOOLS_README);
    std::vector<std::string> blocks;
    for (std::size_t at = 0; (at = readme.find(fence, at)) != std::string::npos;) {
        at += fence.size();
        blocks.push_back(readme.substr(at, readme.find("```", at) - at));
    }
    return blocks;
}

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace romtools::testing
