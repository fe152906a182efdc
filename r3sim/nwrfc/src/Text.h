// SAP_UC text as the caller hands it in: zero-terminated, read at most to a
// bound so that a missing terminator never reads past a name's field.
//
// Thread rules: pure functions.
#pragma once

#include <string>
#include <string_view>

#include "nwrfc/NwRfcApi.h"

namespace nwsim {

inline constexpr size_t kMaxNameUnits = 30;    // ABAP names
inline constexpr size_t kMaxValueUnits = 4096;  // logon values

// The text up to its terminator, at most maxUnits units; empty for NULL.
std::u16string_view TextOf(const nwrfc::SAP_UC* text, size_t maxUnits);

// Copies text cut to capacity - 1 units into field and zero-fills the rest.
void PutText(std::u16string_view text, nwrfc::SAP_UC* field, size_t capacity);
template <size_t N>
void PutText(std::u16string_view text, nwrfc::SAP_UC (&field)[N]) {
    PutText(text, field, N);
}

// ASCII letters compared without regard to case.
bool SameNoCase(std::u16string_view a, std::u16string_view b);

std::u16string_view TrimRight(std::u16string_view text);

std::string Utf8(std::u16string_view text);

}  // namespace nwsim
