// The HTTP endpoint of the live figures: GET /metrics answers with the
// registry's exposition, in OpenMetrics when the scraper's Accept header
// asks for it and in the Prometheus 0.0.4 text format otherwise. It is off
// until Start and listens on loopback unless an address is named.
//
// One thread serves every client with non-blocking sockets: a scrape reads
// the published snapshots only, so no client ever waits for another or for
// a capture. Hostile clients are bounded: at most kMaxConnections at once
// (a new one pushes out the oldest that has not finished its head), a head
// of RequestHead's limits that must arrive within kHeadTimeout, an answer
// that must be taken within kClientTimeout; a refused request gets its
// status and is closed at once. Each answer is sent with
// "Connection: close", and what a connection held goes with it. Stop closes
// every client at once.
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

namespace metrics {

class MetricsEndpoint {
  public:
    // A scraper that does not take its answer within this is dropped.
    static constexpr std::chrono::seconds kClientTimeout{5};
    // The whole head of a request must arrive within this.
    static constexpr std::chrono::seconds kHeadTimeout{2};
    static constexpr size_t kMaxConnections = 32;

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
    // Clients connected at the moment (any thread).
    size_t Connections() const;
    // The bound port (the chosen one for port 0) and "host:port".
    int Port() const { return port_; }
    const std::string& ListeningOn() const { return listeningOn_; }

  private:
    class Loop;
    std::shared_ptr<const Registry> registry_;
    std::unique_ptr<Loop> loop_;
    std::thread thread_;
    int port_ = 0;
    std::string listeningOn_;
};

}  // namespace metrics
