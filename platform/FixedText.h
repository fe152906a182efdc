// Fixed-width UTF-16 text fields, as records and RFC values carry them, and
// the trimming rules for turning them into strings.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Zero-fills the field, then copies the value's first units up to the
// capacity; a value that fills the field has no terminating zero.
void CopyToField(char16_t* field, size_t capacity, std::u16string_view value);
template <size_t N>
void CopyToField(char16_t (&field)[N], std::u16string_view value) {
    CopyToField(field, N, value);
}

// The same with blanks instead of zeros, as R/3 character fields are filled.
void CopyToBlankField(char16_t* field, size_t capacity, std::u16string_view value);

// The units up to the first zero, at most capacity of them.
std::u16string FieldText(const char16_t* field, size_t capacity);
template <size_t N>
std::u16string FieldText(const char16_t (&field)[N]) {
    return FieldText(field, N);
}

// White space: tab, line feed, vertical tab, form feed, carriage return, blank.
bool IsWhiteSpace(char16_t c);
std::u16string TrimRight(std::u16string_view text);
std::u16string TrimLeft(std::u16string_view text);
std::u16string Trim(std::u16string_view text);
// Replaces every occurrence of from by to.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to);

}  // namespace platform
