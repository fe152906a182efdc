#include "platform/DateTime.h"

#include <cmath>
#include <ctime>

namespace platform {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDateTime(const DateTime& t) {
    return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= DaysInMonth(t.year, t.month) &&
           t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 &&
           t.second <= 59;
}

// Civil-calendar algorithms on an era of 400 years; exact for every year.
int64_t DaysFromCivil(int year, int month, int day) {
    const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t mp = (month + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t days, DateTime& t) {
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    t.year = y;
    t.month = m;
    t.day = d;
    const int64_t wd = (days + 4) % 7;  // 1 January 1970 was a Thursday
    t.dayOfWeek = static_cast<int>(wd < 0 ? wd + 7 : wd);
    t.dayOfYear = static_cast<int>(days - DaysFromCivil(y, 1, 1) + 1);
}

DateTime MakeDateTime(int year, int month, int day, int hour, int minute, int second) {
    DateTime t;
    CivilFromDays(DaysFromCivil(year, month, day), t);
    t.year = year;  // keep the given fields even for an invalid date
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    return t;
}

namespace {

DateTime Breakdown(TimePoint t, int64_t offsetSeconds) {
    using namespace std::chrono;
    const int64_t ms =
        duration_cast<milliseconds>(t.time_since_epoch()).count() + offsetSeconds * 1000;
    int64_t days = ms / 86400000;
    int64_t rest = ms % 86400000;
    if (rest < 0) {
        rest += 86400000;
        --days;
    }
    DateTime out;
    CivilFromDays(days, out);
    out.hour = static_cast<int>(rest / 3600000);
    out.minute = static_cast<int>(rest / 60000 % 60);
    out.second = static_cast<int>(rest / 1000 % 60);
    out.millisecond = static_cast<int>(rest % 1000);
    return out;
}

TimePoint FromFields(const DateTime& t, int64_t offsetSeconds) {
    const int64_t seconds = DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 +
                            t.minute * 60 + t.second - offsetSeconds;
    return TimePoint(std::chrono::milliseconds(seconds * 1000 + t.millisecond));
}

}  // namespace

DateTime TimeSource::ToLocal(TimePoint t) const {
    return Breakdown(t, UtcOffsetSeconds(t));
}

DateTime TimeSource::ToGmt(TimePoint t) const {
    return Breakdown(t, 0);
}

TimePoint TimeSource::FromLocal(const DateTime& local) const {
    // Two passes settle the offset across a zone change.
    TimePoint guess = FromFields(local, UtcOffsetSeconds(FromFields(local, 0)));
    return FromFields(local, UtcOffsetSeconds(guess));
}

int64_t SystemTimeSource::UtcOffsetSeconds(TimePoint at) const {
    const std::time_t tt = std::chrono::system_clock::to_time_t(at);
    std::tm local{};
    if (localtime_r(&tt, &local) == nullptr) return 0;
    return local.tm_gmtoff;
}

TimePoint ManualTimeSource::Now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

int64_t ManualTimeSource::UtcOffsetSeconds(TimePoint) const {
    std::lock_guard lock(mutex_);
    return offset_;
}

void ManualTimeSource::Set(TimePoint t) {
    std::lock_guard lock(mutex_);
    now_ = t;
}

void ManualTimeSource::SetLocal(const DateTime& local) {
    std::lock_guard lock(mutex_);
    now_ = FromFields(local, offset_);
}

void ManualTimeSource::Advance(std::chrono::milliseconds by) {
    std::lock_guard lock(mutex_);
    now_ += by;
}

namespace {

std::mutex& SourceMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<TimeSource>& SourceSlot() {
    static std::shared_ptr<TimeSource> slot = std::make_shared<SystemTimeSource>();
    return slot;
}

}  // namespace

std::shared_ptr<TimeSource> CurrentTimeSource() {
    std::lock_guard lock(SourceMutex());
    return SourceSlot();
}

void SetTimeSource(std::shared_ptr<TimeSource> source) {
    std::lock_guard lock(SourceMutex());
    SourceSlot() = source ? std::move(source) : std::make_shared<SystemTimeSource>();
}

DateTime CurrentLocalTime() {
    return CurrentTimeSource()->LocalNow();
}

// ---- OLE dates ----

namespace {

constexpr int64_t kOleEpochDays = -25569;      // 30 December 1899 relative to 1970
constexpr double kMinOleDate = -657434.0;      // 1 January 100
constexpr double kMaxOleDate = 2958465.99999;  // 31 December 9999, 23:59:59

}  // namespace

OleDate::OleDate(double value)
    : value_(value), valid_(std::isfinite(value) && value >= kMinOleDate && value < 2958466.0) {}

OleDate OleDate::Invalid() {
    OleDate d;
    d.valid_ = false;
    return d;
}

OleDate OleDate::FromDateTime(const DateTime& t) {
    if (!IsValidDateTime(t) || t.year < 100 || t.year > 9999) return Invalid();
    const int64_t days = DaysFromCivil(t.year, t.month, t.day) - kOleEpochDays;
    const double time = (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
    OleDate d;
    d.value_ = days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
    return d;
}

bool OleDate::ToDateTime(DateTime& out) const {
    if (!valid_ || value_ > kMaxOleDate + 1.0) return false;
    const double whole = std::trunc(value_);
    int64_t days = static_cast<int64_t>(whole);
    int64_t seconds = std::llround(std::fabs(value_ - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++days;
    }
    DateTime t;
    CivilFromDays(days + kOleEpochDays, t);
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>(seconds / 60 % 60);
    t.second = static_cast<int>(seconds % 60);
    if (t.year > 9999) return false;
    out = t;
    return true;
}

}  // namespace platform
