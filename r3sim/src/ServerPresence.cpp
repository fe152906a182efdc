#include "r3sim/ServerPresence.h"

namespace r3sim {

bool ServerPresence::InService(const ServerSpec& server, platform::TimePoint at) const {
    if (server.down) return false;
    const auto running = at - started_;
    if (running < std::chrono::minutes(server.joinsAfterMinutes)) return false;
    return !server.leavesAfterMinutes ||
           running < std::chrono::minutes(*server.leavesAfterMinutes);
}

bool ServerPresence::InServiceNow(const ServerSpec& server) const {
    return InService(server, platform::CurrentTimeSource()->Now());
}

bool ServerPresence::HasWindow(const ServerSpec& server) {
    return !server.down && (server.joinsAfterMinutes > 0 || server.leavesAfterMinutes);
}

}  // namespace r3sim
