// When a running session hands over to a new session folder: hourly at the
// full hour, daily at 00:00 local time, weekly at Monday 00:00. The hand-over
// happens at the first quarter-hour tick of a new period, so the same minute
// never names two folders.
//
// Thread rules: plain functions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DateTime.h"

enum class RotationPeriod { None, Hourly, Daily, Weekly };

// "hourly", "daily", "weekly" (and "none"); nothing for another word.
std::optional<RotationPeriod> ParseRotationPeriod(std::string_view word);

// A number that changes exactly when a new period begins.
int64_t PeriodIndex(const platform::DateTime& local, RotationPeriod period);

// The session folder of a start time: "<data dir>MMDDHHMM.<SID>/".
std::u16string SessionFolderPath(const std::u16string& dataDir, const platform::DateTime& local,
                                 std::u16string_view systemId);
