// The saposcol freshness check of the connection test: saposcol's last
// collector write must lie within 13 hours either side of GMT now.
//
// Thread rules: plain functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/DateTime.h"

// The window either side of GMT, in seconds; exactly this much passes.
inline constexpr int32_t kSaposcolWindowSeconds = 46800;

// now - last in whole seconds, rounded half away from zero.
int32_t SaposcolDifferenceSeconds(const platform::DateTime& nowGmt, platform::OleDate last);

// The operator's text for a saposcol write outside the window: both times
// ("%m/%d/%Y %H:%M:%S"), the host, and the difference in days, hours and minutes.
std::u16string SaposcolTimeText(const platform::DateTime& nowGmt, std::u16string_view host,
                                platform::OleDate last);

// Throws CCollectorException with SaposcolTimeText when last is outside the
// window; returns the difference in seconds otherwise.
int32_t CheckSaposcolTime(const platform::DateTime& nowGmt, std::u16string_view host,
                          platform::OleDate last);
