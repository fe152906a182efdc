#include "net/Socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace rfcnet {
namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until deadline; -1 for no deadline.
int Remaining(bool limited, Clock::time_point deadline) {
    if (!limited) return -1;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

IoStatus PollFor(int fd, short events, int timeoutMs, int wakeFd) {
    pollfd fds[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
    const nfds_t count = wakeFd >= 0 ? 2 : 1;
    for (;;) {
        const int rc = ::poll(fds, count, timeoutMs);
        if (rc < 0 && errno == EINTR) continue;
        if (rc < 0) return IoStatus::kError;
        if (rc == 0) return IoStatus::kTimedOut;
        if (count == 2 && (fds[1].revents & POLLIN)) return IoStatus::kWoken;
        return IoStatus::kOk;  // readable, writable or in error: the next call tells
    }
}

void SetNonBlocking(int fd, bool on) {
    const int flags = ::fcntl(fd, F_GETFL, 0);
    ::fcntl(fd, F_SETFL, on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK));
}

}  // namespace

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.Release();
    }
    return *this;
}

int Socket::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void Socket::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void Socket::ShutdownBoth() {
    if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
}

Socket ConnectTcp(const sockaddr_in& address, int timeoutMs, std::string& error) {
    Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.IsOpen()) {
        error = std::strerror(errno);
        return Socket();
    }
    SetNonBlocking(socket.Fd(), true);
    int rc = ::connect(socket.Fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (rc < 0 && errno != EINPROGRESS) {
        error = std::strerror(errno);
        return Socket();
    }
    if (rc < 0) {
        const IoStatus status = PollFor(socket.Fd(), POLLOUT, timeoutMs, -1);
        if (status == IoStatus::kTimedOut) {
            error = "connect timed out after " + std::to_string(timeoutMs) + " ms";
            return Socket();
        }
        int soError = 0;
        socklen_t length = sizeof soError;
        ::getsockopt(socket.Fd(), SOL_SOCKET, SO_ERROR, &soError, &length);
        if (status != IoStatus::kOk || soError != 0) {
            error = std::strerror(soError != 0 ? soError : errno);
            return Socket();
        }
    }
    const int one = 1;
    ::setsockopt(socket.Fd(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return socket;
}

Socket ListenLoopback(uint16_t port, std::string& error, const std::string& address) {
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1) {
        error = "'" + address + "' is not an IPv4 address";
        return Socket();
    }
    Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.IsOpen()) {
        error = std::strerror(errno);
        return Socket();
    }
    const int one = 1;
    ::setsockopt(socket.Fd(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(socket.Fd(), reinterpret_cast<sockaddr*>(&where), sizeof where) < 0 ||
        ::listen(socket.Fd(), 128) < 0) {
        error = std::strerror(errno);
        return Socket();
    }
    return socket;
}

uint16_t LocalPort(const Socket& socket) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(socket.Fd(), reinterpret_cast<sockaddr*>(&address), &length) < 0) return 0;
    return ntohs(address.sin_port);
}

IoStatus WaitReadable(int fd, int timeoutMs, int wakeFd) {
    return PollFor(fd, POLLIN, timeoutMs, wakeFd);
}

IoStatus ReadExact(int fd, std::span<uint8_t> out, int timeoutMs, int wakeFd, std::string& error) {
    const bool limited = timeoutMs >= 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
    size_t done = 0;
    // Read what is there first and wait only when nothing is: a stream of
    // frames costs one call per read, not two.
    bool wait = wakeFd >= 0;
    while (done < out.size()) {
        if (wait) {
            const IoStatus waited = PollFor(fd, POLLIN, Remaining(limited, deadline), wakeFd);
            if (waited != IoStatus::kOk) {
                if (waited == IoStatus::kError) error = std::strerror(errno);
                return waited;
            }
        }
        wait = true;
        const ssize_t n = ::recv(fd, out.data() + done, out.size() - done, MSG_DONTWAIT);
        if (n == 0) return IoStatus::kClosed;
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
            if (errno == ECONNRESET) return IoStatus::kClosed;
            error = std::strerror(errno);
            return IoStatus::kError;
        }
        done += static_cast<size_t>(n);
    }
    return IoStatus::kOk;
}

IoStatus WriteAll(int fd, std::span<const uint8_t> bytes, int timeoutMs, std::string& error) {
    const bool limited = timeoutMs >= 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EPIPE || errno == ECONNRESET)) return IoStatus::kClosed;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            error = std::strerror(errno);
            return IoStatus::kError;
        }
        const IoStatus waited = PollFor(fd, POLLOUT, Remaining(limited, deadline), -1);
        if (waited != IoStatus::kOk) return waited;
    }
    return IoStatus::kOk;
}

WakeSignal::WakeSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

WakeSignal::~WakeSignal() {
    if (fd_ >= 0) ::close(fd_);
}

void WakeSignal::Signal() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(fd_, &one, sizeof one);
}

bool WakeSignal::WaitFor(int timeoutMs) const {
    pollfd fds{fd_, POLLIN, 0};
    for (;;) {
        const int rc = ::poll(&fds, 1, timeoutMs);
        if (rc < 0 && errno == EINTR) continue;
        return rc > 0;
    }
}

}  // namespace rfcnet
