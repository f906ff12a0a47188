#include "output_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <utility>

#include "platform.h"

namespace romtools {

namespace {

// What the signal handler removes: set while a temporary output file stands, null otherwise.
// Lock-free atomics are safe to read in a handler.
std::atomic<const char*> gTemporaryOutput{nullptr};
std::atomic<int> gTemporaryDescriptor{-1};
static_assert(std::atomic<const char*>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

// Removes the temporary output, then ends the process as the signal would have.
extern "C" void removeTemporaryOutput(int signalNumber) {
    const char* name = gTemporaryOutput.exchange(nullptr);
    if (name != nullptr) {
        removeOnSignal(name, gTemporaryDescriptor.load());
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

// From here on the handler leaves the file alone: it is in place, or its owner removes it.
void stopRemovingOnSignal() {
    gTemporaryOutput = nullptr;
}

}  // namespace

OutputFile::OutputFile(std::string name) : name_(std::move(name)) {}

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::create() {
    target_ = followLinks(name_);
    const FileKind target = fileKind(target_);
    if (target.kind == FileKind::directory || target.kind == FileKind::unreachable) {
        return false;
    }
    if (target.kind == FileKind::other) {
        // A device or a FIFO takes the output as it comes.
        file_ = std::fopen(name_.c_str(), "wb");
        return file_ != nullptr;
    }
    int descriptor = -1;
    file_ = createTemporary(descriptor);
    if (file_ == nullptr) {
        return false;
    }
    gTemporaryDescriptor = descriptor;
    if (target.kind == FileKind::regular) {
        givePermissions(descriptor, target.permissions);
    }
    return true;
}

std::FILE* OutputFile::createTemporary(int& descriptor) {
    // Hidden, beside the target, and named after it; the process id keeps two runs apart. The base
    // name is cut short so that the temporary name stays within the system's limit.
    const std::size_t base = baseNameStart(target_);
    std::string prefix = target_.substr(0, base);
    prefix += '.';
    prefix.append(target_, base, 200);
    prefix += '.';
    prefix += std::to_string(processId());
    std::FILE* file = nullptr;
    for (int attempt = 0; file == nullptr && attempt < 100; ++attempt) {
        // Named before it is made, so that no signal can leave it behind once it stands.
        stopRemovingOnSignal();
        temporary_ = prefix;
        if (attempt > 0) {
            temporary_ += '-';
            temporary_ += std::to_string(attempt);
        }
        temporary_ += ".tmp";
        gTemporaryOutput = temporary_.c_str();
        file = createNewFile(temporary_, descriptor);
        if (file == nullptr && errno != EEXIST) {
            break;
        }
    }
    if (file == nullptr) {
        stopRemovingOnSignal();
        temporary_.clear();
    }
    return file;
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
    ignoreWriteSignals();
    for (const int signalNumber : endingSignals()) {
        // A signal ignored from the start, as under nohup, stays ignored.
        if (std::signal(signalNumber, removeTemporaryOutput) == SIG_IGN) {
            std::signal(signalNumber, SIG_IGN);
        }
    }
}

}  // namespace romtools
