#include "platform/TimeFormat.h"

#include <cmath>
#include <cstdint>

namespace platform {
namespace {

constexpr const char16_t* kDayShort[] = {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
constexpr const char16_t* kDayLong[] = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                        u"Thursday", u"Friday", u"Saturday"};
constexpr const char16_t* kMonthShort[] = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                           u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
constexpr const char16_t* kMonthLong[] = {u"January",   u"February", u"March",    u"April",
                                          u"May",       u"June",     u"July",     u"August",
                                          u"September", u"October",  u"November", u"December"};

void AppendNumber(std::u16string& out, int64_t value, int digits, bool dropZeros) {
    std::u16string text;
    const bool negative = value < 0;
    uint64_t v = negative ? static_cast<uint64_t>(-value) : static_cast<uint64_t>(value);
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + v % 10));
        v /= 10;
    } while (v != 0);
    if (!dropZeros) {
        while (static_cast<int>(text.size()) < digits) text.insert(text.begin(), u'0');
    }
    if (negative) out.push_back(u'-');
    out += text;
}

}  // namespace

std::u16string FormatDateTime(std::u16string_view pattern, const DateTime& input) {
    if (!IsValidDateTime(input)) return u"Invalid DateTime";
    // Day of week and year are derived, so callers may leave them unset.
    DateTime t =
        MakeDateTime(input.year, input.month, input.day, input.hour, input.minute, input.second);
    std::u16string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != u'%' || i + 1 >= pattern.size()) {
            out.push_back(pattern[i]);
            continue;
        }
        char16_t d = pattern[++i];
        bool dropZeros = false;
        if (d == u'#' && i + 1 < pattern.size()) {
            dropZeros = true;
            d = pattern[++i];
        }
        const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
        switch (d) {
            case u'a':
                out += kDayShort[t.dayOfWeek];
                break;
            case u'A':
                out += kDayLong[t.dayOfWeek];
                break;
            case u'b':
                out += kMonthShort[t.month - 1];
                break;
            case u'B':
                out += kMonthLong[t.month - 1];
                break;
            case u'c':
                out += FormatDateTime(u"%m/%d/%y %H:%M:%S", t);
                break;
            case u'd':
                AppendNumber(out, t.day, 2, dropZeros);
                break;
            case u'H':
                AppendNumber(out, t.hour, 2, dropZeros);
                break;
            case u'I':
                AppendNumber(out, hour12, 2, dropZeros);
                break;
            case u'j':
                AppendNumber(out, t.dayOfYear, 3, dropZeros);
                break;
            case u'm':
                AppendNumber(out, t.month, 2, dropZeros);
                break;
            case u'M':
                AppendNumber(out, t.minute, 2, dropZeros);
                break;
            case u'p':
                out += t.hour < 12 ? u"AM" : u"PM";
                break;
            case u'S':
                AppendNumber(out, t.second, 2, dropZeros);
                break;
            case u'w':
                AppendNumber(out, t.dayOfWeek, 1, dropZeros);
                break;
            case u'y':
                AppendNumber(out, t.year % 100, 2, dropZeros);
                break;
            case u'Y':
                AppendNumber(out, t.year, 4, dropZeros);
                break;
            case u'%':
                out.push_back(u'%');
                break;
            default:
                out.push_back(u'%');
                if (dropZeros) out.push_back(u'#');
                out.push_back(d);
                break;
        }
    }
    return out;
}

std::u16string FormatSpan(std::u16string_view pattern, double days) {
    if (!std::isfinite(days)) return u"Invalid DateTimeSpan";
    const bool negative = days < 0;
    const int64_t total = std::llround(std::fabs(days) * 86400.0);
    const int64_t sign = negative ? -1 : 1;
    const int64_t wholeDays = total / 86400;
    const int64_t hours = total / 3600 % 24;
    const int64_t minutes = total / 60 % 60;
    const int64_t seconds = total % 60;
    std::u16string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != u'%' || i + 1 >= pattern.size()) {
            out.push_back(pattern[i]);
            continue;
        }
        switch (pattern[++i]) {
            case u'D':
                AppendNumber(out, sign * wholeDays, 1, false);
                break;
            case u'H':
                AppendNumber(out, sign * hours, 2, false);
                break;
            case u'M':
                AppendNumber(out, sign * minutes, 2, false);
                break;
            case u'S':
                AppendNumber(out, sign * seconds, 2, false);
                break;
            case u'%':
                out.push_back(u'%');
                break;
            default:
                out.push_back(u'%');
                out.push_back(pattern[i]);
                break;
        }
    }
    return out;
}

}  // namespace platform
