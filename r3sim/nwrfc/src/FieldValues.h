// Reading and writing one value in the Unicode layout, in the forms the
// SDK's accessors take: characters, bytes, text and numbers.
//
//   chars   lengths in characters; a longer buffer is padded with blanks, a
//           shorter one is RFC_BUFFER_TOO_SMALL
//   bytes   BYTE copied and zero-padded; INT, INT1, INT2, FLOAT and BCD in
//           their binary form; character types as UTF-16, blank-padded
//   text    CHAR without trailing blanks, BCD as "-123.45" with the field's
//           decimals, BYTE as hex digits, numbers in decimal
//   numbers with range checks (RFC_CONVERSION_FAILURE)
//
// Thread rules: pure functions over the caller's container.
#pragma once

#include <string>
#include <string_view>

#include "Descriptions.h"
#include "Errors.h"

namespace nwsim {

struct FieldRef {
    const Slot* slot = nullptr;
    uint8_t* data = nullptr;  // the value's first byte
    std::u16string_view name;
};

nwrfc::RFC_RC GetChars(const FieldRef& field, nwrfc::SAP_UC* buffer, unsigned length,
                       Failure& failure);
nwrfc::RFC_RC SetChars(const FieldRef& field, const nwrfc::SAP_UC* value, unsigned length,
                       Failure& failure);
nwrfc::RFC_RC GetBytes(const FieldRef& field, uint8_t* buffer, unsigned length, Failure& failure);
nwrfc::RFC_RC SetBytes(const FieldRef& field, const uint8_t* value, unsigned length,
                       Failure& failure);

// The value as text (not terminated); false for types without a text form.
nwrfc::RFC_RC GetText(const FieldRef& field, std::u16string& text, Failure& failure);
nwrfc::RFC_RC SetText(const FieldRef& field, std::u16string_view text, Failure& failure);
// GetText into the caller's buffer: *length is always the text's length;
// RFC_BUFFER_TOO_SMALL when the buffer cannot also hold the terminator.
nwrfc::RFC_RC GetString(const FieldRef& field, nwrfc::SAP_UC* buffer, unsigned bufferLength,
                        unsigned* length, Failure& failure);

nwrfc::RFC_RC GetInteger(const FieldRef& field, long long& value, Failure& failure);
nwrfc::RFC_RC SetInteger(const FieldRef& field, long long value, Failure& failure);
nwrfc::RFC_RC GetFloat(const FieldRef& field, double& value, Failure& failure);
nwrfc::RFC_RC SetFloat(const FieldRef& field, double value, Failure& failure);

}  // namespace nwsim
