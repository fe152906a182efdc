// Calendar date-times, the injectable time source, and OLE dates.
//
// Every "current local time" in the collector comes from CurrentTimeSource(),
// so tests can drive minute and quarter-hour ticks, clock offsets and read
// windows without waiting for the wall clock. The time source is process-wide;
// SetTimeSource is meant for start-up and tests, Now() may be called from any
// thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>

namespace platform {

using TimePoint = std::chrono::system_clock::time_point;

// A broken-down calendar time. dayOfWeek: 0 = Sunday; dayOfYear: 1 = 1 January.
struct DateTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
    int millisecond = 0;
    int dayOfWeek = 0;
    int dayOfYear = 0;

    bool operator==(const DateTime&) const = default;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// True when the fields name a real calendar date and time of day (0..23:59:59).
bool IsValidDateTime(const DateTime& t);
// Days since 1 January 1970 of a proleptic Gregorian date.
int64_t DaysFromCivil(int year, int month, int day);
// Fills the date fields, dayOfWeek and dayOfYear from days since 1970.
void CivilFromDays(int64_t days, DateTime& t);
// Builds a DateTime with dayOfWeek and dayOfYear filled in.
DateTime MakeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

class TimeSource {
  public:
    virtual ~TimeSource() = default;
    virtual TimePoint Now() const = 0;
    // Seconds to add to UTC to get local time at the given moment.
    virtual int64_t UtcOffsetSeconds(TimePoint at) const = 0;

    DateTime ToLocal(TimePoint t) const;
    DateTime ToGmt(TimePoint t) const;
    DateTime LocalNow() const { return ToLocal(Now()); }
    // The moment of a local date-time (no DST ambiguity resolution beyond the
    // source's offset at that moment).
    TimePoint FromLocal(const DateTime& local) const;
};

// The machine's clock and time zone.
class SystemTimeSource final : public TimeSource {
  public:
    TimePoint Now() const override { return std::chrono::system_clock::now(); }
    int64_t UtcOffsetSeconds(TimePoint at) const override;
};

// A clock that moves only when told to, in a fixed time zone. Thread-safe.
class ManualTimeSource final : public TimeSource {
  public:
    explicit ManualTimeSource(TimePoint start, int64_t utcOffsetSeconds = 0)
        : now_(start), offset_(utcOffsetSeconds) {}
    TimePoint Now() const override;
    int64_t UtcOffsetSeconds(TimePoint) const override;
    void Set(TimePoint t);
    // Sets the clock to a local date-time of this source's zone.
    void SetLocal(const DateTime& local);
    void Advance(std::chrono::milliseconds by);

  private:
    mutable std::mutex mutex_;
    TimePoint now_;
    int64_t offset_;
};

std::shared_ptr<TimeSource> CurrentTimeSource();
// Installs a source; null restores the system clock.
void SetTimeSource(std::shared_ptr<TimeSource> source);
DateTime CurrentLocalTime();

// An OLE date: days since 30 December 1899 00:00, the fraction being the time
// of day (for days before that date the fraction still counts forward from
// midnight: -1.25 is 29 December 1899, 06:00). Valid for the years 100..9999.
class OleDate {
  public:
    OleDate() = default;
    explicit OleDate(double value);
    static OleDate FromDateTime(const DateTime& t);
    static OleDate Invalid();

    bool IsValid() const { return valid_; }
    double Value() const { return value_; }
    // Rounds to the nearest second; false for an invalid date.
    bool ToDateTime(DateTime& out) const;

  private:
    double value_ = 0.0;
    bool valid_ = true;
};

}  // namespace platform
