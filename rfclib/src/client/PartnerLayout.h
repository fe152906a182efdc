// The conversion between the caller's values (UTF-16, the 2-byte layout of
// installed structures) and those of a non-Unicode partner (Windows-1252,
// the 1-byte layout). Character-like values and fields are converted,
// everything else is copied; a structure is converted field by field with
// the offsets and lengths the caller installed, and a field that does not
// lie inside the record it is read from keeps its initial value, so a short
// or inconsistent record never leads to a read or write outside a buffer.
//
// Thread rules: a plain value per conversion; FindStructure locks itself.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "client/TypeRegistry.h"
#include "rfc32u.h"

namespace rfclib {

class PartnerLayout {
  public:
    // The layout of a caller's type handle; a handle that is not installed
    // converts as raw bytes (its use is refused elsewhere).
    explicit PartnerLayout(RFC_TYPEHANDLE type);
    // The layout of a structure known by its fields rather than by an
    // installed handle (a type description read from the partner).
    explicit PartnerLayout(std::vector<InstalledField> fields);

    // Caller bytes (2-byte layout) to the partner's 1-byte layout.
    std::vector<uint8_t> Narrow(const uint8_t* wide, size_t length) const;
    // Partner bytes (1-byte layout) to the caller's layout.
    std::vector<uint8_t> Widen(const uint8_t* narrow, size_t length) const;
    // The length Widen gives for a partner value of length bytes.
    size_t WideLength(size_t length) const;
    // Widen into out, which holds WideLength(length) bytes; for rows of a
    // table, with no allocation per row.
    void WidenInto(const uint8_t* narrow, size_t length, uint8_t* out) const;

  private:
    void MeasureRecords();

    RFC_TYPEHANDLE type_;
    std::optional<InstalledStructure> structure_;
    size_t wideRecord_ = 0, narrowRecord_ = 0;  // of the structure
};

}  // namespace rfclib
