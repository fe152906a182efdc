#include "collect/system/SaposcolTime.h"

#include <cmath>

#include "collect/core/CollectorException.h"
#include "platform/Format.h"
#include "platform/TimeFormat.h"

namespace {

double DifferenceDays(const platform::DateTime& nowGmt, platform::OleDate last) {
    return platform::OleDate::FromDateTime(nowGmt).Value() - last.Value();
}

}  // namespace

int32_t SaposcolDifferenceSeconds(const platform::DateTime& nowGmt, platform::OleDate last) {
    const double seconds = DifferenceDays(nowGmt, last) * 86400.0;
    const double rounded = seconds + (seconds < 0 ? -0.5 : 0.5);
    // Far-off dates cannot be represented; they are outside the window either way.
    if (rounded >= 2147483647.0) return INT32_MAX;
    if (rounded <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(rounded);
}

std::u16string SaposcolTimeText(const platform::DateTime& nowGmt, std::u16string_view host,
                                platform::OleDate last) {
    platform::DateTime lastTime;
    if (!last.ToDateTime(lastTime)) lastTime = platform::DateTime{};
    return platform::Format(
        u"saposcol time not within 13 hours of GMT.\n\nGMT  : %s\n%s  : %s\n\ndifference  : %s",
        platform::FormatDateTime(u"%m/%d/%Y %H:%M:%S", nowGmt), host,
        platform::FormatDateTime(u"%m/%d/%Y %H:%M:%S", lastTime),
        platform::FormatSpan(u"%D days, %H hrs, %M min", DifferenceDays(nowGmt, last)));
}

int32_t CheckSaposcolTime(const platform::DateTime& nowGmt, std::u16string_view host,
                          platform::OleDate last) {
    const int32_t seconds = SaposcolDifferenceSeconds(nowGmt, last);
    if (seconds < -kSaposcolWindowSeconds || seconds > kSaposcolWindowSeconds)
        ThrowCollectorException(SaposcolTimeText(nowGmt, host, last));
    return seconds;
}
