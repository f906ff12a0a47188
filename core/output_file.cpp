#include "output_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
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

namespace romtools {

namespace {

#ifdef _WIN32
const int kEndingSignals[] = {SIGINT, SIGBREAK};
#else
const int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
#endif

// What the signal handler removes: set while a temporary output file stands, null otherwise.
// Lock-free atomics are safe to read in a handler.
std::atomic<const char*> gTemporaryOutput{nullptr};
// Windows removes no open file, so its handler closes the file's descriptor first.
std::atomic<int> gTemporaryDescriptor{-1};
static_assert(std::atomic<const char*>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

// Only async-signal-safe calls: remove the temporary output, then end as the signal would have.
extern "C" void removeTemporaryOutput(int signalNumber) {
    const char* name = gTemporaryOutput.exchange(nullptr);
    if (name != nullptr) {
#ifdef _WIN32
        const int descriptor = gTemporaryDescriptor.load();
        if (descriptor >= 0) {
            _close(descriptor);
        }
        _unlink(name);
#else
        unlink(name);
#endif
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

// From here on the handler leaves the file alone: it is in place, or its owner removes it.
void stopRemovingOnSignal() {
    gTemporaryOutput = nullptr;
}

// Where the last part of a path starts.
std::size_t baseNameStart(const std::string& name) {
#ifdef _WIN32
    const std::size_t separator = name.find_last_of("/\\:");
#else
    const std::size_t separator = name.rfind('/');
#endif
    return separator == std::string::npos ? 0 : separator + 1;
}

// The file that name leads to through any chain of links; a relative link is taken from the folder of
// the link that holds it. Stops after 40 links, as the system does.
std::string followLinks(std::string name) {
#ifndef _WIN32
    for (int links = 0; links < 40; ++links) {
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
            target.insert(0, name, 0, baseNameStart(name));
        }
        name = std::move(target);
    }
#endif
    return name;
}

// A new file for writing, or -1 when it cannot be made or one stands under its name already.
int createNewFile(const std::string& name) {
#ifdef _WIN32
    return _open(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    return open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
}

// Puts the complete file in the place of target in one step.
bool replaceFile(const std::string& from, const std::string& target) {
#ifdef _WIN32
    return MoveFileExA(from.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return std::rename(from.c_str(), target.c_str()) == 0;
#endif
}

int processId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

}  // namespace

OutputFile::OutputFile(std::string name) : name_(std::move(name)) {}

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::create() {
    target_ = followLinks(name_);
    struct stat status {};
    const bool exists = stat(target_.c_str(), &status) == 0;
    if ((!exists && errno != ENOENT) || (exists && S_ISDIR(status.st_mode))) {
        return false;
    }
    if (exists && !S_ISREG(status.st_mode)) {
        // A device or a FIFO takes the output as it comes.
        file_ = std::fopen(name_.c_str(), "wb");
        return file_ != nullptr;
    }

    // Hidden, beside the target, and named after it; the process id keeps two runs apart. The base
    // name is cut short so that the temporary name stays within the system's limit.
    const std::size_t base = baseNameStart(target_);
    std::string prefix = target_.substr(0, base);
    prefix += '.';
    prefix.append(target_, base, 200);
    prefix += '.';
    prefix += std::to_string(processId());
    int descriptor = -1;
    for (int attempt = 0; descriptor < 0 && attempt < 100; ++attempt) {
        // Named before it is made, so that no signal can leave it behind once it stands.
        stopRemovingOnSignal();
        temporary_ = prefix;
        if (attempt > 0) {
            temporary_ += '-';
            temporary_ += std::to_string(attempt);
        }
        temporary_ += ".tmp";
        gTemporaryOutput = temporary_.c_str();
        descriptor = createNewFile(temporary_);
        if (descriptor < 0 && errno != EEXIST) {
            break;
        }
    }
    if (descriptor < 0) {
        stopRemovingOnSignal();
        temporary_.clear();
        return false;
    }
#ifdef _WIN32
    gTemporaryDescriptor = descriptor;
    file_ = _fdopen(descriptor, "wb");
#else
    if (exists) {
        fchmod(descriptor, status.st_mode & 07777);
    }
    file_ = fdopen(descriptor, "wb");
#endif
    if (file_ == nullptr) {
        gTemporaryDescriptor = -1;
#ifdef _WIN32
        _close(descriptor);
#else
        close(descriptor);
#endif
        discard();
        return false;
    }
    return true;
}

bool OutputFile::complete() {
    gTemporaryDescriptor = -1;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed || (!temporary_.empty() && !replaceFile(temporary_, target_))) {
        discard();
        return false;
    }
    stopRemovingOnSignal();
    temporary_.clear();
    return true;
}

void OutputFile::discard() {
    gTemporaryDescriptor = -1;
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::remove(temporary_.c_str());
        stopRemovingOnSignal();
        temporary_.clear();
    }
}

void installSignalHandlers() {
#ifndef _WIN32
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    for (const int signalNumber : kEndingSignals) {
        if (std::signal(signalNumber, removeTemporaryOutput) == SIG_IGN) {
            std::signal(signalNumber, SIG_IGN);
        }
    }
}

void openClosedStandardStreams() {
#ifndef _WIN32
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) == -1) {
            // The lower descriptors are open by now, so the null device gets this one.
            const int opened = open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
            if (opened > 2) {
                close(opened);
            }
        }
    }
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

}  // namespace romtools
