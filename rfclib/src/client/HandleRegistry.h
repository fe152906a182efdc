// A process-wide table of open handles of one connection type. Handles count
// up from 1 and are never reused, so a stale handle is reported as invalid,
// not confused with a newer connection.
//
// Thread rules: one mutex guards the map and the counter; connections are
// shared_ptr so a handle closed by one thread stays alive for another
// thread's call in progress.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "rfc32u.h"

namespace rfclib {

template <typename Connection>
class HandleRegistry {
  public:
    // RFC_HANDLE_NULL when every handle has been used.
    RFC_HANDLE Register(std::shared_ptr<Connection> connection) {
        std::lock_guard lock(mutex_);
        if (next_ == RFC_HANDLE_NULL) return RFC_HANDLE_NULL;
        const RFC_HANDLE handle = next_++;
        connections_.emplace(handle, std::move(connection));
        return handle;
    }
    std::shared_ptr<Connection> Find(RFC_HANDLE handle) {
        std::lock_guard lock(mutex_);
        auto it = connections_.find(handle);
        return it == connections_.end() ? nullptr : it->second;
    }
    std::shared_ptr<Connection> Remove(RFC_HANDLE handle) {
        std::lock_guard lock(mutex_);
        auto it = connections_.find(handle);
        if (it == connections_.end()) return nullptr;
        auto connection = std::move(it->second);
        connections_.erase(it);
        return connection;
    }
    std::vector<std::shared_ptr<Connection>> All() {
        std::lock_guard lock(mutex_);
        std::vector<std::shared_ptr<Connection>> all;
        for (const auto& entry : connections_) all.push_back(entry.second);
        return all;
    }
    bool Empty() {
        std::lock_guard lock(mutex_);
        return connections_.empty();
    }

  private:
    std::mutex mutex_;
    std::map<RFC_HANDLE, std::shared_ptr<Connection>> connections_;
    RFC_HANDLE next_ = 1;
};

}  // namespace rfclib
