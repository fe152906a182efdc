#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/AccessModes.h"
#include "platform/TextCodec.h"

namespace platform {
namespace {

// Threads of one collector append to shared files (host.ctl, a destination's
// disk files written by its D and D(Y) threads) for a moment each minute;
// a writer that finds the file taken waits that moment out instead of
// losing its record. A writer that keeps the file longer is refused as before.
constexpr auto kLockWait = std::chrono::seconds(1);
constexpr auto kLockRetry = std::chrono::milliseconds(5);

bool TakeWriteLock(int fd, struct flock& lock) {
    const auto end = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
        if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return true;
        if ((errno != EAGAIN && errno != EACCES) || std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(kLockRetry);
    }
}

constexpr size_t kBufferSize = 64 * 1024;

std::atomic<WriteSeam*> g_writeSeam{nullptr};

ssize_t SystemWrite(int fd, const void* data, size_t size) {
    WriteSeam* seam = g_writeSeam.load(std::memory_order_acquire);
    return seam != nullptr ? seam->Write(fd, data, size) : ::write(fd, data, size);
}

}  // namespace

void SetWriteSeam(WriteSeam* seam) {
    g_writeSeam.store(seam, std::memory_order_release);
}

File::~File() {
    try {
        Close();
    } catch (const CException&) {
        // A destructor cannot report; the owner calls Close() where it matters.
    }
}

void File::Fail(int error) const {
    throw CFileException(CFileException::CauseFromErrno(error), error, path_);
}

void File::Open(const std::u16string& path, Mode mode) {
    Close();
    path_ = path;
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::Snapshot:
            flags |= O_WRONLY | O_CREAT;
            break;
        case Mode::Append:
            // Readable too: a torn last line is found by reading back from the end.
            flags |= O_RDWR | O_CREAT;
            break;
        case Mode::Update:
            flags |= O_RDWR | O_CREAT;
            break;
        case Mode::Read:
            flags |= O_RDONLY;
            break;
    }
    const std::string native = ToUtf8(path);
    // A file that exists keeps its mode; a new one is private (see AccessModes.h).
    const int fd = ::open(native.c_str(), flags, static_cast<mode_t>(kPrivateFileMode));
    if (fd < 0) Fail(errno);
    if (mode != Mode::Read) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (!TakeWriteLock(fd, lock)) {
            const int error = errno;
            ::close(fd);
            throw CFileException(CFileException::sharingViolation, error == EACCES ? EAGAIN : error,
                                 path_);
        }
        // Truncate only once the lock is ours, so a refused open changes nothing.
        if (mode == Mode::Snapshot && ::ftruncate(fd, 0) != 0) {
            const int error = errno;
            ::close(fd);
            Fail(error);
        }
    }
    fd_ = fd;
    mode_ = mode;
    if (mode == Mode::Append) SeekToEnd();
}

void File::FlushBuffer() {
    size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = SystemWrite(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A zero count makes no progress: the disk took nothing more.
            const int error = n == 0 ? ENOSPC : errno;
            CutBackToWholeUnit(done);
            Fail(error);
        }
        done += static_cast<size_t>(n);
    }
    buffer_.clear();
    unitEnds_.clear();
}

void File::CutBackToWholeUnit(size_t done) {
    const off_t end = ::lseek(fd_, 0, SEEK_CUR);
    size_t whole = 0;
    for (const size_t unitEnd : unitEnds_) {
        if (unitEnd > done) break;
        whole = unitEnd;
    }
    buffer_.clear();
    unitEnds_.clear();
    // Only a write at the end leaves a torn tail; an update inside the file
    // (Update mode) overwrote bytes that were there and cannot be cut.
    struct stat st {};
    if (end < 0 || ::fstat(fd_, &st) != 0 || st.st_size != end) return;
    const off_t keep = end - static_cast<off_t>(done - whole);
    if (keep < end && ::ftruncate(fd_, keep) == 0) ::lseek(fd_, keep, SEEK_SET);
}

void File::Write(const void* data, size_t size) {
    if (fd_ < 0) Fail(EBADF);
    if (size == 0) return;
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (buffer_.capacity() < kBufferSize) buffer_.reserve(kBufferSize);
    if (buffer_.size() + size > kBufferSize) FlushBuffer();
    if (size >= kBufferSize) {
        buffer_.assign(bytes, bytes + size);
        unitEnds_.assign(1, size);
        FlushBuffer();
        return;
    }
    buffer_.insert(buffer_.end(), bytes, bytes + size);
    unitEnds_.push_back(buffer_.size());
}

void File::CutBackTo(int64_t length) {
    if (fd_ < 0) Fail(EBADF);
    buffer_.clear();
    unitEnds_.clear();
    if (::ftruncate(fd_, static_cast<off_t>(length)) != 0) Fail(errno);
    if (::lseek(fd_, 0, SEEK_END) < 0) Fail(errno);
}

int64_t File::CutPartialRecord(size_t recordSize) {
    const int64_t length = Length();
    if (recordSize == 0) return 0;
    const int64_t partial = length % static_cast<int64_t>(recordSize);
    if (partial != 0) CutBackTo(length - partial);
    return partial;
}

int64_t File::CutPartialLine() {
    const int64_t length = Length();
    // Back from the end in blocks until a line feed; none at all leaves nothing whole.
    constexpr int64_t kBlock = 4096;
    unsigned char block[kBlock];
    int64_t keep = 0;
    for (int64_t to = length; to > 0 && keep == 0;) {
        const int64_t from = std::max<int64_t>(0, to - kBlock);
        const ssize_t n = ::pread(fd_, block, static_cast<size_t>(to - from), from);
        if (n < 0) Fail(errno);
        for (ssize_t i = n; i > 0; --i) {
            if (block[i - 1] == '\n') {
                keep = from + i;
                break;
            }
        }
        to = from;
    }
    if (keep != length) CutBackTo(keep);
    if (mode_ == Mode::Append) SeekToEnd();
    return length - keep;
}

size_t File::Read(void* data, size_t size) {
    if (fd_ < 0) Fail(EBADF);
    FlushBuffer();
    size_t done = 0;
    auto* bytes = static_cast<unsigned char*>(data);
    while (done < size) {
        const ssize_t n = ::read(fd_, bytes + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(errno);
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

void File::Seek(int64_t offset) {
    if (fd_ < 0) Fail(EBADF);
    FlushBuffer();
    if (::lseek(fd_, offset, SEEK_SET) < 0) Fail(errno);
}

void File::SeekToEnd() {
    if (fd_ < 0) Fail(EBADF);
    FlushBuffer();
    if (::lseek(fd_, 0, SEEK_END) < 0) Fail(errno);
}

int64_t File::Position() {
    if (fd_ < 0) Fail(EBADF);
    const off_t at = ::lseek(fd_, 0, SEEK_CUR);
    if (at < 0) Fail(errno);
    return static_cast<int64_t>(at) + static_cast<int64_t>(buffer_.size());
}

int64_t File::Length() {
    if (fd_ < 0) Fail(EBADF);
    FlushBuffer();
    struct stat st {};
    if (::fstat(fd_, &st) != 0) Fail(errno);
    return st.st_size;
}

void File::Flush() {
    if (fd_ >= 0) FlushBuffer();
}

void File::Close() {
    if (fd_ < 0) return;
    int error = 0;
    try {
        FlushBuffer();
    } catch (const CFileException& e) {
        error = e.m_lOsError;
    }
    if (::close(fd_) != 0 && error == 0 && errno != EINTR) error = errno;
    fd_ = -1;
    buffer_.clear();
    unitEnds_.clear();
    if (error != 0) Fail(error);
}

std::vector<unsigned char> ReadWholeFile(const std::u16string& path) {
    File file(path, File::Mode::Read);
    std::vector<unsigned char> content(static_cast<size_t>(file.Length()));
    content.resize(file.Read(content.data(), content.size()));
    return content;
}

}  // namespace platform
