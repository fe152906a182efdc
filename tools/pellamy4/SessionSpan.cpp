#include "tools/pellamy4/SessionSpan.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "platform/DateTime.h"

namespace pellamy {

namespace {

std::string Second(int64_t oleSecond) {
    platform::DateTime t;
    platform::OleDate(static_cast<double>(oleSecond) / 86400.0).ToDateTime(t);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute);
    return text;
}

template <typename T>
void Join(std::vector<T>& into, std::vector<T>& from) {
    into.insert(into.end(), std::make_move_iterator(from.begin()),
                std::make_move_iterator(from.end()));
}

// A later folder's snapshot replaces an earlier one's when it has one.
template <typename T>
void Latest(std::vector<T>& into, std::vector<T>& from) {
    if (!from.empty()) into = std::move(from);
}
template <typename T>
void Latest(std::optional<T>& into, std::optional<T>& from) {
    if (from) into = from;
}

void MergeInstance(InstanceData& into, InstanceData& from) {
    Latest(into.control, from.control);
    Join(into.memory, from.memory);
    Join(into.queues, from.queues);
    Latest(into.workProcesses, from.workProcesses);
    Latest(into.storage, from.storage);
    Latest(into.profile, from.profile);
    Latest(into.summary, from.summary);
    Latest(into.tables, from.tables);
    Latest(into.buffers, from.buffers);
    Latest(into.qualities, from.qualities);
    Latest(into.cursors, from.cursors);
}

void MergeHost(HostData& into, HostData& from) {
    Latest(into.control, from.control);
    Join(into.cpu, from.cpu);
    for (DiskData& disk : from.disks) {
        auto same = std::find_if(into.disks.begin(), into.disks.end(),
                                 [&](const DiskData& d) { return d.name == disk.name; });
        if (same == into.disks.end()) {
            into.disks.push_back(std::move(disk));
        } else {
            Join(same->records, disk.records);
        }
    }
    Latest(into.processes, from.processes);
    Latest(into.hardware, from.hardware);
    Latest(into.environment, from.environment);
}

int64_t DayNumber(const std::string& day) {
    int y = 0, m = 0, d = 0;
    if (day.size() != 10 || std::sscanf(day.c_str(), "%4d-%2d-%2d", &y, &m, &d) != 3 ||
        !platform::IsValidDateTime(platform::MakeDateTime(y, m, d)))
        throw std::runtime_error(day + " is not a day as YYYY-MM-DD");
    return platform::DaysFromCivil(y, m, d);
}

}  // namespace

Session ReadSpan(const std::vector<std::string>& folders, const Progress& progress) {
    SpanWorkload span;
    std::vector<Session> parts;
    for (const std::string& folder : folders) parts.push_back(ReadSession(folder, progress, &span));
    std::stable_sort(parts.begin(), parts.end(), [](const Session& a, const Session& b) {
        return a.firstSecond < b.firstSecond;
    });

    Session out;
    out.system = parts.back().system;
    for (const Session& part : parts)
        if (!part.system.sid.empty() && !out.system.sid.empty() &&
            part.system.sid != out.system.sid)
            throw std::runtime_error(part.folder + " is a session of " + part.system.sid +
                                     ", not of " + out.system.sid);
    out.name = parts.front().name + (parts.size() > 1 ? " to " + parts.back().name : "");
    for (const std::string& name : span.instances) {
        InstanceData instance;
        instance.name = name;
        out.instances.push_back(std::move(instance));
    }
    int64_t previousEnd = 0;
    std::string previousName;
    for (Session& part : parts) {
        out.folder += (out.folder.empty() ? "" : ", ") + part.folder;
        for (InstanceData& in : part.instances) {
            const size_t index = span.IndexOf(in.name);
            if (index >= out.instances.size()) out.instances.resize(index + 1);
            out.instances[index].name = in.name;
            MergeInstance(out.instances[index], in);
        }
        for (HostData& host : part.hosts) {
            auto same = std::find_if(out.hosts.begin(), out.hosts.end(),
                                     [&](const HostData& h) { return h.name == host.name; });
            if (same == out.hosts.end()) {
                out.hosts.push_back(std::move(host));
            } else {
                MergeHost(*same, host);
            }
        }
        for (FileNote& note : part.notes)
            out.notes.push_back({part.name + "/" + note.file, std::move(note.text)});
        for (auto& [file, size] : part.files) out.files.emplace_back(part.name + "/" + file, size);
        if (part.firstSecond != 0) {
            if (previousEnd != 0 && part.firstSecond - previousEnd > kSpanGapSeconds)
                out.notes.push_back({part.name, "gap: no records from " + Second(previousEnd) +
                                                    " (end of " + previousName + ") to " +
                                                    Second(part.firstSecond)});
            if (out.firstSecond == 0) out.firstSecond = part.firstSecond;
            out.lastSecond = std::max(out.lastSecond, part.lastSecond);
            previousEnd = part.lastSecond;
            previousName = part.name;
        }
    }
    const Workload& w = span.workload;
    if (w.FirstSecond() != 0) {
        if (out.firstSecond == 0 || w.FirstSecond() < out.firstSecond)
            out.firstSecond = w.FirstSecond();
        out.lastSecond = std::max(out.lastSecond, w.LastSecond());
    }
    out.workload = std::move(span.workload);
    return out;
}

std::vector<std::string> FoldersOfSystem(const std::string& dataDir, const std::string& systemId,
                                         const std::string& fromDay, const std::string& toDay) {
    namespace fs = std::filesystem;
    const int64_t from = DayNumber(fromDay), to = DayNumber(toDay);
    std::vector<std::pair<fs::file_time_type, std::string>> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(dataDir)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_directory() || name.size() != 9 + systemId.size() || name[8] != '.' ||
            name.substr(9) != systemId || !std::all_of(name.begin(), name.begin() + 8, [](char c) {
                return c >= '0' && c <= '9';
            }))
            continue;
        // The folder's days: from its oldest to its newest file's last write.
        fs::file_time_type oldest = fs::file_time_type::max(), newest = fs::file_time_type::min();
        for (const fs::directory_entry& file : fs::directory_iterator(entry.path())) {
            const auto written = file.last_write_time();
            oldest = std::min(oldest, written);
            newest = std::max(newest, written);
        }
        if (oldest > newest) continue;
        const auto day = [](fs::file_time_type t) {
            const auto system = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
                std::chrono::file_clock::to_sys(t));
            const platform::DateTime local = platform::CurrentTimeSource()->ToLocal(system);
            return platform::DaysFromCivil(local.year, local.month, local.day);
        };
        if (day(newest) < from || day(oldest) > to) continue;
        found.emplace_back(oldest, entry.path().string());
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> folders;
    for (auto& [time, path] : found) folders.push_back(std::move(path));
    return folders;
}

}  // namespace pellamy
