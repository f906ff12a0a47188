#include "output_file.h"

#include <atomic>
#include <csignal>
#include <utility>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace romtools {

namespace {

#ifdef _WIN32
const int kEndingSignals[] = {SIGINT, SIGBREAK};
#else
const int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
#endif

// What the signal handler removes: set while an incomplete output file stands, null otherwise.
// Lock-free atomics are safe to read in a handler.
std::atomic<const char*> gIncompleteOutput{nullptr};
// Windows removes no open file, so its handler closes the file's descriptor first.
std::atomic<int> gIncompleteDescriptor{-1};
static_assert(std::atomic<const char*>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

// Only async-signal-safe calls: remove the incomplete output, then end as the signal would have.
extern "C" void removeIncompleteOutput(int signalNumber) {
    const char* name = gIncompleteOutput.exchange(nullptr);
    if (name != nullptr) {
#ifdef _WIN32
        const int descriptor = gIncompleteDescriptor.load();
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

// From here on the handler leaves the file alone: it is complete, or its owner removes it.
void stopRemovingOnSignal() {
    gIncompleteOutput = nullptr;
    gIncompleteDescriptor = -1;
}

void installSignalHandlers() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    for (const int signalNumber : kEndingSignals) {
        // A program started with a signal ignored (under nohup, say) keeps ignoring it.
        if (std::signal(signalNumber, removeIncompleteOutput) == SIG_IGN) {
            std::signal(signalNumber, SIG_IGN);
        }
    }
}

}  // namespace

OutputFile::OutputFile(std::string name) : name_(std::move(name)) {}

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::create() {
    installSignalHandlers();
    // Named before it is opened, so that no signal can leave it behind once it stands.
    gIncompleteOutput = name_.c_str();
    file_ = std::fopen(name_.c_str(), "wb");
    if (file_ == nullptr) {
        stopRemovingOnSignal();
        return false;
    }
#ifdef _WIN32
    gIncompleteDescriptor = _fileno(file_);
#endif
    incomplete_ = true;
    return true;
}

bool OutputFile::complete() {
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) {
        discard();
        return false;
    }
    stopRemovingOnSignal();
    incomplete_ = false;
    return true;
}

void OutputFile::discard() {
    if (incomplete_) {
        stopRemovingOnSignal();
    }
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (incomplete_) {
        std::remove(name_.c_str());
        incomplete_ = false;
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
