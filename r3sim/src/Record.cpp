#include "r3sim/Record.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "Text.h"
#include "platform/TextCodec.h"
#include "wire/Bcd.h"

namespace r3sim {
namespace {

template <typename T>
void StoreLittleEndian(T value, uint8_t* out) {
    std::memcpy(out, &value,
                sizeof value);  // the wire is little endian, as is every host we build on
}

int64_t ParseInteger(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string Digits(std::string_view text, unsigned chars) {
    std::string digits;
    for (char c : text)
        if (c >= '0' && c <= '9') digits.push_back(c);
    if (digits.size() > chars) digits.erase(0, digits.size() - chars);
    return std::string(chars - digits.size(), '0') + digits;
}

}  // namespace

void StoreValue(const FieldSpec& spec, CharWidth width, std::string_view text, uint8_t* out,
                unsigned length) {
    const unsigned chars = length / kBytesPerChar[width];
    switch (spec.type) {
        case 'C':
        case 'D':
        case 'T':
            EncodeChars(text, chars, width, out);
            return;
        case 'N':
            EncodeChars(Digits(text, chars), chars, width, out);
            return;
        case 'P': {
            std::string error;
            if (!rfclib::TextToBcd(platform::FromUtf8(text), static_cast<int>(spec.decimals),
                                   {out, length}, error))
                throw DictionaryError("field " + spec.name + ": " + error);
            return;
        }
        case 'X': {
            std::memset(out, 0, length);
            for (size_t i = 0; i + 1 < text.size() && i / 2 < length; i += 2) {
                unsigned byte = 0;
                std::from_chars(text.data() + i, text.data() + i + 2, byte, 16);
                out[i / 2] = static_cast<uint8_t>(byte);
            }
            return;
        }
        case 'F': {
            double value = 0;
            std::from_chars(text.data(), text.data() + text.size(), value);
            StoreLittleEndian(value, out);
            return;
        }
        case 'I':
            StoreLittleEndian(static_cast<int32_t>(ParseInteger(text)), out);
            return;
        case 's':
            StoreLittleEndian(static_cast<int16_t>(ParseInteger(text)), out);
            return;
        case 'b':
            out[0] = static_cast<uint8_t>(ParseInteger(text));
            return;
        default:
            throw DictionaryError("field " + spec.name + " has an unknown type");
    }
}

Record::Record(const StructureDef& structure, CharWidth width)
    : structure_(structure), width_(width), bytes_(structure.length[width], 0) {
    for (const FieldLayout& field : structure_.fields) SetInitial(field);
}

void Record::SetInitial(const FieldLayout& field) {
    const char type = field.spec.type;
    if (type == 'C' || type == 'N' || type == 'D' || type == 'T')
        StoreValue(field.spec, width_, type == 'C' ? "" : std::string(field.spec.length, '0'),
                   At(field), field.length[width_]);
    else if (type == 'P')
        StoreValue(field.spec, width_, "0", At(field), field.length[width_]);
}

const FieldLayout& Record::Field(std::string_view name) const {
    const FieldLayout* field = structure_.Find(name);
    if (field == nullptr)
        throw DictionaryError("structure " + structure_.name + " has no field " +
                              std::string(name));
    return *field;
}

Record& Record::SetText(std::string_view name, std::string_view text) {
    return SetText(Field(name), text);
}

Record& Record::SetText(const FieldLayout& field, std::string_view text) {
    StoreValue(field.spec, width_, text, At(field), field.length[width_]);
    return *this;
}

Record& Record::SetInt(std::string_view name, int64_t value) {
    return SetInt(Field(name), value);
}

Record& Record::SetInt(const FieldLayout& field, int64_t value) {
    // The binary types as StoreValue stores the decimal text of value.
    switch (field.spec.type) {
        case 'I':
            StoreLittleEndian(static_cast<int32_t>(value), At(field));
            return *this;
        case 's':
            StoreLittleEndian(static_cast<int16_t>(value), At(field));
            return *this;
        case 'b':
            At(field)[0] = static_cast<uint8_t>(value);
            return *this;
        default:
            return SetText(field, std::to_string(value));
    }
}

Record& Record::SetFloat(std::string_view name, double value) {
    const FieldLayout& field = Field(name);
    if (field.spec.type == 'F') {
        StoreLittleEndian(value, At(field));
        return *this;
    }
    if (field.spec.type == 'P' || field.spec.type == 'C') {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", static_cast<int>(field.spec.decimals), value);
        return SetText(name, text);
    }
    return SetInt(name, std::llround(value));
}

Record& Record::SetBytes(std::string_view name, std::span<const uint8_t> bytes) {
    return SetBytes(Field(name), bytes);
}

Record& Record::SetBytes(const FieldLayout& field, std::span<const uint8_t> bytes) {
    const unsigned length = field.length[width_];
    std::memset(At(field), 0, length);
    std::memcpy(At(field), bytes.data(), std::min<size_t>(length, bytes.size()));
    return *this;
}

std::string Record::GetText(std::string_view name) const {
    const FieldLayout& field = Field(name);
    const uint8_t* at = bytes_.data() + field.offset[width_];
    const unsigned length = field.length[width_];
    switch (field.spec.type) {
        case 'I': {
            int32_t v;
            std::memcpy(&v, at, 4);
            return std::to_string(v);
        }
        case 's': {
            int16_t v;
            std::memcpy(&v, at, 2);
            return std::to_string(v);
        }
        case 'b':
            return std::to_string(at[0]);
        case 'F': {
            double v;
            std::memcpy(&v, at, 8);
            return std::to_string(v);
        }
        case 'P': {
            std::u16string text;
            std::string error;
            if (!rfclib::BcdToText({at, length}, static_cast<int>(field.spec.decimals), text,
                                   error))
                return {};
            return platform::ToUtf8(text);
        }
        case 'X': {
            static constexpr char kHex[] = "0123456789ABCDEF";
            std::string hex;
            for (unsigned i = 0; i < length; ++i) {
                hex.push_back(kHex[at[i] >> 4]);
                hex.push_back(kHex[at[i] & 15]);
            }
            return hex;
        }
        default:
            return DecodeChars({at, length}, width_);
    }
}

}  // namespace r3sim
