// The HTTP endpoint of the live figures: GET /metrics answers with the
// registry's exposition, in OpenMetrics when the scraper's Accept header
// asks for it and in the Prometheus 0.0.4 text format otherwise. It is off
// until Start, listens on loopback unless an address is named, and serves
// from a small pool of its own threads: a scrape reads the published
// snapshots only, and a client that is slow or never reads holds one of
// those threads until the write time-out, never a capture.
//
//   auto registry = std::make_shared<metrics::Registry>();
//   metrics::MetricsEndpoint endpoint(registry);
//   if (std::string error = endpoint.Start("127.0.0.1:9464"); !error.empty()) ...
//   session->SetMetricsRegistry(registry);   // before session->Start()
//   ...
//   endpoint.Stop();                         // or the destructor
//
// Thread rules: Start, Stop and the destructor from one owning thread;
// Port and ListeningOn after a successful Start from any thread.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "collect/metrics/Registry.h"

namespace httplib {
class Server;
}

namespace metrics {

class MetricsEndpoint {
  public:
    // A scraper that sends nothing or reads nothing for this long is dropped.
    static constexpr std::chrono::seconds kClientTimeout{5};
    static constexpr size_t kServingThreads = 4;

    explicit MetricsEndpoint(std::shared_ptr<const Registry> registry);
    MetricsEndpoint(const MetricsEndpoint&) = delete;
    MetricsEndpoint& operator=(const MetricsEndpoint&) = delete;
    ~MetricsEndpoint();

    // Listens on listenSpec ("HOST:PORT", ":PORT", "PORT"; ListenAddress.h)
    // and serves until Stop. Returns an empty text, or why it cannot listen
    // (a bad address, a port in use, an address not on this machine).
    std::string Start(std::string_view listenSpec);
    void Stop();
    bool IsRunning() const { return thread_.joinable(); }
    // The bound port (the chosen one for port 0) and "host:port".
    int Port() const { return port_; }
    const std::string& ListeningOn() const { return listeningOn_; }

  private:
    std::shared_ptr<const Registry> registry_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    std::string listeningOn_;
};

}  // namespace metrics
