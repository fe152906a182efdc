// The serving loop of the metrics endpoint: one thread, one poll over the
// listening socket, a wake descriptor and every client (MetricsEndpoint.h
// gives the limits it keeps).
//
// Thread rules: Run on the endpoint's thread; Wake and Connections from any
// thread.
#pragma once

#include <atomic>
#include <chrono>
#include <list>
#include <memory>
#include <string>

#include "collect/metrics/MetricsEndpoint.h"
#include "collect/metrics/RequestHead.h"

namespace metrics {

class MetricsEndpoint::Loop {
  public:
    Loop(std::shared_ptr<const Registry> registry, int listenFd);
    ~Loop();
    void Run();
    void Wake();
    size_t Connections() const { return count_; }

  private:
    using Clock = std::chrono::steady_clock;
    struct Client {
        int fd = -1;
        Clock::time_point deadline;
        RequestHead head;
        std::string answer;  // empty while the head is read
        size_t sent = 0;
        bool keepAlive = false;  // after the answer, the next request
    };

    void AcceptAll();
    void Admit(int fd);
    // false when the client is done (answered, refused, gone or failed).
    bool Read(Client& client);
    bool Write(Client& client);
    void Answer(Client& client);
    void Close(std::list<Client>::iterator client);
    int NextTimeoutMs() const;

    std::shared_ptr<const Registry> registry_;
    int listenFd_;
    int wakeFd_;
    std::list<Client> clients_;  // oldest first
    std::atomic<size_t> count_{0};
    std::atomic<bool> stopping_{false};
    Clock::time_point listenPausedUntil_{};
};

}  // namespace metrics
