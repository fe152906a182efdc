// TCP sockets with time-outs: an owning descriptor, a connect with a time
// limit, and reads and writes that wait with poll, never without end unless
// asked to. A wake descriptor (an eventfd) lets another thread end a wait.
//
// Thread rules: a Socket belongs to one thread; ShutdownBoth may be called
// from another thread to end that thread's waits.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <span>
#include <string>

namespace rfcnet {

class Socket {
  public:
    Socket() = default;
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() { Close(); }
    Socket(Socket&& other) noexcept : fd_(other.Release()) {}
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    int Fd() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    int Release();
    void Close();
    void ShutdownBoth();

  private:
    int fd_ = -1;
};

enum class IoStatus {
    kOk,
    kClosed,  // the peer closed the connection
    kTimedOut,
    kWoken,  // the wake descriptor fired
    kError,  // errno-style failure; see the text
};

// Connects to address within timeoutMs; on failure returns a closed socket and
// the system's reason in error (e.g. "Connection refused").
Socket ConnectTcp(const sockaddr_in& address, int timeoutMs, std::string& error);

// A listening socket on address:port (port 0 = any), by default 127.0.0.1;
// closed on failure.
Socket ListenLoopback(uint16_t port, std::string& error, const std::string& address = "127.0.0.1");

uint16_t LocalPort(const Socket& socket);

// Waits until fd is readable. timeoutMs < 0 waits without limit; wakeFd < 0 is
// not watched.
IoStatus WaitReadable(int fd, int timeoutMs, int wakeFd);

// Reads exactly out.size() bytes, all within timeoutMs.
IoStatus ReadExact(int fd, std::span<uint8_t> out, int timeoutMs, int wakeFd, std::string& error);

// Writes all bytes within timeoutMs (no SIGPIPE).
IoStatus WriteAll(int fd, std::span<const uint8_t> bytes, int timeoutMs, std::string& error);

// An eventfd that wakes every waiter once signalled (it stays signalled).
class WakeSignal {
  public:
    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    int Fd() const { return fd_; }
    void Signal();
    // Waits up to timeoutMs (< 0: without limit); true when signalled.
    bool WaitFor(int timeoutMs) const;

  private:
    int fd_ = -1;
};

}  // namespace rfcnet
