// Reads groups of R/3 fields by name into the arrays of a record: one name
// list per group (collect/records), one accessor call per field. A field the
// row or structure does not have leaves 0 in its place.
//
// Thread rules: those of the call object read.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "rfc/BaseRfc.h"

namespace instfile {

// Record fields are packed and may be unaligned, so values are read into
// locals and copied into place; dest receives N values of type T.
template <typename T, size_t N>
void ReadTableFields(CBaseRfc& call, std::u16string_view tableKey, const void* row,
                     const std::array<std::u16string_view, N>& names, void* dest) {
    std::array<T, N> values{};
    for (size_t i = 0; i < N; ++i) call.GetTableField(tableKey, names[i], row, values[i]);
    std::memcpy(dest, values.data(), sizeof values);
}

template <typename T, size_t N>
void ReadExportFields(CBaseRfc& call, std::u16string_view key,
                      const std::array<std::u16string_view, N>& names, void* dest) {
    std::array<T, N> values{};
    for (size_t i = 0; i < N; ++i) call.GetExportField(key, names[i], values[i]);
    std::memcpy(dest, values.data(), sizeof values);
}

// One numeric field of a row (0 when the row does not have it).
template <typename T>
T TableValue(CBaseRfc& call, std::u16string_view tableKey, std::u16string_view field,
             const void* row) {
    T value{};
    call.GetTableField(tableKey, field, row, value);
    return value;
}

// A fixed-width text field of a row into a record's char16_t array.
template <size_t N>
void ReadTableText(CBaseRfc& call, std::u16string_view tableKey, std::u16string_view field,
                   const void* row, char16_t (&out)[N]) {
    char16_t text[N] = {};
    call.GetTableField(tableKey, field, row, text, sizeof text);
    std::memcpy(out, text, sizeof text);
}

// The fields of a table's rows by name, resolved once for all rows of one
// call: each read is then a typed read at a known place, with no lookup and
// no string built. A field the rows do not have reads as 0 or blanks, as
// through the accessors by name.
template <size_t N>
class ResolvedFields {
  public:
    ResolvedFields(CBaseRfc& call, std::u16string_view tableKey,
                   const std::array<std::u16string_view, N>& names) {
        for (size_t i = 0; i < N; ++i) call.LookupTableField(tableKey, names[i], fields_[i]);
    }

    template <typename T>
    T Value(size_t i, const void* row) const {
        const rfcfield::RowField& f = fields_[i];
        if (!f.found || row == nullptr) return T{};
        const auto* bytes = static_cast<const unsigned char*>(row);
        if constexpr (std::is_same_v<T, double>) {
            return rfcfield::GetFieldDouble(bytes, f.recordLength, f.place);
        } else if constexpr (std::is_same_v<T, int64_t>) {
            return rfcfield::GetFieldInt64(bytes, f.recordLength, f.place);
        } else {
            static_assert(std::is_same_v<T, int32_t>);
            return rfcfield::GetFieldInt32(bytes, f.recordLength, f.place);
        }
    }
    // A text into a record's char16_t array: zero-filled, cut to its size.
    template <size_t Units>
    void Text(size_t i, const void* row, char16_t (&out)[Units]) const {
        char16_t text[Units] = {};
        const rfcfield::RowField& f = fields_[i];
        if (f.found && row != nullptr) {
            rfcfield::GetFieldText(static_cast<const unsigned char*>(row), f.recordLength, f.place,
                                   text, Units);
        }
        std::memcpy(out, text, sizeof text);
    }
    void Bytes(size_t i, const void* row, unsigned char* out, size_t count) const {
        std::memset(out, 0, count);
        const rfcfield::RowField& f = fields_[i];
        if (!f.found || row == nullptr) return;
        rfcfield::GetFieldBytes(static_cast<const unsigned char*>(row), f.recordLength, f.place,
                                out, count);
    }

  private:
    std::array<rfcfield::RowField, N> fields_{};
};

// Visits rows 1..count of a table; rows the call cannot give are skipped.
template <typename Visit>
void ForEachRow(CBaseRfc& call, std::u16string_view tableName, Visit visit) {
    const int count = call.GetTableRowCount(tableName);
    for (int i = 1; i <= count; ++i) {
        if (const void* row = call.GetTableRow(tableName, i)) visit(row);
    }
}

}  // namespace instfile
