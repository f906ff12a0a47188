#pragma once

#include <cstdio>
#include <string>

namespace romtools {

// The one owner of the output file, from its creation to the end of the run. The file is removed unless
// the run marks it complete: on every failure, when the owner goes, and when SIGINT, SIGTERM or SIGHUP
// (SIGINT or SIGBREAK on Windows) ends the process first, so no cut-off file ever stands under the
// output's name. One output file at a time.
class OutputFile {
public:
    explicit OutputFile(std::string name);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the file, or empties an existing one, for writing in binary mode; false when it cannot.
    bool create();
    std::FILE* file() const { return file_; }

    // Closes the file and keeps it when every byte reached it; false, with the file removed, otherwise.
    bool complete();
    // Closes and removes the file.
    void discard();

private:
    std::string name_;
    std::FILE* file_ = nullptr;
    bool incomplete_ = false;  // created and not yet complete: removed when the run ends
};

// Opens the null device on any of the standard descriptors 0, 1 and 2 that is closed, so that no file
// of the run can take a standard stream's place.
void openClosedStandardStreams();

// True when name leads to the file open as input, through a link say: creating it would empty the input.
// Always false where the system gives no inode numbers to compare.
bool isSameFile(std::FILE* input, const std::string& name);

}  // namespace romtools
