// The dictionary as the library receives it: PARAMS rows (420 bytes) for a
// function interface and FIELDS rows (156 bytes) for a structure, text
// fields UTF-16 and blank-padded, integers little endian.
//
// Thread rules: pure functions.
#pragma once

#include <cstdint>
#include <vector>

#include "r3sim/Dictionary.h"
#include "wire/Messages.h"

namespace r3sim {

// Throws DictionaryError when a structured parameter names an unknown structure.
rfcwire::RowBlock ParamsRows(const Interface& interface, const Dictionary& dictionary);
rfcwire::RowBlock FieldsRows(const StructureDef& structure);

}  // namespace r3sim
