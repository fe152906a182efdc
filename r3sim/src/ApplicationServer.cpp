#include "ApplicationServer.h"

#include <sys/socket.h>

#include <cerrno>

namespace r3sim {

ApplicationServer::ApplicationServer(SystemShared& shared, const ServerSpec& server)
    : shared_(shared), server_(server) {}

ApplicationServer::~ApplicationServer() {
    Stop();
}

bool ApplicationServer::Bind(uint16_t port, std::string& error) {
    listener_ = rfcnet::ListenLoopback(port, error);
    return listener_.IsOpen();
}

void ApplicationServer::Start() {
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

void ApplicationServer::AcceptLoop() {
    for (;;) {
        const rfcnet::IoStatus status =
            rfcnet::WaitReadable(listener_.Fd(), -1, shared_.stop->Fd());
        if (status != rfcnet::IoStatus::kOk) return;
        const int fd = ::accept4(listener_.Fd(), nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED || errno == EAGAIN) continue;
            return;
        }
        ReapFinished();
        std::lock_guard lock(mutex_);
        sessions_.emplace_back();
        Running& running = sessions_.back();
        running.session = std::make_unique<Session>(shared_, server_, rfcnet::Socket(fd));
        running.thread = std::thread([this, &running] {
            running.session->Run();
            running.session->Abort();
            std::lock_guard done(mutex_);
            running.done = true;
        });
    }
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
    listener_.Close();
    std::list<Running> all;
    {
        std::lock_guard lock(mutex_);
        for (Running& running : sessions_) running.session->Abort();
        all.splice(all.end(), sessions_);
    }
    for (Running& running : all) running.thread.join();
}

}  // namespace r3sim
