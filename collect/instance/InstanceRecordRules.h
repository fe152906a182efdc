// The arithmetic and parsing rules of the instance files, apart from the
// calls that deliver their input, so they are tested on plain values:
// request-queue lines, statistics-record dates, the dialog-step times, and
// the search-then-append rule of instance.ctl.
//
// Pure functions except EnsureControlRecord, which opens the file itself;
// no shared state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "collect/records/InstanceRecords.h"
#include "platform/DateTime.h"

namespace instrec {

// The current local time as an OLE date.
double LocalNowOle();

// Reads "%s %d %d %d %d %d" from a THLINE; when the name is one of the
// seven queues, stores the first number (0 when missing) in its counter.
void ApplyRequestQueueLine(std::u16string_view line, RequestQueueRecord& record);

// A statistics record's YYYYMMDD and HHMMSS texts as an OLE date; each part
// reads like atoi (leading blanks, digits up to the first other character,
// 0 without digits). Invalid when they do not form a calendar time.
platform::OleDate StatrecDateTime(std::u16string_view date, std::u16string_view time);

// A record time in the collector's clock: the server time plus the offset
// (days); 0 for a text that is not a calendar time.
double CollectorTime(std::u16string_view date, std::u16string_view time, double offsetDays);

// (RESPTI + GUITIME + GUINETTIME) / 1000, GUI times unsigned, low 32 bits.
int32_t NormalResponseTime(int64_t respTime, uint32_t guiTime, uint32_t guiNetTime);
// RESPTI / 1000, low 32 bits.
int32_t BatchResponseTime(int64_t respTime);
// CPUTI * 0.001 truncated; out-of-range values saturate, NaN gives 0.
int32_t CpuTime(double cpuTime);
// The six database times summed in 32 bits, divided as unsigned.
int32_t DatabaseTime(const int32_t (&times)[6]);

// The server-clock window bound of a collector-clock time: "%Y%m%d", "%H%M%S".
void FormatServerTime(double collectorTime, double offsetDays, std::u16string& date,
                      std::u16string& time);

// instance.ctl: true when a whole record whose trimmed name equals name is
// in the file (opened for update, created if missing); otherwise appends
// record and returns false. An incomplete last record is ignored.
bool EnsureControlRecord(const std::u16string& path, std::u16string_view name,
                         const ControlRecord& record);

}  // namespace instrec
