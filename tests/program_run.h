// runProgram: a built program run as a user runs it, for the end-to-end and round-trip tests.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace romtools::testing {

// The question, as both programs ask it on standard error.
inline const std::string kQuestion = "ROM ADDRESS WIDTH? (enter 0 for using default value 13): ";

// A HEX file that reaches the program through a FIFO in two parts, so that the run waits half way.
struct PausedInput {
    std::string name{};  // made in the work folder
    std::string head{};
    std::string rest{};  // written after the signal, if any, and whilePaused
    std::function<void()> whilePaused{};
};

// How a user runs one of the programs: in a folder, with arguments, typing an answer.
struct Invocation {
    std::vector<std::string> arguments{};
    std::string input{};               // written to standard input, which stays open
    bool endInput = false;           // end standard input after it
    bool expectKeystroke = false;    // the program should wait for a key after the input
    std::vector<int> closedDescriptors{};  // standard streams the program starts without
    int signal = 0;                  // sent once the program has read the input and waits for more
    PausedInput pausedInput{};         // used when it has a name
    long fileSizeLimit = 0;          // in bytes, as ulimit -f sets it; 0 for none
    bool errorToClosedPipe = false;  // standard error is a pipe whose reader has gone
    bool inputIsATerminal = false;   // standard input is a pseudo-terminal, typed into as the input is
    std::string launcher{};            // runs the program, such as Wine for a Windows program
};

struct Outcome {
    int status = -1;                 // exit status; -1 when it did not exit normally in time
    int signal = 0;                  // the signal that ended it, if one did
    bool awaitedKeystroke = false;   // still running after the input until a key was sent
    std::string standardOutput;
    std::string standardError;
};

// Runs the program in workDirectory. Standard error and output are captured in a folder of its own.
Outcome runProgram(const std::filesystem::path& program, const std::filesystem::path& workDirectory,
                   const Invocation& invocation);

// A new empty folder, removed with all its contents at the end of the scope.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The blocks of README.md that open with the fence, such as "```make\n", as a user copies them.
std::vector<std::string> readmeBlocks(const std::string& fence);

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace romtools::testing
