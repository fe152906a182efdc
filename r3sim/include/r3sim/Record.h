// One record of a dictionary structure in one character width, as the
// system sends it: every field starts at its ABAP initial value (blanks,
// '0' digits, zero numbers) and is set by name.
//
//   Record row(dictionary.Get("WPINFO"), kWidth2);
//   row.SetInt("WP_NO", 3).SetText("WP_TYP", "DIA");
//
// A field name the structure does not have is a programming error of the
// simulator (DictionaryError), so a typo in a module fails its call loudly.
//
// Thread rules: plain value.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "r3sim/Dictionary.h"

namespace r3sim {

class Record {
  public:
    Record(const StructureDef& structure, CharWidth width);

    // Character fields take the text (numeric text right-aligned, '0'-padded);
    // number fields take its numeric value; byte fields its hex digits.
    Record& SetText(std::string_view field, std::string_view text);
    Record& SetInt(std::string_view field, int64_t value);
    Record& SetFloat(std::string_view field, double value);
    Record& SetBytes(std::string_view field, std::span<const uint8_t> bytes);

    // The same setters for a field looked up once with FieldOf, for rows
    // built by the thousand.
    const FieldLayout& FieldOf(std::string_view name) const { return Field(name); }
    Record& SetText(const FieldLayout& field, std::string_view text);
    Record& SetInt(const FieldLayout& field, int64_t value);
    Record& SetBytes(const FieldLayout& field, std::span<const uint8_t> bytes);

    // A field's value as text (numbers in decimal), for reading imports.
    std::string GetText(std::string_view field) const;

    const StructureDef& Structure() const { return structure_; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

  private:
    const FieldLayout& Field(std::string_view name) const;
    uint8_t* At(const FieldLayout& field) { return bytes_.data() + field.offset[width_]; }
    void SetInitial(const FieldLayout& field);

    const StructureDef& structure_;
    CharWidth width_;
    std::vector<uint8_t> bytes_;
};

// Writes one value into a field of its type at out (length bytes of the width).
void StoreValue(const FieldSpec& spec, CharWidth width, std::string_view text, uint8_t* out,
                unsigned length);

}  // namespace r3sim
