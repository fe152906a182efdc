#include "nwrfc/FieldTransfer.h"

#include <cstring>
#include <unordered_map>

#include "client/ErrorState.h"
#include "nwrfc/SdkErrors.h"
#include "platform/TextCodec.h"

namespace rfclib::nw {
namespace {

bool IsCharacter(RFC_TYPEHANDLE type) {
    return type == RFCTYPE_CHAR || type == RFCTYPE_DATE || type == RFCTYPE_TIME ||
           type == RFCTYPE_NUM;
}

bool Failed(nwrfc::RFC_RC rc, const nwrfc::RFC_ERROR_INFO& info, const FieldPlace& place,
            const char* what, rfcwire::ErrorRecord& error) {
    if (rc == nwrfc::RFC_OK) return false;
    error = ClassicError(info);
    error.message = platform::FromUtf8(std::string(what) + " of field ") + place.name + u": " +
                    error.message;
    return true;
}

// Scratch text of one thread: characters for odd offsets and packed numbers.
std::u16string& Scratch(size_t units) {
    thread_local std::u16string scratch;
    if (scratch.size() < units) scratch.resize(units);
    return scratch;
}

nwrfc::RFC_RC GetChars(const Functions& api, nwrfc::DATA_CONTAINER_HANDLE c,
                       const FieldPlace& place, RFC_CHAR* out, unsigned chars,
                       nwrfc::RFC_ERROR_INFO& info) {
    if (place.index >= 0 && api.RfcGetCharsByIndex != nullptr)
        return api.RfcGetCharsByIndex(c, static_cast<unsigned>(place.index), out, chars, &info);
    return api.RfcGetChars(c, place.name.c_str(), out, chars, &info);
}

nwrfc::RFC_RC GetBytes(const Functions& api, nwrfc::DATA_CONTAINER_HANDLE c,
                       const FieldPlace& place, uint8_t* out, unsigned bytes,
                       nwrfc::RFC_ERROR_INFO& info) {
    if (place.index >= 0 && api.RfcGetBytesByIndex != nullptr)
        return api.RfcGetBytesByIndex(c, static_cast<unsigned>(place.index), out, bytes, &info);
    return api.RfcGetBytes(c, place.name.c_str(), out, bytes, &info);
}

nwrfc::RFC_RC GetString(const Functions& api, nwrfc::DATA_CONTAINER_HANDLE c,
                        const FieldPlace& place, RFC_CHAR* out, unsigned capacity,
                        unsigned* length, nwrfc::RFC_ERROR_INFO& info) {
    if (place.index >= 0 && api.RfcGetStringByIndex != nullptr)
        return api.RfcGetStringByIndex(c, static_cast<unsigned>(place.index), out, capacity,
                                       length, &info);
    return api.RfcGetString(c, place.name.c_str(), out, capacity, length, &info);
}

// A packed number read as text ("-123.45"), retried once with the length
// the library asks for, then packed into the caller's field.
bool ReadPacked(const Functions& api, nwrfc::DATA_CONTAINER_HANDLE c, const FieldPlace& place,
                uint8_t* out, rfcwire::ErrorRecord& error) {
    unsigned capacity = static_cast<unsigned>(place.length * 2 + 8);
    unsigned length = 0;
    nwrfc::RFC_ERROR_INFO info{};
    std::u16string& text = Scratch(capacity);
    nwrfc::RFC_RC rc = GetString(api, c, place, text.data(), capacity, &length, info);
    if (rc == nwrfc::RFC_BUFFER_TOO_SMALL) {
        capacity = length + 1;
        std::u16string& larger = Scratch(capacity);
        info = {};
        rc = GetString(api, c, place, larger.data(), capacity, &length, info);
    }
    if (Failed(rc, info, place, "RfcGetString", error)) return false;
    const std::u16string& value = Scratch(0);
    if (RfcConvertCharToBcdU(value.data(), std::min<unsigned>(length, capacity),
                             static_cast<int>(place.decimals), out,
                             static_cast<unsigned>(place.length)) != RFC_OK) {
        error = LastError();
        return false;
    }
    return true;
}

// The classic text of a packed field ("  12.50-") in the library's form ("-12.50").
std::u16string PackedText(const uint8_t* in, const FieldPlace& place, rfcwire::ErrorRecord& error,
                          bool& ok) {
    std::u16string text(place.length * 2 + 4, u'\0');
    ok = RfcConvertBcdToCharU(in, static_cast<unsigned>(place.length),
                              static_cast<int>(place.decimals), text.data(),
                              static_cast<unsigned>(text.size())) == RFC_OK;
    if (!ok) {
        error = LastError();
        return {};
    }
    text.resize(std::u16string(text.c_str()).size());
    const size_t first = text.find_first_not_of(u' ');
    text = first == std::u16string::npos ? u"0" : text.substr(first);
    if (!text.empty() && text.back() == u'-') {
        text.pop_back();
        text.insert(text.begin(), u'-');
    }
    return text;
}

}  // namespace

std::vector<FieldPlace> PlaceFields(RFC_TYPEHANDLE classicType,
                                    const std::vector<InstalledField>& installed,
                                    const std::vector<LibraryField>& library, size_t rowLength) {
    std::vector<FieldPlace> places;
    if (classicType < RFCTYPE_FIRST_INSTALLED) {
        FieldPlace whole;
        whole.type = classicType;
        whole.length = rowLength;
        if (!library.empty()) {
            whole.name = library.front().name;
            whole.index = library.front().index;
        }
        places.push_back(std::move(whole));
        return places;
    }
    std::unordered_map<std::u16string, int> indexOf;
    for (const LibraryField& field : library) indexOf.emplace(field.name, field.index);
    for (const InstalledField& field : installed) {
        const auto found = indexOf.find(field.name);
        if (found == indexOf.end()) continue;
        if (field.c2Offset > rowLength || field.c2Length > rowLength - field.c2Offset) continue;
        if (field.c2Length == 0) continue;
        FieldPlace place;
        place.type = field.type;
        place.offset = field.c2Offset;
        place.length = field.c2Length;
        place.decimals = field.decimals;
        place.name = field.name;
        place.index = found->second;
        places.push_back(std::move(place));
    }
    return places;
}

bool ReadField(const Functions& api, nwrfc::DATA_CONTAINER_HANDLE container,
               const FieldPlace& place, uint8_t* buffer, size_t bufferSize,
               rfcwire::ErrorRecord& error) {
    if (place.offset > bufferSize || place.length > bufferSize - place.offset) return true;
    uint8_t* at = buffer + place.offset;
    nwrfc::RFC_ERROR_INFO info{};
    if (IsCharacter(place.type)) {
        const unsigned chars = static_cast<unsigned>(place.length / 2);
        if (chars == 0) return true;
        // Records may put a text field at an odd offset: read it aside then.
        const bool aligned = reinterpret_cast<uintptr_t>(at) % alignof(RFC_CHAR) == 0;
        RFC_CHAR* out = aligned ? reinterpret_cast<RFC_CHAR*>(at) : Scratch(chars).data();
        const nwrfc::RFC_RC rc = GetChars(api, container, place, out, chars, info);
        if (Failed(rc, info, place, "RfcGetChars", error)) return false;
        if (!aligned) std::memcpy(at, out, chars * sizeof(RFC_CHAR));
        return true;
    }
    if (place.type == RFCTYPE_BCD) return ReadPacked(api, container, place, at, error);
    if (place.type == RFCTYPE_STRUCTURE || place.type == RFCTYPE_DEEP_STRUCTURE ||
        place.type == RFCTYPE_ITAB || place.type >= RFCTYPE_FIRST_INSTALLED)
        return true;  // nested parts are not rebuilt; they keep their initial value
    const nwrfc::RFC_RC rc =
        GetBytes(api, container, place, at, static_cast<unsigned>(place.length), info);
    return !Failed(rc, info, place, "RfcGetBytes", error);
}

bool WriteField(const Functions& api, nwrfc::DATA_CONTAINER_HANDLE container,
                const FieldPlace& place, const uint8_t* buffer, size_t bufferSize,
                rfcwire::ErrorRecord& error) {
    if (place.offset > bufferSize || place.length > bufferSize - place.offset) return true;
    const uint8_t* at = buffer + place.offset;
    const RFC_CHAR* name = place.name.c_str();
    nwrfc::RFC_ERROR_INFO info{};
    nwrfc::RFC_RC rc = nwrfc::RFC_OK;
    const char* what = "RfcSetBytes";
    if (IsCharacter(place.type)) {
        const unsigned chars = static_cast<unsigned>(place.length / 2);
        std::u16string& text = Scratch(chars);
        std::memcpy(text.data(), at, chars * sizeof(RFC_CHAR));
        rc = api.RfcSetChars(container, name, text.data(), chars, &info);
        what = "RfcSetChars";
    } else if (place.type == RFCTYPE_BCD) {
        bool ok = false;
        const std::u16string text = PackedText(at, place, error, ok);
        if (!ok) return false;
        rc = api.RfcSetString(container, name, text.c_str(), static_cast<unsigned>(text.size()),
                              &info);
        what = "RfcSetString";
    } else if (place.type == RFCTYPE_INT && place.length >= 4) {
        int32_t value;
        std::memcpy(&value, at, sizeof value);
        rc = api.RfcSetInt(container, name, value, &info);
    } else if (place.type == RFCTYPE_INT2 && place.length >= 2) {
        int16_t value;
        std::memcpy(&value, at, sizeof value);
        rc = api.RfcSetInt2(container, name, value, &info);
    } else if (place.type == RFCTYPE_INT1) {
        rc = api.RfcSetInt1(container, name, at[0], &info);
    } else if (place.type == RFCTYPE_FLOAT && place.length >= 8) {
        double value;
        std::memcpy(&value, at, sizeof value);
        rc = api.RfcSetFloat(container, name, value, &info);
    } else if (place.type == RFCTYPE_BYTE) {
        rc = api.RfcSetBytes(container, name, at, static_cast<unsigned>(place.length), &info);
    } else {
        return true;  // nested parts are not sent
    }
    return !Failed(rc, info, place, what, error);
}

bool RowMapping::Resolve(const Functions& api, nwrfc::RFC_TYPE_DESC_HANDLE rowType,
                         RFC_TYPEHANDLE classicType, size_t rowLength,
                         rfcwire::ErrorRecord& error) {
    rowLength_ = rowLength;
    std::vector<LibraryField> library;
    if (rowType != nullptr) {
        nwrfc::RFC_ERROR_INFO info{};
        unsigned count = 0;
        if (api.RfcGetFieldCount(rowType, &count, &info) != nwrfc::RFC_OK) {
            error = ClassicError(info);
            return false;
        }
        for (unsigned i = 0; i < count; ++i) {
            nwrfc::RFC_FIELD_DESC field{};
            if (api.RfcGetFieldDescByIndex(rowType, i, &field, &info) != nwrfc::RFC_OK) {
                error = ClassicError(info);
                return false;
            }
            size_t n = 0;
            while (n < std::size(field.name) && field.name[n] != 0) ++n;
            library.push_back({std::u16string(field.name, n), static_cast<int>(i)});
        }
    }
    std::vector<InstalledField> installed;
    if (classicType >= RFCTYPE_FIRST_INSTALLED) {
        const auto structure = FindStructure(classicType);
        if (!structure) {
            error = MakeError(RFC_ERROR_PROGRAM,
                              "type handle " + std::to_string(classicType) + " is not installed");
            return false;
        }
        installed = structure->fields;
    }
    places_ = PlaceFields(classicType, installed, library, rowLength);
    return true;
}

bool RowMapping::Read(const Functions& api, nwrfc::DATA_CONTAINER_HANDLE row, uint8_t* record,
                      rfcwire::ErrorRecord& error) const {
    for (const FieldPlace& place : places_)
        if (!ReadField(api, row, place, record, rowLength_, error)) return false;
    return true;
}

bool RowMapping::Write(const Functions& api, nwrfc::DATA_CONTAINER_HANDLE row,
                       const uint8_t* record, rfcwire::ErrorRecord& error) const {
    for (const FieldPlace& place : places_)
        if (!WriteField(api, row, place, record, rowLength_, error)) return false;
    return true;
}

}  // namespace rfclib::nw
