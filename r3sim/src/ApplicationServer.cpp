#include "ApplicationServer.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace r3sim {
namespace {

// How often a server with a window looks at the clock by itself.
constexpr int kFollowMs = 100;

}  // namespace

ApplicationServer::ApplicationServer(SystemShared& shared, const ServerSpec& server)
    : shared_(shared), server_(server), wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

ApplicationServer::~ApplicationServer() {
    Stop();
}

bool ApplicationServer::Bind(const std::string& address, uint16_t port, std::string& error) {
    address_ = address;
    port_ = port;
    if (!wake_.IsOpen()) {
        error = "no event descriptor";
        return false;
    }
    rfcnet::Socket listener = rfcnet::ListenLoopback(port, error, address_);
    if (!listener.IsOpen()) return false;
    if (shared_.presence.InServiceNow(server_)) listener_ = std::move(listener);
    return true;
}

void ApplicationServer::Start() {
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

void ApplicationServer::AcceptLoop() {
    const int followMs = ServerPresence::HasWindow(server_) ? kFollowMs : -1;
    for (;;) {
        int listenFd = -1;
        {
            std::lock_guard lock(mutex_);
            retired_.clear();
            listenFd = listener_.Fd();
        }
        // poll skips the listener while there is none (fd -1).
        pollfd fds[3] = {
            {shared_.stop->Fd(), POLLIN, 0}, {wake_.Fd(), POLLIN, 0}, {listenFd, POLLIN, 0}};
        const int rc = ::poll(fds, 3, followMs);
        if (rc < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[0].revents != 0) return;
        if (fds[1].revents != 0) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = ::read(wake_.Fd(), &count, sizeof count);
            continue;
        }
        if (rc == 0) {
            FollowClock();
            continue;
        }
        if (fds[2].revents != 0 && !Accept(listenFd)) return;
    }
}

bool ApplicationServer::Accept(int listenFd) {
    const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return errno == EINTR || errno == ECONNABORTED || errno == EAGAIN;
    rfcnet::Socket socket(fd);
    if (!shared_.presence.InServiceNow(server_)) {
        // The instance stopped before this server looked at the clock.
        FollowClock();
        return true;
    }
    ReapFinished();
    std::lock_guard lock(mutex_);
    sessions_.emplace_back();
    Running& running = sessions_.back();
    running.session = std::make_unique<Session>(shared_, server_, std::move(socket));
    running.thread = std::thread([this, &running] {
        running.session->Run();
        running.session->Abort();
        std::lock_guard done(mutex_);
        running.done = true;
    });
    return true;
}

void ApplicationServer::FollowClock() {
    const bool inService = shared_.presence.InServiceNow(server_);
    std::lock_guard lock(mutex_);
    if (inService == listener_.IsOpen()) return;
    if (inService) {
        std::string error;  // a port taken meanwhile: tried again at the next look
        listener_ = rfcnet::ListenLoopback(port_, error, address_);
    } else {
        retired_.push_back(std::move(listener_));
        for (Running& running : sessions_) running.session->Abort();
    }
    Wake();
}

void ApplicationServer::Wake() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake_.Fd(), &one, sizeof one);
}

void ApplicationServer::ReapFinished() {
    std::list<Running> finished;
    {
        std::lock_guard lock(mutex_);
        for (auto it = sessions_.begin(); it != sessions_.end();) {
            auto next = std::next(it);
            if (it->done) finished.splice(finished.end(), sessions_, it);
            it = next;
        }
    }
    for (Running& running : finished) running.thread.join();
}

void ApplicationServer::Stop() {
    if (acceptThread_.joinable()) acceptThread_.join();
    std::list<Running> all;
    {
        std::lock_guard lock(mutex_);
        listener_.Close();
        retired_.clear();
        for (Running& running : sessions_) running.session->Abort();
        all.splice(all.end(), sessions_);
    }
    for (Running& running : all) running.thread.join();
}

}  // namespace r3sim
