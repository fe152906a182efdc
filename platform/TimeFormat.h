// Time-stamp texts in English, as the collector writes them under its
// "English" locale: the message stamp "  %#I:%M %p   %a, %b %#d, %Y  ",
// file-name parts "%Y%m%d", "%H%M%S", "%m%d%H%M", listing dates
// "%m/%d/%Y %H:%M:%S", and the span form "%D days, %H hrs, %M min".
#pragma once

#include <string>
#include <string_view>

#include "platform/DateTime.h"

namespace platform {

// Directives: %a %A %b %B %c %d %H %I %j %m %M %p %S %w %y %Y %%; "#" after
// "%" drops leading zeros (%#d, %#I, %#H, %#m, %#M, %#S, %#j, %#y). Returns
// "Invalid DateTime" when t is not a calendar date-time.
std::u16string FormatDateTime(std::u16string_view pattern, const DateTime& t);

// A span of days: %D whole days, %H hours (00..23), %M minutes, %S seconds
// (two digits each), %%.
std::u16string FormatSpan(std::u16string_view pattern, double days);

}  // namespace platform
