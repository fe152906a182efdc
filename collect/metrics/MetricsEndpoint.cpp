#include "collect/metrics/MetricsEndpoint.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "collect/metrics/EndpointLoop.h"
#include "collect/metrics/ListenAddress.h"

namespace metrics {

namespace {

constexpr int kBacklog = 128;

std::string HostPort(const std::string& host, int port) {
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

// A listening socket on host:port, or -1 with the reason. SO_REUSEADDR only:
// a second collector must fail on a port that is already taken.
int Listen(const ListenAddress& address, int& port, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(address.port);
    if (const int rc = ::getaddrinfo(address.host.c_str(), service.c_str(), &hints, &found);
        rc != 0) {
        error = ::gai_strerror(rc);
        return -1;
    }
    int fd = -1;
    int cause = 0;
    for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            cause = errno;
            continue;
        }
        int yes = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, kBacklog) != 0) {
            cause = errno;
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(found);
    if (fd < 0) {
        error = std::strerror(cause);
        return -1;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    port = bound.ss_family == AF_INET6
               ? ntohs(reinterpret_cast<const sockaddr_in6*>(&bound)->sin6_port)
               : ntohs(reinterpret_cast<const sockaddr_in*>(&bound)->sin_port);
    return fd;
}

}  // namespace

MetricsEndpoint::MetricsEndpoint(std::shared_ptr<const Registry> registry)
    : registry_(std::move(registry)) {}

MetricsEndpoint::~MetricsEndpoint() {
    Stop();
}

std::string MetricsEndpoint::Start(std::string_view listenSpec) {
    if (IsRunning()) return "the metrics endpoint already listens on " + listeningOn_;
    std::string error;
    const std::optional<ListenAddress> address = ParseListenAddress(listenSpec, error);
    if (!address) return error;
    int port = 0;
    const int fd = Listen(*address, port, error);
    if (fd < 0)
        return "cannot listen for metrics on " + HostPort(address->host, address->port) + ": " +
               error;
    loop_ = std::make_unique<Loop>(registry_, fd);
    port_ = port;
    listeningOn_ = HostPort(address->host, port);
    thread_ = std::thread([loop = loop_.get()] { loop->Run(); });
    return {};
}

void MetricsEndpoint::Stop() {
    if (!thread_.joinable()) return;
    loop_->Wake();
    thread_.join();
    loop_.reset();
}

size_t MetricsEndpoint::Connections() const {
    return loop_ ? loop_->Connections() : 0;
}

}  // namespace metrics
