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

// Waits for the child until the deadline; returns its exit status, or -1 if it is still running or
// was ended by a signal.
int waitUntil(pid_t child, Clock::time_point deadline, bool& exited, int* endingSignal = nullptr) {
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            exited = true;
            if (endingSignal != nullptr && WIFSIGNALED(status)) {
                *endingSignal = WTERMSIG(status);
            }
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (Clock::now() >= deadline) {
            exited = false;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
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
    for (;;) {
        const int descriptor = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (descriptor >= 0) {
            fcntl(descriptor, F_SETFL, 0);
            return descriptor;
        }
        if (Clock::now() >= deadline) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
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

}  // namespace

Outcome runProgram(const fs::path& program, const fs::path& workDirectory, const Invocation& invocation) {
    // A program that ends before reading its input must not take the test down with it.
    signal(SIGPIPE, SIG_IGN);
    const fs::path errorFile = workDirectory.parent_path() / "stderr.txt";
    const fs::path outputFile = workDirectory.parent_path() / "stdout.txt";

    const PausedInput& paused = invocation.pausedInput;
    if (!paused.name.empty() && mkfifo((workDirectory / paused.name).c_str(), 0644) != 0) {
        throw std::runtime_error("mkfifo failed");
    }
    int inputPipe[2];
    if (pipe(inputPipe) != 0) {
        throw std::runtime_error("pipe failed");
    }
    std::vector<std::string> arguments{program.string()};
    if (!invocation.launcher.empty()) {
        arguments.insert(arguments.begin(), invocation.launcher);
    }
    arguments.insert(arguments.end(), invocation.arguments.begin(), invocation.arguments.end());
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
        close(inputPipe[0]);
        close(inputPipe[1]);
        close(err);
        close(out);
        for (const int descriptor : invocation.closedDescriptors) {
            close(descriptor);
        }
        setUpChild(invocation);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(inputPipe[0]);
    if (child < 0) {
        close(inputPipe[1]);
        throw std::runtime_error("fork failed");
    }

    writeAll(inputPipe[1], invocation.input);
    int keyboard = inputPipe[1];
    if (invocation.endInput) {
        close(keyboard);
        keyboard = -1;
    }
    Outcome outcome;
    bool exited = false;
    // A program that waits is still there after a while; one that does not has gone by then. A
    // launcher such as Wine takes seconds to start a program.
    const auto settled = Clock::now() + std::chrono::milliseconds(invocation.launcher.empty() ? 300 : 3000);
    const int fifo = paused.name.empty() ? -1 : openFifo(workDirectory / paused.name, settled);
    if (fifo >= 0) {
        writeAll(fifo, paused.head);
    }
    if (invocation.signal != 0 || fifo >= 0) {
        // By then the program has read what it was given and waits for the rest.
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
    if (invocation.expectKeystroke) {
        outcome.status = waitUntil(child, settled, exited);
        outcome.awaitedKeystroke = !exited;
        if (!exited && keyboard >= 0) {
            writeAll(keyboard, "\n");
        }
    }
    if (!exited) {
        outcome.status = waitUntil(child, Clock::now() + std::chrono::seconds(20), exited, &outcome.signal);
    }
    if (!exited) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
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
