#include "collect/metrics/Registry.h"

#include <vector>

#include "collect/metrics/SampleLines.h"

#ifndef QUORVEL_VERSION
#define QUORVEL_VERSION "unknown"
#endif

namespace metrics {

std::string_view SourceKindName(SourceKind kind) {
    switch (kind) {
        case SourceKind::Instance:
            return "instance";
        case SourceKind::Host:
            return "host";
        default:
            return "remote";
    }
}

Registry::SourceId Registry::Join(std::string system, SourceKind kind) {
    std::lock_guard lock(mutex_);
    const SourceId id = nextId_++;
    sources_.emplace(id, Source{std::move(system), kind, nullptr});
    return id;
}

void Registry::Publish(SourceId id, std::shared_ptr<const Snapshot> snapshot) {
    {
        std::lock_guard lock(mutex_);
        const auto source = sources_.find(id);
        if (source == sources_.end()) return;
        source->second.snapshot.swap(snapshot);
    }
    // The replaced snapshot, when no scrape holds it any more, goes here,
    // outside the lock.
}

void Registry::Leave(SourceId id) {
    std::shared_ptr<const Snapshot> last;
    std::lock_guard lock(mutex_);
    const auto source = sources_.find(id);
    if (source == sources_.end()) return;
    last.swap(source->second.snapshot);
    sources_.erase(source);
}

void Registry::SetServerCount(std::string system, size_t count) {
    std::lock_guard lock(mutex_);
    servers_[std::move(system)] = count;
}

void Registry::SetStorage(std::string system, StorageFigures figures) {
    std::lock_guard lock(mutex_);
    storage_[std::move(system)] = figures;
}

void Registry::ForgetSystem(std::string_view system) {
    std::lock_guard lock(mutex_);
    const auto entry = servers_.find(system);
    if (entry != servers_.end()) servers_.erase(entry);
    const auto stored = storage_.find(system);
    if (stored != storage_.end()) storage_.erase(stored);
}

size_t Registry::SourceCount() const {
    std::lock_guard lock(mutex_);
    return sources_.size();
}

std::string Registry::Scrape(Format format) const {
    std::vector<std::shared_ptr<const Snapshot>> held;
    std::map<std::pair<std::string, SourceKind>, size_t> threads;
    std::map<std::string, size_t, std::less<>> servers;
    std::map<std::string, StorageFigures, std::less<>> storage;
    {
        std::lock_guard lock(mutex_);
        held.reserve(sources_.size());
        for (const auto& [id, source] : sources_) {
            ++threads[{source.system, source.kind}];
            if (source.snapshot) held.push_back(source.snapshot);
        }
        servers = servers_;
        storage = storage_;
    }

    Snapshot own;
    for (const auto& [system, count] : servers)
        AppendSample(own, FamilyId::Servers, LabelSet().Add("system", system),
                     static_cast<double>(count));
    for (const auto& [key, count] : threads)
        AppendSample(own, FamilyId::Threads,
                     LabelSet().Add("system", key.first).Add("kind", SourceKindName(key.second)),
                     static_cast<double>(count));
    for (const auto& [system, figures] : storage) {
        const LabelSet labels = LabelSet().Add("system", system);
        AppendSample(own, FamilyId::DataDirectoryFree, labels,
                     static_cast<double>(figures.availableBytes));
        AppendSample(own, FamilyId::SessionFolderSize, labels,
                     static_cast<double>(figures.folderBytes));
        AppendSample(own, FamilyId::DiskGuardPaused, labels, figures.paused ? 1.0 : 0.0);
    }
    AppendSample(own, FamilyId::BuildInfo, LabelSet().Add("version", QUORVEL_VERSION), 1.0);

    std::vector<const Snapshot*> all;
    all.reserve(held.size() + 1);
    for (const auto& snapshot : held) all.push_back(snapshot.get());
    all.push_back(&own);
    return WriteExposition(format, all);
}

}  // namespace metrics
