// The calls that differ between POSIX and Windows, so that no other file has to tell the two apart.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace romtools {

// Opens the null device on any of the standard descriptors 0, 1 and 2 that is closed, so that no file
// of the run can take a standard stream's place. Nothing to do on Windows.
void openClosedStandardStreams();

// Standard input, switched to binary mode where the system tells text from binary (Windows).
std::FILE* standardInputInBinaryMode();

// Standard output in binary mode, as standard input; null, with errno EBADF, when the run started with
// it closed, rather than writing into the null device that stands in for it.
std::FILE* standardOutputInBinaryMode();

// The system's text for an errno value, such as "No such file or directory".
std::string errorText(int error);

// True when standard input is a terminal, where a user types.
bool standardInputIsATerminal();

// True when name leads to the file open as input, through a link say: the output would replace the
// input. Always false on Windows, which gives no inode numbers to compare.
bool isSameFile(std::FILE* input, const std::string& name);

// What stands under a name, links followed.
struct FileKind {
    enum Kind { none, regular, directory, other, unreachable } kind;
    unsigned permissions;  // of a regular file
};
FileKind fileKind(const std::string& name);

// The file that name leads to through any chain of links; a relative link is taken from the folder
// of the link that holds it. Windows links are not followed.
std::string followLinks(std::string name);

// A new file for writing in binary mode, with the usual permissions under the umask, or null when it
// cannot be made or one stands under its name already (errno tells which). Its descriptor is kept
// for removeOnSignal.
std::FILE* createNewFile(const std::string& name, int& descriptor);

// Gives an open file the permission bits of the file it will replace. Nothing to do on Windows.
void givePermissions(int descriptor, unsigned permissions);

// Puts the file from in the place of target in one step, replacing what stands there. Returns the
// system's text for why it failed, or nothing.
std::string replaceFile(const std::string& from, const std::string& target);

int processId();

// The signals that end a run: SIGINT, SIGTERM, SIGHUP and SIGQUIT; SIGINT and SIGBREAK on Windows.
std::vector<int> endingSignals();

// Ignores SIGPIPE and SIGXFSZ, so that a write they would stop fails as a write instead.
void ignoreWriteSignals();

// Removes a file from a signal handler, with async-signal-safe calls only. Windows removes no open
// file, so there its descriptor is closed first.
void removeOnSignal(const char* name, int descriptor);

}  // namespace romtools
