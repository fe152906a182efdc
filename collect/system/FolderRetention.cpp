#include "collect/system/FolderRetention.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <vector>

#include "collect/system/DiskGuard.h"
#include "platform/Format.h"
#include "platform/TextCodec.h"

namespace fs = std::filesystem;

namespace {

// What a session folder holds: the data files, the logs, the listings and
// the report tool's output.
constexpr std::array<std::string_view, 26> kExtensions = {
    ".log", ".ctl", ".pfl", ".dss", ".wp",         ".stg", ".drq",  ".mem", ".sum",
    ".tbl", ".buf", ".tql", ".ccs", ".cpu",        ".dsk", ".ps",   ".hw",  ".env",
    ".cmp", ".ptc", ".pos", ".run", ".unfinished", ".csv", ".html", ".tmp"};

struct OwnFolder {
    fs::path path;
    fs::file_time_type lastWrite;  // of its newest file: when the session left it
    uint64_t bytes = 0;
};

// The folder's size and newest write; nothing when it holds anything foreign.
std::optional<OwnFolder> ReadOwnFolder(const fs::path& path) {
    OwnFolder folder{path, fs::last_write_time(path), 0};
    for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
        if (!entry.is_regular_file() || entry.is_symlink() ||
            !FolderRetention::IsCollectorFile(entry.path().filename().string()))
            return std::nullopt;
        folder.bytes += entry.file_size();
        folder.lastWrite = std::max(folder.lastWrite, entry.last_write_time());
    }
    return folder;
}

}  // namespace

bool FolderRetention::IsCollectorFile(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return false;
    const std::string_view extension = name.substr(dot);
    return std::find(kExtensions.begin(), kExtensions.end(), extension) != kExtensions.end();
}

bool FolderRetention::IsSessionFolderName(std::string_view name, std::string_view systemId) {
    if (name.size() != 9 + systemId.size() || name[8] != '.' || name.substr(9) != systemId)
        return false;
    for (size_t i = 0; i < 8; ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    const auto two = [&](size_t at) { return (name[at] - '0') * 10 + (name[at + 1] - '0'); };
    return two(0) >= 1 && two(0) <= 12 && two(2) >= 1 && two(2) <= 31 && two(4) <= 23 &&
           two(6) <= 59;
}

void FolderRetention::Apply(const std::u16string& dataDir, const std::u16string& currentFolder,
                            std::chrono::system_clock::time_point now, const Report& report) {
    if (!rules_.Any()) return;
    const std::string system = platform::ToUtf8(systemId_);
    const fs::path current = fs::path(platform::ToUtf8(currentFolder)).lexically_normal();
    std::vector<OwnFolder> finished;
    uint64_t total = 0;
    std::error_code error;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(platform::ToUtf8(dataDir), error)) {
        const std::string name = entry.path().filename().string();
        const bool ours =
            entry.is_directory() && !entry.is_symlink() && IsSessionFolderName(name, system);
        std::optional<OwnFolder> folder;
        if (ours) folder = ReadOwnFolder(entry.path());
        if (!folder) {
            // Another system's folder is the collector's too, only not ours to judge.
            const bool otherSystem = !ours && entry.is_directory() && name.size() > 9 &&
                                     name[8] == '.' && IsSessionFolderName(name, name.substr(9));
            // So is a collector's lock file (".<SID>.lock").
            const bool collectorLock = entry.is_regular_file() && name.size() > 6 &&
                                       name.front() == '.' && name.ends_with(".lock");
            if (!otherSystem && !collectorLock && reported_.insert(name).second)
                report(
                    platform::Format(u"retention leaves %s alone: not a session folder of %s "
                                     u"made by the collector.",
                                     platform::FromUtf8(entry.path().string()), systemId_));
            continue;
        }
        total += folder->bytes;
        if ((entry.path() / "").lexically_normal() == (current / "").lexically_normal()) continue;
        finished.push_back(std::move(*folder));
    }
    std::sort(finished.begin(), finished.end(),
              [](const OwnFolder& a, const OwnFolder& b) { return a.lastWrite < b.lastWrite; });
    const auto fileNow =
        fs::file_time_type::clock::now() + std::chrono::duration_cast<fs::file_time_type::duration>(
                                               now - std::chrono::system_clock::now());
    for (const OwnFolder& folder : finished) {
        const bool tooOld = rules_.keepDays &&
                            fileNow - folder.lastWrite > std::chrono::hours(24) * *rules_.keepDays;
        const bool tooBig = rules_.keepBytes && total > *rules_.keepBytes;
        if (!tooOld && !tooBig) break;
        std::error_code removed;
        fs::remove_all(folder.path, removed);
        const std::u16string path = platform::FromUtf8(folder.path.string());
        if (removed) {
            report(platform::Format(u"retention could not remove %s: %s", path,
                                    platform::FromUtf8(removed.message())));
            continue;
        }
        total -= folder.bytes;
        report(platform::Format(u"removed session folder %s (%s, %s).", path,
                                ByteSizeText(folder.bytes),
                                tooOld ? u"past the days to keep" : u"past the size to keep"));
    }
}
