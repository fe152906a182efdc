// The live figures of the collector: every collection thread that takes
// part joins as a source and publishes a finished snapshot after each
// capture; a scrape takes the current snapshots and writes the exposition
// from them. A publication only swaps a pointer under a short lock, and a
// scrape only copies pointers under it, so neither waits for the other's
// work, and no scrape ever waits for an RFC call.
//
// Beside the threads' figures the registry serves the collector's own: the
// number of servers in each system's latest server list, the number of
// threads of each kind (the joined sources) and quorvel_build_info.
//
// Thread rules: every member function may be called from any thread.
// mutex_ guards sources_, servers_, storage_ and nextId_; snapshots are immutable
// once published and are shared, never copied.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "collect/metrics/Exposition.h"

namespace metrics {

enum class SourceKind { Instance, Host, Remote };

// Where a system's session writes: the free bytes of the data directory's
// file system, the bytes of the current session folder, and whether the
// disk guard has paused the dialog-step capture.
struct StorageFigures {
    uint64_t availableBytes = 0;
    uint64_t folderBytes = 0;
    bool paused = false;
};

class Registry {
  public:
    using SourceId = uint64_t;

    // A new source of the system's session, counted as one thread of kind.
    SourceId Join(std::string system, SourceKind kind);
    // Replaces the source's snapshot; an unknown id is ignored.
    void Publish(SourceId id, std::shared_ptr<const Snapshot> snapshot);
    // Removes the source and its figures.
    void Leave(SourceId id);
    void SetServerCount(std::string system, size_t count);
    void SetStorage(std::string system, StorageFigures figures);
    // The system's session ended: its server count goes.
    void ForgetSystem(std::string_view system);

    // The exposition of everything published so far.
    std::string Scrape(Format format) const;
    size_t SourceCount() const;

  private:
    struct Source {
        std::string system;
        SourceKind kind;
        std::shared_ptr<const Snapshot> snapshot;
    };

    mutable std::mutex mutex_;
    std::map<SourceId, Source> sources_;
    std::map<std::string, size_t, std::less<>> servers_;
    std::map<std::string, StorageFigures, std::less<>> storage_;
    SourceId nextId_ = 1;
};

// The kind's label value: "instance", "host" or "remote".
std::string_view SourceKindName(SourceKind kind);

}  // namespace metrics
