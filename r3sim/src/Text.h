// Small text helpers of the simulator: case-insensitive comparison for
// R/3 names, and UTF-16LE character fields.
//
// Thread rules: pure functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace r3sim {

std::string Upper(std::string_view text);
bool SameName(std::string_view a, std::string_view b);  // ASCII case-insensitive

// value as UTF-16LE, cut or blank-padded to chars characters.
std::vector<uint8_t> CharField(std::string_view value, size_t chars);

// A UTF-16LE field as UTF-8, trailing blanks and zeros removed.
std::string FieldText(const std::vector<uint8_t>& bytes);

}  // namespace r3sim
