// Packed decimals: two digits per byte, the last byte's low nibble the sign
// (C or F positive, D or B negative). A field of n bytes holds 2n - 1 digits,
// the last `decimals` of them after the decimal point.
//
// Thread rules: pure functions.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rfclib {

inline constexpr size_t kMaxBcdBytes = 16;

// Text such as "-12.5", "12.50-", " +7 " or "" (zero) into the field; extra
// decimal places are rounded half away from zero. False when the text is not
// a number or the value does not fit.
bool TextToBcd(std::u16string_view text, int decimals, std::span<uint8_t> field,
               std::string& error);

// The field as text: "-12.50", "0.00", "1234". False on a nibble that is not
// a digit or a sign.
bool BcdToText(std::span<const uint8_t> field, int decimals, std::u16string& text,
               std::string& error);

}  // namespace rfclib
