// Keeps systemd's start time-out from ending a start that is still making
// progress: while it lives, it asks for more time (EXTEND_TIMEOUT_USEC)
// every kPeriod, each time for kExtension from that moment. A start with
// many servers or slow partners (two 60 s RFC time-outs) outlasts the
// default 90 s. Without NOTIFY_SOCKET it does nothing.
//
// Thread rules: created and destroyed by one thread; it owns one thread of
// its own that only sends notifications.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace service {

class StartExtender {
  public:
    static constexpr std::chrono::seconds kPeriod{20};
    static constexpr std::chrono::seconds kExtension{60};

    StartExtender();
    ~StartExtender();
    StartExtender(const StartExtender&) = delete;
    StartExtender& operator=(const StartExtender&) = delete;

  private:
    std::mutex m_lock;
    std::condition_variable m_ended;
    bool m_bEnded = false;  // guarded by m_lock
    std::thread m_thread;
};

}  // namespace service
