// Values between the NetWeaver library's data containers (functions,
// structures, table rows) and the caller's buffers in the classic 2-byte
// layout, one field at a time: characters with RfcGetChars/RfcSetChars,
// raw bytes and binary numbers with RfcGetBytes and the typed setters,
// packed numbers as text with RfcGetString/RfcSetString and our own packed
// conversion. Every place is checked against the buffer: a field that does
// not lie inside it is neither read nor written.
//
// A row type is resolved once (RowMapping::Resolve), then applied to every
// row, by field index where the library offers the ByIndex readers.
//
// Thread rules: a RowMapping is read-only after Resolve; nothing is shared.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "client/TypeRegistry.h"
#include "nwrfc/NwRfcLibrary.h"
#include "rfc32u.h"
#include "wire/Messages.h"

namespace rfclib::nw {

struct FieldPlace {
    RFC_TYPEHANDLE type = RFCTYPE_CHAR;  // classic type code
    size_t offset = 0, length = 0;       // bytes in the caller's 2-byte layout
    unsigned decimals = 0;
    std::u16string name;  // the library's name of the field or parameter
    int index = -1;       // field index in the row type; -1: by name only
};

// One field of a row type as the library describes it.
struct LibraryField {
    std::u16string name;
    int index = 0;
};

// The places of an installed structure's fields in a record of rowLength
// bytes, matched by name with the library's fields; fields the library does
// not know, and fields outside the record, are left out (they keep their
// initial value). A type that is not an installed structure is one field
// at offset 0 over the whole record.
std::vector<FieldPlace> PlaceFields(RFC_TYPEHANDLE classicType,
                                    const std::vector<InstalledField>& installed,
                                    const std::vector<LibraryField>& library, size_t rowLength);

// Reads or writes one place; false with the library's error record.
bool ReadField(const Functions& api, nwrfc::DATA_CONTAINER_HANDLE container,
               const FieldPlace& place, uint8_t* buffer, size_t bufferSize,
               rfcwire::ErrorRecord& error);
bool WriteField(const Functions& api, nwrfc::DATA_CONTAINER_HANDLE container,
                const FieldPlace& place, const uint8_t* buffer, size_t bufferSize,
                rfcwire::ErrorRecord& error);

class RowMapping {
  public:
    // Reads the row type's fields from the library and places classicType's
    // installed fields in records of rowLength bytes.
    bool Resolve(const Functions& api, nwrfc::RFC_TYPE_DESC_HANDLE rowType,
                 RFC_TYPEHANDLE classicType, size_t rowLength, rfcwire::ErrorRecord& error);
    bool Read(const Functions& api, nwrfc::DATA_CONTAINER_HANDLE row, uint8_t* record,
              rfcwire::ErrorRecord& error) const;
    bool Write(const Functions& api, nwrfc::DATA_CONTAINER_HANDLE row, const uint8_t* record,
               rfcwire::ErrorRecord& error) const;

  private:
    std::vector<FieldPlace> places_;
    size_t rowLength_ = 0;
};

}  // namespace rfclib::nw
