// Keeps the data directory within bounds: removes the oldest finished
// session folders of one system past an age or past a total size. Only
// folders the collector made are touched: a name of the session-folder
// pattern ("MMDDHHMM.<SID>") with this system id, holding nothing but the
// collector's and the report tool's files. Anything else is left alone and
// named once, the first time it is seen. The current folder is never removed.
//
// Thread rules: used by one thread (the system thread's worker).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>

struct RetentionRules {
    std::optional<int> keepDays;        // none: no age limit
    std::optional<uint64_t> keepBytes;  // none: no size limit; counts the current folder too
    bool Any() const { return keepDays.has_value() || keepBytes.has_value(); }
};

class FolderRetention {
  public:
    using Report = std::function<void(const std::u16string&)>;

    FolderRetention(std::u16string systemId, RetentionRules rules)
        : systemId_(std::move(systemId)), rules_(rules) {}

    // One pass over dataDir (ending in the separator); each removal and each
    // newly seen foreign entry is one line to report. now: the present
    // moment for the age limit.
    void Apply(const std::u16string& dataDir, const std::u16string& currentFolder,
               std::chrono::system_clock::time_point now, const Report& report);

    // True for a file name the collector or the report tool writes.
    static bool IsCollectorFile(std::string_view name);
    // True for "MMDDHHMM.<systemId>" with a real month and day.
    static bool IsSessionFolderName(std::string_view name, std::string_view systemId);

  private:
    std::u16string systemId_;
    RetentionRules rules_;
    std::set<std::string> reported_;  // foreign entries named already
};
