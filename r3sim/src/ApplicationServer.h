// One application server of the simulated system: a listener on its host's
// loopback address and port, and a thread per accepted connection. A server with a
// join/leave window listens only while it is in service: before it joins
// and after it leaves, connections are refused like those to a stopped
// instance, and leaving drops every connection it had.
//
// Thread rules: Start, Stop and FollowClock belong to the owner's thread,
// which the accept thread joins in FollowClock every kFollowMs. mutex_
// guards sessions_, listener_ and retired_; only the accept thread closes
// retired listeners, since it may be polling them. Stop waits for every
// session thread after the system's stop signal has been given.
#pragma once

#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Session.h"
#include "SystemShared.h"
#include "net/Socket.h"

namespace r3sim {

class ApplicationServer {
  public:
    ApplicationServer(SystemShared& shared, const ServerSpec& server);
    ~ApplicationServer();

    // Binds the port; a server not yet in service lets it go again until it
    // joins (the port was free at the start).
    bool Bind(const std::string& address, uint16_t port, std::string& error);
    void Start();
    // Starts or stops listening as the instance's window on the time source
    // says; stopping also drops every connection.
    void FollowClock();
    // Expects the stop signal to be given; joins every thread.
    void Stop();

  private:
    struct Running {
        std::unique_ptr<Session> session;
        std::thread thread;
        bool done = false;  // guarded by mutex_
    };

    void AcceptLoop();
    // False when the listener failed for good.
    bool Accept(int listenFd);
    void ReapFinished();
    void Wake();

    SystemShared& shared_;
    const ServerSpec& server_;
    std::string address_;
    uint16_t port_ = 0;
    rfcnet::Socket wake_;  // an eventfd: the listener changed
    std::thread acceptThread_;
    std::mutex mutex_;
    rfcnet::Socket listener_;
    std::vector<rfcnet::Socket> retired_;
    std::list<Running> sessions_;
};

}  // namespace r3sim
