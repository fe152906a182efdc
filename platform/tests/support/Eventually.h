// Test support: waiting for what another thread or process makes true.
//
// The limit is generous because a machine that builds and tests at the same
// time can be slow; a wait ends as soon as its condition holds, so the limit
// costs nothing when all is well. Tests wait for the event they need rather
// than sleeping for a fixed time.
#pragma once

#include <chrono>
#include <thread>

namespace testsupport {

inline constexpr std::chrono::milliseconds kGenerousWait{120000};

// Polls pred until it holds or limit has passed; its last answer.
template <typename Pred>
bool Eventually(Pred pred, std::chrono::milliseconds limit = kGenerousWait) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= deadline) return pred();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace testsupport
