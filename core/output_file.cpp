#include "output_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <utility>

#include "path_last_part.h"
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

OutputFile::OutputFile(std::string name, bool toStandardOutput)
    : name_(std::move(name)), toStandardOutput_(toStandardOutput) {}

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::create() {
    if (toStandardOutput_) {
        file_ = standardOutputInBinaryMode();
        return file_ != nullptr || fail(errno);
    }
    // What the name leads to, as the system follows its links.
    const FileKind target = fileKind(name_);
    if (target.kind == FileKind::unreachable) {
        return fail(errno);
    }
    if (target.kind == FileKind::directory) {
        return fail(EISDIR);
    }
    if (target.kind == FileKind::other) {
        // A device, a FIFO or a pipe takes the output as it comes.
        file_ = std::fopen(name_.c_str(), "wb");
        return file_ != nullptr || fail(errno);
    }
    target_ = followLinks(name_);
    int descriptor = -1;
    file_ = createTemporary(descriptor);
    if (file_ == nullptr) {
        return fail(errno);
    }
    gTemporaryDescriptor = descriptor;
    if (target.kind == FileKind::regular) {
        givePermissions(descriptor, target.permissions);
        // Read as the output is written, without a buffer of its own; one that cannot be read is replaced.
        previous_ = std::fopen(target_.c_str(), "rb");
        if (previous_ != nullptr) {
            std::setvbuf(previous_, nullptr, _IONBF, 0);
        }
    }
    return true;
}

bool OutputFile::fail(int error) {
    failure_ = errorText(error);
    return false;
}

std::FILE* OutputFile::createTemporary(int& descriptor) {
    // Hidden, beside the target, and named after it; the process id keeps two runs apart. The base
    // name is cut short so that the temporary name stays within the system's limit.
    const std::size_t base = lastPartStart(target_, kFileSystemSeparators);
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

bool OutputFile::complete(bool unchanged) {
    gTemporaryDescriptor = -1;
    closePrevious();  // Windows replaces no open file
    // Standard output stays open: it is flushed, and its errors are the run's.
    const bool closed = toStandardOutput_ ? std::fflush(file_) == 0 && std::ferror(file_) == 0 : std::fclose(file_) == 0;
    const int closeError = errno;
    file_ = nullptr;
    if (!closed) {
        discard();
        return fail(closeError);
    }
    if (unchanged && !temporary_.empty()) {
        discard();
        return true;
    }
    failure_ = temporary_.empty() ? "" : replaceFile(temporary_, target_);
    if (!failure_.empty()) {
        discard();
        return false;
    }
    stopRemovingOnSignal();
    temporary_.clear();
    return true;
}

void OutputFile::closePrevious() {
    if (previous_ != nullptr) {
        std::fclose(previous_);
        previous_ = nullptr;
    }
}

void OutputFile::discard() {
    gTemporaryDescriptor = -1;
    closePrevious();
    if (file_ != nullptr && !toStandardOutput_) {
        std::fclose(file_);
    }
    file_ = nullptr;
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
