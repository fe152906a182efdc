#include "FieldValues.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "Text.h"
#include "wire/Bcd.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "values are kept as little-endian UTF-16 and integers");

namespace nwsim {
namespace {

using nwrfc::RFC_RC;

RFC_RC Refuse(const FieldRef& field, RFC_RC code, const std::string& why, Failure& failure) {
    failure = MakeFailure(code, nwrfc::EXTERNAL_RUNTIME_FAILURE,
                          "field " + Utf8(field.name) + ": " + why);
    return code;
}

RFC_RC NotConvertible(const FieldRef& field, const char* what, Failure& failure) {
    return Refuse(field, nwrfc::RFC_CONVERSION_FAILURE,
                  std::string("its type cannot be read or written as ") + what, failure);
}

unsigned Chars(const Slot& slot) {
    return slot.ucLength / 2;
}

void PutChars(uint8_t* data, std::u16string_view text, unsigned chars, char16_t pad) {
    const size_t n = std::min<size_t>(text.size(), chars);
    std::memcpy(data, text.data(), n * 2);
    for (size_t i = n; i < chars; ++i) std::memcpy(data + 2 * i, &pad, 2);
}

bool IsBinaryNumber(nwrfc::RFCTYPE type) {
    return type == nwrfc::RFCTYPE_INT || type == nwrfc::RFCTYPE_INT1 ||
           type == nwrfc::RFCTYPE_INT2 || type == nwrfc::RFCTYPE_FLOAT;
}

bool AllDigits(std::u16string_view text) {
    for (char16_t c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
    return TrimRight(text);
}

std::u16string Ascii(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

bool ParseInteger(std::u16string_view text, long long& value) {
    const std::string ascii = Utf8(Trim(text));
    const char* begin = ascii.data();
    if (!ascii.empty() && ascii[0] == '+') ++begin;
    const auto [end, ec] = std::from_chars(begin, ascii.data() + ascii.size(), value);
    return ec == std::errc() && end == ascii.data() + ascii.size() && begin != end;
}

bool ParseDouble(std::u16string_view text, double& value) {
    const std::string ascii = Utf8(Trim(text));
    const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    return ec == std::errc() && end == ascii.data() + ascii.size() && !ascii.empty();
}

std::u16string FloatText(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return Ascii(std::string_view(buffer, ec == std::errc() ? end - buffer : 0));
}

template <typename T>
T Load(const uint8_t* data) {
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

template <typename T>
void Store(uint8_t* data, T value) {
    std::memcpy(data, &value, sizeof value);
}

bool SizedAs(const FieldRef& field, size_t bytes) {
    return field.slot->ucLength >= bytes;
}

}  // namespace

RFC_RC GetText(const FieldRef& field, std::u16string& text, Failure& failure) {
    const Slot& slot = *field.slot;
    const uint8_t* data = field.data;
    text.clear();
    switch (slot.type) {
        case nwrfc::RFCTYPE_CHAR:
        case nwrfc::RFCTYPE_NUM:
        case nwrfc::RFCTYPE_DATE:
        case nwrfc::RFCTYPE_TIME: {
            text.resize(Chars(slot));
            if (!text.empty()) std::memcpy(text.data(), data, text.size() * 2);
            if (slot.type == nwrfc::RFCTYPE_CHAR) text.resize(TrimRight(text).size());
            return nwrfc::RFC_OK;
        }
        case nwrfc::RFCTYPE_BYTE: {
            static constexpr char16_t kHex[] = u"0123456789ABCDEF";
            for (unsigned i = 0; i < slot.ucLength; ++i) {
                text.push_back(kHex[data[i] >> 4]);
                text.push_back(kHex[data[i] & 15]);
            }
            return nwrfc::RFC_OK;
        }
        case nwrfc::RFCTYPE_BCD: {
            std::string error;
            if (!rfclib::BcdToText({data, slot.ucLength}, static_cast<int>(slot.decimals), text,
                                   error))
                return Refuse(field, nwrfc::RFC_CONVERSION_FAILURE, error, failure);
            return nwrfc::RFC_OK;
        }
        default: {
            long long integer = 0;
            if (slot.type == nwrfc::RFCTYPE_FLOAT && SizedAs(field, 8)) {
                text = FloatText(Load<double>(data));
                return nwrfc::RFC_OK;
            }
            if (!IsBinaryNumber(slot.type)) return NotConvertible(field, "text", failure);
            const RFC_RC rc = GetInteger(field, integer, failure);
            if (rc == nwrfc::RFC_OK) text = Ascii(std::to_string(integer));
            return rc;
        }
    }
}

RFC_RC SetText(const FieldRef& field, std::u16string_view text, Failure& failure) {
    const Slot& slot = *field.slot;
    uint8_t* data = field.data;
    const unsigned chars = Chars(slot);
    switch (slot.type) {
        case nwrfc::RFCTYPE_CHAR:
            if (TrimRight(text).size() > chars)
                return Refuse(field, nwrfc::RFC_BUFFER_TOO_SMALL,
                              std::to_string(text.size()) + " characters do not fit in " +
                                  std::to_string(chars),
                              failure);
            PutChars(data, text, chars, u' ');
            return nwrfc::RFC_OK;
        case nwrfc::RFCTYPE_NUM: {
            const std::u16string_view digits = Trim(text);
            if (!AllDigits(digits) || digits.size() > chars)
                return Refuse(field, nwrfc::RFC_CONVERSION_FAILURE,
                              "'" + Utf8(text) + "' is not a number of at most " +
                                  std::to_string(chars) + " digits",
                              failure);
            const std::u16string padded = std::u16string(chars - digits.size(), u'0') +
                                          std::u16string(digits);
            PutChars(data, padded, chars, u'0');
            return nwrfc::RFC_OK;
        }
        case nwrfc::RFCTYPE_DATE:
        case nwrfc::RFCTYPE_TIME: {
            const std::u16string_view value = TrimRight(text);
            if (value.empty()) {
                WriteInitial(slot, data);
                return nwrfc::RFC_OK;
            }
            if (value.size() != chars || !AllDigits(value))
                return Refuse(field, nwrfc::RFC_CONVERSION_FAILURE,
                              "'" + Utf8(text) + "' is not " + std::to_string(chars) + " digits",
                              failure);
            PutChars(data, value, chars, u'0');
            return nwrfc::RFC_OK;
        }
        case nwrfc::RFCTYPE_BYTE: {
            const std::u16string_view hex = Trim(text);
            auto nibble = [](char16_t c) {
                if (c >= u'0' && c <= u'9') return c - u'0';
                if (c >= u'A' && c <= u'F') return c - u'A' + 10;
                if (c >= u'a' && c <= u'f') return c - u'a' + 10;
                return -1;
            };
            if (hex.size() % 2 != 0 || hex.size() / 2 > slot.ucLength)
                return Refuse(field, nwrfc::RFC_CONVERSION_FAILURE,
                              "'" + Utf8(text) + "' is not hex digits of at most " +
                                  std::to_string(slot.ucLength) + " bytes",
                              failure);
            std::vector<uint8_t> bytes(slot.ucLength, 0);
            for (size_t i = 0; i < hex.size(); i += 2) {
                const int high = nibble(hex[i]), low = nibble(hex[i + 1]);
                if (high < 0 || low < 0)
                    return Refuse(field, nwrfc::RFC_CONVERSION_FAILURE,
                                  "'" + Utf8(text) + "' is not hex digits", failure);
                bytes[i / 2] = static_cast<uint8_t>(high * 16 + low);
            }
            std::memcpy(data, bytes.data(), bytes.size());
            return nwrfc::RFC_OK;
        }
        case nwrfc::RFCTYPE_BCD: {
            std::string error;
            std::vector<uint8_t> packed(slot.ucLength);
            if (!rfclib::TextToBcd(Trim(text), static_cast<int>(slot.decimals), packed, error))
                return Refuse(field, nwrfc::RFC_CONVERSION_FAILURE, error, failure);
            std::memcpy(data, packed.data(), packed.size());
            return nwrfc::RFC_OK;
        }
        case nwrfc::RFCTYPE_FLOAT: {
            double value = 0;
            if (!ParseDouble(text, value))
                return Refuse(field, nwrfc::RFC_CONVERSION_FAILURE,
                              "'" + Utf8(text) + "' is not a number", failure);
            return SetFloat(field, value, failure);
        }
        default: {
            long long value = 0;
            if (!IsBinaryNumber(slot.type)) return NotConvertible(field, "text", failure);
            if (!ParseInteger(text, value))
                return Refuse(field, nwrfc::RFC_CONVERSION_FAILURE,
                              "'" + Utf8(text) + "' is not an integer", failure);
            return SetInteger(field, value, failure);
        }
    }
}

RFC_RC GetString(const FieldRef& field, nwrfc::SAP_UC* buffer, unsigned bufferLength,
                 unsigned* length, Failure& failure) {
    std::u16string text;
    const RFC_RC rc = GetText(field, text, failure);
    if (rc != nwrfc::RFC_OK) return rc;
    if (length != nullptr) *length = static_cast<unsigned>(text.size());
    if (bufferLength < text.size() + 1)
        return Refuse(field, nwrfc::RFC_BUFFER_TOO_SMALL,
                      std::to_string(text.size() + 1) + " characters needed, " +
                          std::to_string(bufferLength) + " given",
                      failure);
    std::memcpy(buffer, text.data(), text.size() * 2);
    buffer[text.size()] = 0;
    return nwrfc::RFC_OK;
}

RFC_RC GetChars(const FieldRef& field, nwrfc::SAP_UC* buffer, unsigned length, Failure& failure) {
    const Slot& slot = *field.slot;
    if (IsCharacterType(slot.type)) {
        const unsigned chars = Chars(slot);
        if (length < chars)
            return Refuse(field, nwrfc::RFC_BUFFER_TOO_SMALL,
                          std::to_string(chars) + " characters, buffer of " +
                              std::to_string(length),
                          failure);
        std::memcpy(buffer, field.data, size_t{chars} * 2);
        std::fill(buffer + chars, buffer + length, u' ');
        return nwrfc::RFC_OK;
    }
    std::u16string text;
    const RFC_RC rc = GetText(field, text, failure);
    if (rc != nwrfc::RFC_OK) return rc;
    if (length < text.size())
        return Refuse(field, nwrfc::RFC_BUFFER_TOO_SMALL,
                      std::to_string(text.size()) + " characters, buffer of " +
                          std::to_string(length),
                      failure);
    std::memcpy(buffer, text.data(), text.size() * 2);
    std::fill(buffer + text.size(), buffer + length, u' ');
    return nwrfc::RFC_OK;
}

RFC_RC SetChars(const FieldRef& field, const nwrfc::SAP_UC* value, unsigned length,
                Failure& failure) {
    if (value == nullptr && length > 0) {
        failure = InvalidParameter("field " + Utf8(field.name) + ": no value given");
        return failure.code;
    }
    const std::u16string_view text(value == nullptr ? u"" : value, length);
    if (field.slot->type == nwrfc::RFCTYPE_CHAR && text.size() <= Chars(*field.slot)) {
        PutChars(field.data, text, Chars(*field.slot), u' ');
        return nwrfc::RFC_OK;
    }
    return SetText(field, text, failure);
}

RFC_RC GetBytes(const FieldRef& field, uint8_t* buffer, unsigned length, Failure& failure) {
    const Slot& slot = *field.slot;
    if (slot.type == nwrfc::RFCTYPE_STRING || slot.type == nwrfc::RFCTYPE_XSTRING ||
        slot.type == nwrfc::RFCTYPE_TABLE)
        return NotConvertible(field, "bytes", failure);
    if (length < slot.ucLength)
        return Refuse(field, nwrfc::RFC_BUFFER_TOO_SMALL,
                      std::to_string(slot.ucLength) + " bytes, buffer of " +
                          std::to_string(length),
                      failure);
    std::memcpy(buffer, field.data, slot.ucLength);
    if (IsCharacterType(slot.type)) {
        for (unsigned i = slot.ucLength; i + 1 < length; i += 2) buffer[i] = ' ', buffer[i + 1] = 0;
        if ((length - slot.ucLength) % 2 != 0) buffer[length - 1] = 0;
    } else {
        std::memset(buffer + slot.ucLength, 0, length - slot.ucLength);
    }
    return nwrfc::RFC_OK;
}

RFC_RC SetBytes(const FieldRef& field, const uint8_t* value, unsigned length, Failure& failure) {
    const Slot& slot = *field.slot;
    if (value == nullptr && length > 0) {
        failure = InvalidParameter("field " + Utf8(field.name) + ": no value given");
        return failure.code;
    }
    switch (slot.type) {
        case nwrfc::RFCTYPE_BYTE:
            if (length > slot.ucLength)
                return Refuse(field, nwrfc::RFC_BUFFER_TOO_SMALL,
                              std::to_string(length) + " bytes do not fit in " +
                                  std::to_string(slot.ucLength),
                              failure);
            std::memcpy(field.data, value, length);
            std::memset(field.data + length, 0, slot.ucLength - length);
            return nwrfc::RFC_OK;
        case nwrfc::RFCTYPE_CHAR:
        case nwrfc::RFCTYPE_NUM:
        case nwrfc::RFCTYPE_DATE:
        case nwrfc::RFCTYPE_TIME: {
            if (length % 2 != 0 || length > slot.ucLength)
                return Refuse(field, nwrfc::RFC_BUFFER_TOO_SMALL,
                              std::to_string(length) + " bytes are not UTF-16 of at most " +
                                  std::to_string(slot.ucLength),
                              failure);
            std::memcpy(field.data, value, length);
            for (unsigned i = length; i + 1 < slot.ucLength; i += 2)
                field.data[i] = ' ', field.data[i + 1] = 0;
            return nwrfc::RFC_OK;
        }
        case nwrfc::RFCTYPE_STRING:
        case nwrfc::RFCTYPE_XSTRING:
        case nwrfc::RFCTYPE_TABLE:
            return NotConvertible(field, "bytes", failure);
        default:
            if (length != slot.ucLength)
                return Refuse(field, nwrfc::RFC_INVALID_PARAMETER,
                              "takes exactly " + std::to_string(slot.ucLength) + " bytes, " +
                                  std::to_string(length) + " given",
                              failure);
            std::memcpy(field.data, value, length);
            return nwrfc::RFC_OK;
    }
}

RFC_RC GetInteger(const FieldRef& field, long long& value, Failure& failure) {
    const Slot& slot = *field.slot;
    switch (slot.type) {
        case nwrfc::RFCTYPE_INT:
            if (!SizedAs(field, 4)) break;
            value = Load<int32_t>(field.data);
            return nwrfc::RFC_OK;
        case nwrfc::RFCTYPE_INT2:
            if (!SizedAs(field, 2)) break;
            value = Load<int16_t>(field.data);
            return nwrfc::RFC_OK;
        case nwrfc::RFCTYPE_INT1:
            if (!SizedAs(field, 1)) break;
            value = field.data[0];
            return nwrfc::RFC_OK;
        case nwrfc::RFCTYPE_NUM:
        case nwrfc::RFCTYPE_BCD: {
            std::u16string text;
            const RFC_RC rc = GetText(field, text, failure);
            if (rc != nwrfc::RFC_OK) return rc;
            if (slot.decimals == 0 && ParseInteger(text, value)) return nwrfc::RFC_OK;
            return Refuse(field, nwrfc::RFC_CONVERSION_FAILURE,
                          "'" + Utf8(text) + "' is no integer in range", failure);
        }
        default:
            break;
    }
    return NotConvertible(field, "an integer", failure);
}

RFC_RC SetInteger(const FieldRef& field, long long value, Failure& failure) {
    const Slot& slot = *field.slot;
    auto outOfRange = [&](long long low, long long high) {
        if (value >= low && value <= high) return false;
        Refuse(field, nwrfc::RFC_CONVERSION_FAILURE,
               std::to_string(value) + " is outside " + std::to_string(low) + ".." +
                   std::to_string(high),
               failure);
        return true;
    };
    switch (slot.type) {
        case nwrfc::RFCTYPE_INT:
            if (!SizedAs(field, 4)) break;
            if (outOfRange(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()))
                return failure.code;
            Store(field.data, static_cast<int32_t>(value));
            return nwrfc::RFC_OK;
        case nwrfc::RFCTYPE_INT2:
            if (!SizedAs(field, 2)) break;
            if (outOfRange(std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()))
                return failure.code;
            Store(field.data, static_cast<int16_t>(value));
            return nwrfc::RFC_OK;
        case nwrfc::RFCTYPE_INT1:
            if (!SizedAs(field, 1)) break;
            if (outOfRange(0, 255)) return failure.code;
            field.data[0] = static_cast<uint8_t>(value);
            return nwrfc::RFC_OK;
        case nwrfc::RFCTYPE_FLOAT:
            return SetFloat(field, static_cast<double>(value), failure);
        case nwrfc::RFCTYPE_NUM:
            if (value < 0)
                return Refuse(field, nwrfc::RFC_CONVERSION_FAILURE,
                              "a NUM field holds no negative number", failure);
            [[fallthrough]];
        case nwrfc::RFCTYPE_CHAR:
        case nwrfc::RFCTYPE_BCD:
            return SetText(field, Ascii(std::to_string(value)), failure);
        default:
            break;
    }
    return NotConvertible(field, "an integer", failure);
}

RFC_RC GetFloat(const FieldRef& field, double& value, Failure& failure) {
    if (field.slot->type == nwrfc::RFCTYPE_FLOAT && SizedAs(field, 8)) {
        value = Load<double>(field.data);
        return nwrfc::RFC_OK;
    }
    if (field.slot->type == nwrfc::RFCTYPE_BCD) {
        std::u16string text;
        const RFC_RC rc = GetText(field, text, failure);
        if (rc != nwrfc::RFC_OK) return rc;
        if (ParseDouble(text, value)) return nwrfc::RFC_OK;
    }
    long long integer = 0;
    if (IsBinaryNumber(field.slot->type) && GetInteger(field, integer, failure) == nwrfc::RFC_OK) {
        value = static_cast<double>(integer);
        return nwrfc::RFC_OK;
    }
    return NotConvertible(field, "a float", failure);
}

RFC_RC SetFloat(const FieldRef& field, double value, Failure& failure) {
    const Slot& slot = *field.slot;
    if (!std::isfinite(value))
        return Refuse(field, nwrfc::RFC_CONVERSION_FAILURE, "the value is not finite", failure);
    if (slot.type == nwrfc::RFCTYPE_FLOAT && SizedAs(field, 8)) {
        Store(field.data, value);
        return nwrfc::RFC_OK;
    }
    if (slot.type == nwrfc::RFCTYPE_BCD) {
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%.*f", static_cast<int>(slot.decimals), value);
        return SetText(field, Ascii(buffer), failure);
    }
    if (IsBinaryNumber(slot.type)) {
        if (value != std::trunc(value) || std::fabs(value) > 9.2e18)
            return Refuse(field, nwrfc::RFC_CONVERSION_FAILURE,
                          "the value is no integer in range", failure);
        return SetInteger(field, static_cast<long long>(value), failure);
    }
    return NotConvertible(field, "a float", failure);
}

}  // namespace nwsim
