#include "platform.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "path_last_part.h"

namespace romtools {

namespace {

bool gStandardOutputWasClosed = false;

}  // namespace

void openClosedStandardStreams() {
#ifndef _WIN32
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) == -1) {
            gStandardOutputWasClosed = gStandardOutputWasClosed || descriptor == 1;
            // The lower descriptors are open by now, so the null device gets this one.
            const int opened = open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
            if (opened > 2) {
                close(opened);
            }
        }
    }
#endif
}

std::FILE* standardInputInBinaryMode() {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    return stdin;
}

std::FILE* standardOutputInBinaryMode() {
#ifdef _WIN32
    if (_fileno(stdout) < 0) {
        gStandardOutputWasClosed = true;
    } else {
        _setmode(_fileno(stdout), _O_BINARY);
    }
#endif
    if (gStandardOutputWasClosed) {
        errno = EBADF;
        return nullptr;
    }
    return stdout;
}

std::string errorText(int error) {
    return std::strerror(error);
}

bool standardInputIsATerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(fileno(stdin)) != 0;
#endif
}

bool isSameFile(std::FILE* input, const std::string& name) {
#ifdef _WIN32
    (void)input;
    (void)name;
    return false;
#else
    struct stat inputStatus {};
    struct stat nameStatus {};
    return fstat(fileno(input), &inputStatus) == 0 && stat(name.c_str(), &nameStatus) == 0 &&
           inputStatus.st_dev == nameStatus.st_dev && inputStatus.st_ino == nameStatus.st_ino;
#endif
}

FileKind fileKind(const std::string& name) {
    struct stat status {};
    if (stat(name.c_str(), &status) != 0) {
        return {errno == ENOENT ? FileKind::none : FileKind::unreachable, 0};
    }
    if (S_ISDIR(status.st_mode)) {
        return {FileKind::directory, 0};
    }
    return {S_ISREG(status.st_mode) ? FileKind::regular : FileKind::other, status.st_mode & 07777u};
}

std::string followLinks(std::string name) {
#ifndef _WIN32
    for (int links = 0; links < 40; ++links) {  // the system's own limit
        struct stat status {};
        if (lstat(name.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            break;
        }
        std::string target(256, '\0');
        ssize_t length = 0;
        while ((length = readlink(name.c_str(), target.data(), target.size())) >= static_cast<ssize_t>(target.size())) {
            target.resize(target.size() * 2);
        }
        if (length <= 0) {
            break;
        }
        target.resize(static_cast<std::size_t>(length));
        if (target.front() != '/') {
            target.insert(0, name, 0, lastPartStart(name, kFileSystemSeparators));
        }
        name = std::move(target);
    }
#endif
    return name;
}

std::FILE* createNewFile(const std::string& name, int& descriptor) {
#ifdef _WIN32
    descriptor = _open(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    std::FILE* file = descriptor < 0 ? nullptr : _fdopen(descriptor, "wb");
    if (descriptor >= 0 && file == nullptr) {
        _close(descriptor);
    }
#else
    descriptor = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    std::FILE* file = descriptor < 0 ? nullptr : fdopen(descriptor, "wb");
    if (descriptor >= 0 && file == nullptr) {
        close(descriptor);
    }
#endif
    return file;
}

void givePermissions(int descriptor, unsigned permissions) {
#ifdef _WIN32
    (void)descriptor;
    (void)permissions;
#else
    fchmod(descriptor, static_cast<mode_t>(permissions));
#endif
}

std::string replaceFile(const std::string& from, const std::string& target) {
#ifdef _WIN32
    if (MoveFileExA(from.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0) {
        return "";
    }
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, text,
                   sizeof text, nullptr);
    std::string reason = text;
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ')) {
        reason.pop_back();
    }
    return reason.empty() ? "the file cannot be renamed" : reason;
#else
    return std::rename(from.c_str(), target.c_str()) == 0 ? "" : errorText(errno);
#endif
}

int processId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

std::vector<int> endingSignals() {
#ifdef _WIN32
    return {SIGINT, SIGBREAK};
#else
    return {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
#endif
}

void ignoreWriteSignals() {
#ifndef _WIN32
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

void removeOnSignal(const char* name, int descriptor) {
#ifdef _WIN32
    if (descriptor >= 0) {
        _close(descriptor);
    }
    _unlink(name);
#else
    (void)descriptor;
    unlink(name);
#endif
}

}  // namespace romtools
