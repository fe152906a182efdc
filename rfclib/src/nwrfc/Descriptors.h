// The NetWeaver library's descriptions as the classic interface tables: a
// function's parameters as PARAMS rows (RFC_U_FUNINT, 420 bytes) and a
// structure's fields as FIELDS rows (RFC_U_FIELDS, 156 bytes). The library
// gives the 1-byte (nuc) and 2-byte (uc) layouts; the 4-byte layout, which
// the classic rows also carry, is laid out here the way the dictionary lays
// it out: characters of 4 bytes aligned to 4, numbers to their size.
//
// Thread rules: pure functions over their arguments; any bytes in the
// descriptions give rows (names are read within their arrays).
#pragma once

#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "nwrfc/NwRfcApi.h"
#include "rfc32u.h"

namespace rfclib::nw {

// The classic type letter of a NetWeaver type, mapped by name (the numbers
// differ: NetWeaver's 14 is NULL, its structures 17 and tables 5); ' ' for
// a type without a classic letter.
char16_t ExidOf(nwrfc::RFCTYPE type);

struct ParameterDescription {
    nwrfc::RFC_PARAMETER_DESC desc{};
    std::u16string typeName;  // structure or row type, empty for a single field
    unsigned wideLength = 0;  // bytes in the 4-byte layout; 0: derived from desc
};

// One row per parameter, directions 1, 2, 7 as classes I, E, T; a changing
// parameter (3) as an I row and an E row; then one X row per exception
// name. Offsets run per class.
std::vector<RFC_U_FUNINT> ParamsRows(const std::vector<ParameterDescription>& parameters,
                                     const std::vector<std::u16string>& exceptions);

struct StructureLayout {
    unsigned lengthB1 = 0, lengthB2 = 0, lengthB4 = 0, fieldCount = 0, alignment = 1;
};

// One row per field, in order; layout receives the record lengths of the
// three layouts (b1 and b2 as the library reports them), the field count
// and the alignment of the 2-byte layout.
std::vector<RFC_U_FIELDS> FieldsRows(std::u16string_view structure,
                                     const std::vector<nwrfc::RFC_FIELD_DESC>& fields,
                                     unsigned nucLength, unsigned ucLength,
                                     StructureLayout& layout);

}  // namespace rfclib::nw
