// OutputFile: the output, from its creation until it is in place.
#pragma once

#include <cstdio>
#include <string>

namespace romtools {

// It owns the output from its creation to the end of the run. Under the output's name there is always
// a complete output or the previous one: the run writes a hidden temporary file beside it,
// ".<name>.<process id>.tmp", and renames it over the name only once it is complete and closed. A link
// to a regular file is followed, so the link stays and its target is replaced, keeping its permission
// bits. Anything else under the name, such as a device, a FIFO or a pipe, is written directly and
// never removed; so is standard output. Every failure, and SIGINT, SIGTERM, SIGHUP or SIGQUIT (SIGINT or
// SIGBREAK on Windows), removes the temporary file and nothing else. One output file at a time.
class OutputFile {
public:
    // Standard output when toStandardOutput, and the name then only names it.
    explicit OutputFile(std::string name, bool toStandardOutput = false);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens the file that the run writes, in binary mode; false when the output cannot be created, as
    // when a folder stands under its name, and failure() says why.
    bool create();
    std::FILE* file() const { return file_; }
    // The regular file that the output will replace, open for reading; null when there is none.
    std::FILE* previous() const { return previous_; }
    // True when the output is a device or FIFO, written as the run goes rather than put in place.
    bool writesInPlace() const { return file_ != nullptr && temporary_.empty(); }

    // Closes the file and puts it in place, or when it is unchanged, equal to the previous file byte for
    // byte, leaves that file as it was (contents, time stamps, links, permissions) and removes the
    // temporary file; false, with the temporary file removed, when any of it fails, and failure() says
    // why.
    bool complete(bool unchanged = false);
    // Closes the file and removes the temporary file.
    void discard();
    // The system's text for why create() or complete() failed.
    const std::string& failure() const { return failure_; }

private:
    void closePrevious();
    // Keeps the text for the errno value, and returns false.
    bool fail(int error);
    // The hidden file written until the output is complete; null when it cannot be made.
    std::FILE* createTemporary(int& descriptor);

    std::string name_;
    std::string target_;     // where the output lands: the name, or the file its links lead to
    std::string temporary_;  // the file written until it is complete; empty when writing directly
    std::FILE* file_ = nullptr;
    std::FILE* previous_ = nullptr;
    bool toStandardOutput_;
    std::string failure_;
};

// Sets up the signals of a run, before it writes anything. SIGPIPE and SIGXFSZ are ignored, so that a
// write they would stop fails as a write, and a standard error that cannot be written never ends the
// run. The signals that end a run remove its temporary output first; one ignored from the start, as
// under nohup, stays ignored.
void installSignalHandlers();

}  // namespace romtools
