#include "platform/EventSet.h"

#include <stdexcept>

namespace platform {

size_t EventSet::Add() {
    std::lock_guard lock(mutex_);
    flags_.push_back(false);
    return flags_.size() - 1;
}

size_t EventSet::Size() const {
    std::lock_guard lock(mutex_);
    return flags_.size();
}

void EventSet::Set(size_t index) {
    {
        std::lock_guard lock(mutex_);
        if (index >= flags_.size()) throw std::out_of_range("EventSet::Set: no such event");
        flags_[index] = true;
    }
    changed_.notify_all();
}

void EventSet::Reset(size_t index) {
    std::lock_guard lock(mutex_);
    if (index >= flags_.size()) throw std::out_of_range("EventSet::Reset: no such event");
    flags_[index] = false;
}

bool EventSet::IsSet(size_t index) const {
    std::lock_guard lock(mutex_);
    return index < flags_.size() && flags_[index];
}

int EventSet::TakeLowestLocked() {
    for (size_t i = 0; i < flags_.size(); ++i) {
        if (flags_[i]) {
            flags_[i] = false;
            return static_cast<int>(i);
        }
    }
    return kTimeout;
}

int EventSet::WaitAny(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const int index = TakeLowestLocked();
        if (index != kTimeout) return index;
        if (changed_.wait_until(lock, deadline) == std::cv_status::timeout) {
            return TakeLowestLocked();
        }
    }
}

}  // namespace platform
