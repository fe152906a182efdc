#include "collect/system/FolderRotation.h"

#include "platform/Directory.h"
#include "platform/Format.h"
#include "platform/TimeFormat.h"

std::optional<RotationPeriod> ParseRotationPeriod(std::string_view word) {
    if (word == "none") return RotationPeriod::None;
    if (word == "hourly") return RotationPeriod::Hourly;
    if (word == "daily") return RotationPeriod::Daily;
    if (word == "weekly") return RotationPeriod::Weekly;
    return std::nullopt;
}

int64_t PeriodIndex(const platform::DateTime& local, RotationPeriod period) {
    const int64_t days = platform::DaysFromCivil(local.year, local.month, local.day);
    switch (period) {
        case RotationPeriod::Hourly:
            return days * 24 + local.hour;
        case RotationPeriod::Daily:
            return days;
        case RotationPeriod::Weekly: {
            // 5 January 1970 was a Monday; weeks count from there.
            const int64_t sinceMonday = days - 4;
            return sinceMonday >= 0 ? sinceMonday / 7 : (sinceMonday - 6) / 7;
        }
        default:
            return 0;
    }
}

std::u16string SessionFolderPath(const std::u16string& dataDir, const platform::DateTime& local,
                                 std::u16string_view systemId) {
    return platform::Format(u"%s%s.%s", platform::WithTrailingSeparator(dataDir),
                            platform::FormatDateTime(u"%m%d%H%M", local), systemId) +
           platform::kPathSeparator;
}
