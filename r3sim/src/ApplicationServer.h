// One application server of the simulated system: a listener on
// 127.0.0.1:port and a thread per accepted connection.
//
// Thread rules: Start and Stop belong to the owner's thread; the accept
// thread adds sessions under mutex_, which guards sessions_; Stop waits for
// every session thread after the system's stop signal has been given.
#pragma once

#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "Session.h"
#include "SystemShared.h"
#include "net/Socket.h"

namespace r3sim {

class ApplicationServer {
  public:
    ApplicationServer(SystemShared& shared, const ServerSpec& server);
    ~ApplicationServer();

    bool Bind(uint16_t port, std::string& error);
    void Start();
    // Expects the stop signal to be given; joins every thread.
    void Stop();

  private:
    struct Running {
        std::unique_ptr<Session> session;
        std::thread thread;
        bool done = false;  // guarded by mutex_
    };

    void AcceptLoop();
    void ReapFinished();

    SystemShared& shared_;
    const ServerSpec& server_;
    rfcnet::Socket listener_;
    std::thread acceptThread_;
    std::mutex mutex_;
    std::list<Running> sessions_;
};

}  // namespace r3sim
