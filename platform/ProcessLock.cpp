#include "platform/ProcessLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/TextCodec.h"

namespace platform {

ProcessLock::~ProcessLock() {
    Release();
}

ProcessLock::Result ProcessLock::Take(const std::u16string& path, long& holder,
                                      std::u16string& error) {
    Release();
    holder = 0;
    const std::string name = ToUtf8(path);
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0640);
    if (fd < 0) {
        error = FromUtf8(std::strerror(errno));
        return Result::kFailed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int cause = errno;
        char text[32] = {};
        if (::pread(fd, text, sizeof text - 1, 0) > 0) holder = std::strtol(text, nullptr, 10);
        ::close(fd);
        if (cause == EWOULDBLOCK) return Result::kHeld;
        error = FromUtf8(std::strerror(cause));
        return Result::kFailed;
    }
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) != 0 ||
        ::pwrite(fd, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
        error = FromUtf8(std::strerror(errno));
        ::close(fd);
        return Result::kFailed;
    }
    fd_ = fd;
    return Result::kTaken;
}

void ProcessLock::Release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace platform
