#include "collect/metrics/MetricsEndpoint.h"

#include <httplib.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "collect/metrics/ListenAddress.h"

namespace metrics {

namespace {

// SO_REUSEADDR only: the library's default of SO_REUSEPORT would let a
// second collector share a port that is already taken instead of failing.
void ListenSocketOptions(socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

std::string HostPort(const std::string& host, int port) {
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
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

    auto server = std::make_unique<httplib::Server>();
    server->new_task_queue = [] { return new httplib::ThreadPool(kServingThreads); };
    server->set_socket_options(ListenSocketOptions);
    server->set_read_timeout(kClientTimeout);
    server->set_write_timeout(kClientTimeout);
    server->set_keep_alive_timeout(kClientTimeout.count());
    server->set_payload_max_length(64 * 1024);
    std::shared_ptr<const Registry> registry = registry_;
    server->Get(
        "/metrics", [registry](const httplib::Request& request, httplib::Response& response) {
            const Format format = NegotiateFormat(request.get_header_value("Accept"));
            response.set_content(registry->Scrape(format), std::string(ContentType(format)));
        });

    errno = 0;
    int port = address->port;
    bool bound = false;
    if (port == 0) {
        port = server->bind_to_any_port(address->host);
        bound = port > 0;
    } else {
        bound = server->bind_to_port(address->host, port);
    }
    if (!bound) {
        const int cause = errno;
        return "cannot listen for metrics on " + HostPort(address->host, address->port) + ": " +
               (cause != 0 ? std::strerror(cause) : "the address cannot be resolved or bound");
    }

    server_ = std::move(server);
    port_ = port;
    listeningOn_ = HostPort(address->host, port);
    thread_ = std::thread([server = server_.get()] { server->listen_after_bind(); });
    // A Stop before the loop runs would be lost: wait until it serves.
    const auto deadline = std::chrono::steady_clock::now() + kClientTimeout;
    while (!server_->is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return {};
}

void MetricsEndpoint::Stop() {
    if (!thread_.joinable()) return;
    server_->stop();
    thread_.join();
    server_.reset();
}

}  // namespace metrics
