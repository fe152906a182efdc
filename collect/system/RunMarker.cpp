#include "collect/system/RunMarker.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "collect/system/FolderRetention.h"
#include "platform/AnsiTextFile.h"
#include "platform/DateTime.h"
#include "platform/Directory.h"
#include "platform/Format.h"
#include "platform/TextCodec.h"
#include "platform/TimeFormat.h"

namespace fs = std::filesystem;

namespace {

std::u16string MarkerPath(const std::u16string& folder, const std::u16string& systemId,
                          const char16_t* extension) {
    return platform::Format(u"%s%s.%s", folder, systemId, extension);
}

}  // namespace

void WriteRunMarker(const std::u16string& folder, const std::u16string& systemId) {
    platform::AnsiTextFile file;
    file.Open(MarkerPath(folder, systemId, u"run"), platform::File::Mode::Snapshot);
    file.WriteLine(platform::Format(
        u"collector process %d writes this folder since %s", static_cast<int>(::getpid()),
        platform::FormatDateTime(u"%Y-%m-%d %H:%M:%S", platform::CurrentLocalTime())));
    file.Close();
}

void RemoveRunMarker(const std::u16string& folder, const std::u16string& systemId) {
    std::error_code ignored;
    fs::remove(platform::ToUtf8(MarkerPath(folder, systemId, u"run")), ignored);
}

std::optional<std::u16string> FindUnfinishedFolder(const std::u16string& dataDir,
                                                   const std::u16string& systemId,
                                                   std::chrono::system_clock::time_point now) {
    const std::string system = platform::ToUtf8(systemId);
    const auto fileNow =
        fs::file_time_type::clock::now() + std::chrono::duration_cast<fs::file_time_type::duration>(
                                               now - std::chrono::system_clock::now());
    std::optional<fs::path> newest;
    fs::file_time_type newestTime{};
    std::error_code error;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(platform::ToUtf8(dataDir), error)) {
        if (!entry.is_directory() ||
            !FolderRetention::IsSessionFolderName(entry.path().filename().string(), system))
            continue;
        std::error_code missing;
        fs::file_time_type written = fs::last_write_time(entry.path() / (system + ".run"), missing);
        if (missing) continue;
        // The last write of any file: a session of many days wrote its marker long ago.
        for (const fs::directory_entry& file : fs::directory_iterator(entry.path(), missing))
            written = std::max(written, file.last_write_time(missing));
        if (fileNow - written > std::chrono::hours(24)) continue;
        if (!newest || written > newestTime) {
            newest = entry.path();
            newestTime = written;
        }
    }
    if (!newest) return std::nullopt;
    return platform::WithTrailingSeparator(platform::FromUtf8(newest->string()));
}

void MarkUnfinished(const std::u16string& folder, const std::u16string& systemId,
                    const std::u16string& caughtUpIn) {
    const std::u16string unfinished = MarkerPath(folder, systemId, u"unfinished");
    std::error_code error;
    fs::rename(platform::ToUtf8(MarkerPath(folder, systemId, u"run")), platform::ToUtf8(unfinished),
               error);
    platform::AppendLineToFile(
        unfinished, platform::Format(u"ended uncleanly; the dialog steps after its last record "
                                     u"written were read again by the session in %s",
                                     caughtUpIn));
}
