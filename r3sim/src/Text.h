// Small text helpers of the simulator: case-insensitive comparison for
// R/3 names, and character fields in the 1-, 2- and 4-byte widths
// (Windows-1252, UTF-16LE, UTF-32LE).
//
// Thread rules: pure functions.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "r3sim/Dictionary.h"

namespace r3sim {

std::string Upper(std::string_view text);
bool SameName(std::string_view a, std::string_view b);  // ASCII case-insensitive

// value (UTF-8) cut or blank-padded to chars characters, in the given width.
void EncodeChars(std::string_view value, size_t chars, CharWidth width, uint8_t* out);
std::vector<uint8_t> CharField(std::string_view value, size_t chars, CharWidth width = kWidth2);

// A character field as UTF-8, trailing blanks and zeros removed.
std::string DecodeChars(std::span<const uint8_t> bytes, CharWidth width);
std::string FieldText(const std::vector<uint8_t>& bytes, CharWidth width = kWidth2);

}  // namespace r3sim
