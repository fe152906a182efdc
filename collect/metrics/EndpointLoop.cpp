#include "collect/metrics/EndpointLoop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "collect/metrics/Exposition.h"

namespace metrics {
namespace {

// Out of descriptors: the listener rests rather than spin on a connection
// it cannot take.
constexpr std::chrono::milliseconds kListenPause{100};

std::string StatusHead(int status, const char* reason, const std::string& type, size_t length,
                       bool keepAlive = false) {
    std::string head = "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\n";
    if (!type.empty()) head += "Content-Type: " + type + "\r\n";
    head += "Content-Length: " + std::to_string(length) + "\r\nConnection: " +
            (keepAlive ? "keep-alive" : "close") + "\r\n\r\n";
    return head;
}

}  // namespace

MetricsEndpoint::Loop::Loop(std::shared_ptr<const Registry> registry, int listenFd)
    : registry_(std::move(registry)),
      listenFd_(listenFd),
      wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

MetricsEndpoint::Loop::~Loop() {
    while (!clients_.empty()) Close(clients_.begin());
    ::close(listenFd_);
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void MetricsEndpoint::Loop::Wake() {
    stopping_ = true;
    const uint64_t one = 1;
    const ssize_t ignored = ::write(wakeFd_, &one, sizeof one);
    (void)ignored;
}

int MetricsEndpoint::Loop::NextTimeoutMs() const {
    auto next = Clock::now() + std::chrono::seconds(1);
    for (const Client& client : clients_) next = std::min(next, client.deadline);
    if (listenPausedUntil_ > Clock::now()) next = std::min(next, listenPausedUntil_);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now());
    return static_cast<int>(std::max<int64_t>(0, ms.count()) + 1);
}

void MetricsEndpoint::Loop::Run() {
    std::vector<pollfd> fds;
    for (;;) {
        fds.clear();
        fds.push_back({wakeFd_, POLLIN, 0});
        const bool listening = Clock::now() >= listenPausedUntil_;
        fds.push_back({listening ? listenFd_ : -1, POLLIN, 0});
        for (const Client& client : clients_)
            fds.push_back({client.fd, static_cast<short>(client.answer.empty() ? POLLIN : POLLOUT),
                           0});
        const int rc = ::poll(fds.data(), fds.size(), NextTimeoutMs());
        if (rc < 0 && errno != EINTR) return;
        if (fds[0].revents & POLLIN) return;  // Stop
        const auto now = Clock::now();
        size_t i = 2;
        for (auto client = clients_.begin(); client != clients_.end(); ++i) {
            // A stop waits for one answer being built at most, not for all.
            if (stopping_) return;
            const short events = rc > 0 ? fds[i].revents : 0;
            bool keep = true;
            if (events != 0) keep = client->answer.empty() ? Read(*client) : Write(*client);
            if (keep && now >= client->deadline) keep = false;
            auto next = std::next(client);
            if (!keep) Close(client);
            client = next;
        }
        if (rc > 0 && (fds[1].revents & POLLIN)) AcceptAll();
    }
}

void MetricsEndpoint::Loop::AcceptAll() {
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            Admit(fd);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED) continue;
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
            listenPausedUntil_ = Clock::now() + kListenPause;
        return;
    }
}

void MetricsEndpoint::Loop::Admit(int fd) {
    if (clients_.size() >= kMaxConnections) {
        // The oldest client still sending its head makes room: a scraper
        // sends its head at once and is answered within the same turn.
        auto waiting = std::find_if(clients_.begin(), clients_.end(),
                                    [](const Client& c) { return c.answer.empty(); });
        if (waiting == clients_.end()) {
            ::close(fd);
            return;
        }
        Close(waiting);
    }
    Client client;
    client.fd = fd;
    client.deadline = Clock::now() + kHeadTimeout;
    clients_.push_back(std::move(client));
    ++count_;
}

bool MetricsEndpoint::Loop::Read(Client& client) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(client.fd, buffer, sizeof buffer, 0);
        if (n == 0) return false;
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        switch (client.head.Feed(std::string_view(buffer, static_cast<size_t>(n)))) {
            case RequestHead::State::kIncomplete:
                continue;
            case RequestHead::State::kRefused: {
                // Said once, without waiting for the client to take it.
                const std::string refusal =
                    StatusHead(client.head.Status(), client.head.Reason(), "", 0);
                const ssize_t ignored = ::send(client.fd, refusal.data(), refusal.size(),
                                               MSG_NOSIGNAL | MSG_DONTWAIT);
                (void)ignored;
                return false;
            }
            case RequestHead::State::kComplete:
                Answer(client);
                return Write(client);
        }
    }
}

void MetricsEndpoint::Loop::Answer(Client& client) {
    const RequestHead& head = client.head;
    std::string body, type;
    int status = 200;
    const char* reason = "OK";
    if (head.Path() == "/metrics") {
        const Format format = NegotiateFormat(head.Accept());
        body = registry_->Scrape(format);
        type = std::string(ContentType(format));
    } else {
        status = 404;
        reason = "Not Found";
        body = "Not Found\n";
        type = "text/plain";
    }
    client.keepAlive = head.KeepAlive();
    client.answer = StatusHead(status, reason, type, body.size(), client.keepAlive);
    if (head.Method() != "HEAD") client.answer += body;
    client.sent = 0;
    client.deadline = Clock::now() + kClientTimeout;
}

bool MetricsEndpoint::Loop::Write(Client& client) {
    while (client.sent < client.answer.size()) {
        const ssize_t n = ::send(client.fd, client.answer.data() + client.sent,
                                 client.answer.size() - client.sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            client.sent += static_cast<size_t>(n);
            continue;
        }
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
    }
    if (client.keepAlive) {
        // Waits for the next request as for a new client, memory given back.
        client.head = RequestHead();
        client.answer = std::string();
        client.sent = 0;
        client.deadline = Clock::now() + kHeadTimeout;
        return true;
    }
    ::shutdown(client.fd, SHUT_WR);
    return false;
}

void MetricsEndpoint::Loop::Close(std::list<Client>::iterator client) {
    ::close(client->fd);
    clients_.erase(client);
    --count_;
}

}  // namespace metrics
