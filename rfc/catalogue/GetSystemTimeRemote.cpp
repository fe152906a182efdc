#include "rfc/catalogue/GetSystemTimeRemote.h"

#include "platform/DateTime.h"
#include "platform/FixedText.h"
#include "platform/Format.h"
#include "rfc/FieldCodec.h"
#include "rfc/RfcException.h"

namespace {

constexpr const char16_t* kLocation = u"CGetSystemTimeRemote::ParseDateTime";

int NumberOf(std::u16string_view text, size_t start, size_t count) {
    if (start >= text.size()) return 0;
    return rfcfield::TextToInt32(text.substr(start, count));
}

}  // namespace

CGetSystemTimeRemote::CGetSystemTimeRemote() : CBaseRfc(u"GET_SYSTEM_TIME_REMOTE") {}

double CGetSystemTimeRemote::GetRemoteDateTime() {
    std::u16string date, time;
    GetExport(u"E_L_DATE", date);
    GetExport(u"E_L_TIME", time);
    int year, month, day, hour, minute, second;
    ParseDateTime(platform::Trim(date), platform::Trim(time), year, month, day, hour, minute,
                  second);
    const platform::OleDate ole = platform::OleDate::FromDateTime(
        platform::MakeDateTime(year, month, day, hour, minute, second));
    if (!ole.IsValid()) {
        // Passes every range check but names no calendar day (31 April).
        ThrowRfcDetailException(kLocation, platform::Format(u"invalid day: %d", day));
    }
    return ole.Value();
}

void CGetSystemTimeRemote::ParseDateTime(std::u16string_view date, std::u16string_view time,
                                         int& year, int& month, int& day, int& hour, int& minute,
                                         int& second) {
    if (date.empty()) ThrowRfcDetailException(kLocation, u"empty date string");
    year = NumberOf(date, 0, 4);
    month = NumberOf(date, 4, 2);
    day = NumberOf(date, date.size() >= 2 ? date.size() - 2 : 0, 2);
    if (time.empty()) ThrowRfcDetailException(kLocation, u"empty time string");
    hour = NumberOf(time, 0, 2);
    minute = NumberOf(time, 2, 2);
    second = NumberOf(time, time.size() >= 2 ? time.size() - 2 : 0, 2);

    auto fail = [](const char16_t* pattern, int value) {
        ThrowRfcDetailException(kLocation, platform::Format(pattern, value));
    };
    if (month < 1 || month > 12) fail(u"invalid month: %d", month);
    if (day < 1 || day > 31) fail(u"invalid day: %d", day);
    if (hour < 0 || hour > 23) fail(u"invalid hour: %d", hour);
    if (minute < 0 || minute > 59) fail(u"invalid minute: %d", minute);
    if (second < 0 || second > 59) fail(u"invalid second: %d", second);
    if (year <= 1970 || year > 2038) fail(u"invalid year: %d", year);
}
