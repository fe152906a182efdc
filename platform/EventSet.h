// The request events of one collection thread: a set of auto-reset flags
// and a wait for any of them with a time-out.
//
// A flag stays set until a wait reports it, so a request that arrives while
// the worker is busy is served by its next wait; setting a flag that is
// already set adds nothing (one pending signal per event). A wait reports the
// lowest signalled index first and resets only that flag. All operations are
// thread-safe; state is guarded by mutex_.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

namespace platform {

class EventSet {
  public:
    static constexpr int kTimeout = -1;

    explicit EventSet(size_t count = 0) : flags_(count, false) {}
    EventSet(const EventSet&) = delete;
    EventSet& operator=(const EventSet&) = delete;

    // Adds a flag, initially not set, and returns its index.
    size_t Add();
    size_t Size() const;

    void Set(size_t index);
    void Reset(size_t index);
    bool IsSet(size_t index) const;

    // Waits until any flag is set or the time-out passes. Returns the lowest
    // set index (and resets that flag), or kTimeout.
    int WaitAny(std::chrono::milliseconds timeout);

  private:
    int TakeLowestLocked();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<bool> flags_;
};

}  // namespace platform
