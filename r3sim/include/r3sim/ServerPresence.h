// Whether an application server of a running system is in service: not
// down, and inside its window of joinsAfterMinutes..leavesAfterMinutes,
// counted from the system's start on the process's time source. Outside the
// window the instance is stopped: it does not listen, is not in the server
// list, and its connections are dropped.
//
// Thread rules: a plain value set at start; the queries are pure apart from
// reading the time source.
#pragma once

#include "platform/DateTime.h"
#include "r3sim/Scenario.h"

namespace r3sim {

class ServerPresence {
  public:
    ServerPresence() = default;  // started at the epoch
    explicit ServerPresence(platform::TimePoint started) : started_(started) {}

    bool InService(const ServerSpec& server, platform::TimePoint at) const;
    // At the time source's current time.
    bool InServiceNow(const ServerSpec& server) const;
    // Whether the server starts or stops while the system runs.
    static bool HasWindow(const ServerSpec& server);

  private:
    platform::TimePoint started_{};
};

}  // namespace r3sim
