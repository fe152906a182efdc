#include "rfc/FieldCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/FixedText.h"
#include "platform/Format.h"
#include "platform/TextCodec.h"

namespace rfcfield {
namespace {

bool Fits(size_t bufferSize, const Field& f) {
    return f.offset <= bufferSize && f.length <= bufferSize - f.offset;
}

// Width in bytes a binary type needs, 0 for the others.
size_t BinaryWidth(RFC_TYPEHANDLE type) {
    switch (type) {
        case RFCTYPE_FLOAT:
            return 8;
        case RFCTYPE_INT:
            return 4;
        case RFCTYPE_INT2:
            return 2;
        case RFCTYPE_INT1:
            return 1;
        default:
            return 0;
    }
}

void StoreText(unsigned char* at, size_t length, std::u16string_view text) {
    const size_t characters = length / 2;
    std::vector<char16_t> field(characters, u' ');
    std::copy_n(text.data(), std::min(characters, text.size()), field.data());
    std::memcpy(at, field.data(), characters * 2);
}

std::u16string LoadText(const unsigned char* at, size_t length) {
    std::u16string text(length / 2, u'\0');
    std::memcpy(text.data(), at, text.size() * 2);
    const size_t zero = text.find(u'\0');  // "%.*s" stops at a terminator
    if (zero != std::u16string::npos) text.resize(zero);
    return platform::Trim(text);
}

template <typename T>
void StoreBinary(unsigned char* at, T value) {
    std::memcpy(at, &value, sizeof value);
}

template <typename T>
T LoadBinary(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// The text a number is stored as in character, BCD and byte fields.
std::u16string NumberText(const Source& v) {
    switch (v.kind) {
        case Source::Kind::Double:
        case Source::Kind::Float:
            return platform::Format(u"%f", v.number);
        case Source::Kind::Int64:
            return platform::Format(u"%I64d", v.int64);
        case Source::Kind::UInt32:
            return platform::Format(u"%u", v.uint32);
        case Source::Kind::Int32:
            return platform::Format(u"%d", v.int32);
        case Source::Kind::Bytes:
            return BytesToHex(v.bytes, v.count);
        case Source::Kind::Text:
            break;
    }
    return std::u16string(v.text);
}

bool IsNumber(const Source& v) {
    return v.kind != Source::Kind::Text && v.kind != Source::Kind::Bytes;
}

double NumberValue(const Source& v) {
    switch (v.kind) {
        case Source::Kind::Double:
        case Source::Kind::Float:
            return v.number;
        case Source::Kind::Int64:
            return static_cast<double>(v.int64);
        case Source::Kind::UInt32:
            return v.uint32;
        case Source::Kind::Int32:
            return v.int32;
        default:
            return 0.0;
    }
}

// The integer an integer field receives; limits give the range, outside of
// which 0 is stored.
int64_t IntegerFor(const Source& v, int64_t low, int64_t high, bool rangeForAllSources) {
    if (!IsNumber(v)) {
        const int64_t value = TextToInt32(NumberText(v));
        return value < low || value > high ? 0 : value;
    }
    if (v.kind == Source::Kind::Double || v.kind == Source::Kind::Float) {
        if (!(v.number >= static_cast<double>(low) && v.number <= static_cast<double>(high)))
            return 0;
        return static_cast<int64_t>(v.number);
    }
    int64_t value = v.kind == Source::Kind::Int64    ? v.int64
                    : v.kind == Source::Kind::UInt32 ? static_cast<int64_t>(v.uint32)
                                                     : v.int32;
    if (rangeForAllSources) return value < low || value > high ? 0 : value;
    return static_cast<int32_t>(value);  // a 4-byte field keeps the low 32 bits
}

std::u16string BcdText(const unsigned char* at, const Field& f) {
    RFC_CHAR text[33] = {};
    if (RfcConvertBcdToCharU(at, static_cast<unsigned int>(f.length), f.decimals, text, 33) !=
        RFC_OK) {
        return {};
    }
    std::u16string s = platform::FieldText(text, 33);
    if (!s.empty() && s.back() == u'-') {
        s = platform::TrimLeft(s);
        s.pop_back();
        s.insert(s.begin(), u'-');
    }
    return platform::Trim(s);
}

// Reads a number from a field's string form; a character field short
// enough is read on the stack, without building a string.
template <typename Parse>
auto FromFieldText(const unsigned char* buffer, size_t bufferSize, const Field& f, Parse parse) {
    constexpr size_t kUnits = 64;
    if (IsCharacterLike(f.type) && f.length / 2 <= kUnits) {
        char16_t text[kUnits];
        GetFieldText(buffer, bufferSize, f, text, kUnits);
        return parse(std::u16string_view(text, std::char_traits<char16_t>::length(text)));
    }
    return parse(GetFieldText(buffer, bufferSize, f));
}

}  // namespace

Source Source::Text(std::u16string_view text) {
    Source s;
    s.text = text;
    return s;
}

Source Source::Double(double value) {
    Source s;
    s.kind = Kind::Double;
    s.number = value;
    return s;
}

Source Source::Float(float value) {
    Source s = Double(value);
    s.kind = Kind::Float;
    return s;
}

Source Source::Int64(int64_t value) {
    Source s;
    s.kind = Kind::Int64;
    s.int64 = value;
    return s;
}

Source Source::UInt32(uint32_t value) {
    Source s;
    s.kind = Kind::UInt32;
    s.uint32 = value;
    return s;
}

Source Source::Int32(int32_t value) {
    Source s;
    s.kind = Kind::Int32;
    s.int32 = value;
    return s;
}

Source Source::Bytes(const void* bytes, size_t count) {
    Source s;
    s.kind = Kind::Bytes;
    s.bytes = static_cast<const unsigned char*>(bytes);
    s.count = bytes == nullptr ? 0 : count;
    return s;
}

bool IsCharacterLike(RFC_TYPEHANDLE type) {
    return type == RFCTYPE_CHAR || type == RFCTYPE_DATE || type == RFCTYPE_TIME ||
           type == RFCTYPE_NUM;
}

bool IsStructured(RFC_TYPEHANDLE type) {
    return type == RFCTYPE_ITAB || type == RFCTYPE_STRUCTURE || type == RFCTYPE_DEEP_STRUCTURE;
}

bool PutFieldValue(unsigned char* buffer, size_t bufferSize, const Field& f, const Source& v) {
    if (buffer == nullptr || !Fits(bufferSize, f) || f.length < BinaryWidth(f.type)) return true;
    unsigned char* at = buffer + f.offset;
    if (IsCharacterLike(f.type)) {
        StoreText(at, f.length, NumberText(v));
        return true;
    }
    switch (f.type) {
        case RFCTYPE_BCD: {
            const std::u16string text = NumberText(v);
            if (RfcConvertCharToBcdU(text.c_str(), static_cast<unsigned int>(text.size()),
                                     f.decimals, at, static_cast<unsigned int>(f.length)) == RFC_OK)
                return true;
            // Never leave the previous value for the next send; the library's
            // last error says why for the caller to report.
            std::fill_n(at, f.length, 0);
            if (f.length > 0) at[f.length - 1] = 0x0C;  // packed zero
            return false;
        }
        case RFCTYPE_BYTE:
            if (v.kind == Source::Kind::Bytes) {
                if (v.bytes != nullptr) std::memcpy(at, v.bytes, std::min(f.length, v.count));
            } else {
                HexToBytes(NumberText(v), f.length, at);
            }
            break;
        case RFCTYPE_FLOAT:
            StoreBinary(at, IsNumber(v) ? NumberValue(v) : TextToDouble(NumberText(v)));
            break;
        case RFCTYPE_INT:
            StoreBinary(
                at, static_cast<int32_t>(IntegerFor(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max(), false)));
            break;
        case RFCTYPE_INT2:
            StoreBinary(at, static_cast<int16_t>(IntegerFor(v, -32768, 32767, true)));
            break;
        case RFCTYPE_INT1:
            StoreBinary(at, static_cast<uint8_t>(IntegerFor(v, 0, 255, true)));
            break;
        default:
            break;
    }
    return true;
}

std::u16string GetFieldText(const unsigned char* buffer, size_t bufferSize, const Field& f) {
    if (buffer == nullptr || !Fits(bufferSize, f) || f.length < BinaryWidth(f.type)) return {};
    const unsigned char* at = buffer + f.offset;
    if (IsCharacterLike(f.type)) return LoadText(at, f.length);
    switch (f.type) {
        case RFCTYPE_BCD:
            return BcdText(at, f);
        case RFCTYPE_BYTE:
            return platform::Trim(BytesToHex(at, f.length));
        case RFCTYPE_FLOAT:
            return platform::Trim(platform::Format(u"%f", LoadBinary<double>(at)));
        case RFCTYPE_INT:
            return platform::Format(u"%d", LoadBinary<int32_t>(at));
        case RFCTYPE_INT2:
            return platform::Format(u"%hd", LoadBinary<int16_t>(at));
        case RFCTYPE_INT1:
            return platform::Format(u"%hu", LoadBinary<uint8_t>(at));
        default:
            return {};
    }
}

void GetFieldText(const unsigned char* buffer, size_t bufferSize, const Field& f, char16_t* out,
                  size_t units) {
    if (out == nullptr) return;
    std::fill_n(out, units, u'\0');
    if (!IsCharacterLike(f.type)) {
        const std::u16string text = GetFieldText(buffer, bufferSize, f);
        std::copy_n(text.data(), std::min(units, text.size()), out);
        return;
    }
    if (buffer == nullptr || !Fits(bufferSize, f)) return;
    // As LoadText: up to a terminator, trimmed on both sides, read unit by
    // unit where the record has it (fields may lie at odd offsets).
    const unsigned char* at = buffer + f.offset;
    const size_t characters = f.length / 2;
    const auto unit = [at](size_t i) {
        char16_t c;
        std::memcpy(&c, at + 2 * i, 2);
        return c;
    };
    const auto blank = [](char16_t c) { return c <= u' ' && platform::IsWhiteSpace(c); };
    size_t end = 0;
    while (end < characters && unit(end) != u'\0') ++end;
    while (end > 0 && blank(unit(end - 1))) --end;
    size_t begin = 0;
    while (begin < end && blank(unit(begin))) ++begin;
    const size_t n = std::min(units, end - begin);
    for (size_t i = 0; i < n; ++i) out[i] = unit(begin + i);
}

double GetFieldDouble(const unsigned char* buffer, size_t bufferSize, const Field& f) {
    if (buffer == nullptr || !Fits(bufferSize, f) || f.length < BinaryWidth(f.type)) return 0.0;
    const unsigned char* at = buffer + f.offset;
    switch (f.type) {
        case RFCTYPE_FLOAT:
            return LoadBinary<double>(at);
        case RFCTYPE_INT:
            return LoadBinary<int32_t>(at);
        case RFCTYPE_INT2:
            return LoadBinary<int16_t>(at);
        case RFCTYPE_INT1:
            return LoadBinary<uint8_t>(at);
        default:
            return FromFieldText(buffer, bufferSize, f, TextToDouble);
    }
}

int64_t GetFieldInt64(const unsigned char* buffer, size_t bufferSize, const Field& f) {
    if (buffer == nullptr || !Fits(bufferSize, f) || f.length < BinaryWidth(f.type)) return 0;
    const unsigned char* at = buffer + f.offset;
    switch (f.type) {
        case RFCTYPE_FLOAT: {
            const double d = LoadBinary<double>(at);
            return std::isfinite(d) && std::fabs(d) < 9.2e18 ? static_cast<int64_t>(d) : 0;
        }
        case RFCTYPE_INT:
            return LoadBinary<int32_t>(at);
        case RFCTYPE_INT2:
            return LoadBinary<int16_t>(at);
        case RFCTYPE_INT1:
            return LoadBinary<uint8_t>(at);
        default:
            return FromFieldText(buffer, bufferSize, f, TextToInt64);
    }
}

int32_t GetFieldInt32(const unsigned char* buffer, size_t bufferSize, const Field& f) {
    if (IsCharacterLike(f.type) || f.type == RFCTYPE_BCD || f.type == RFCTYPE_BYTE) {
        return FromFieldText(buffer, bufferSize, f, TextToInt32);
    }
    const int64_t v = GetFieldInt64(buffer, bufferSize, f);
    return static_cast<int32_t>(v);
}

void GetFieldBytes(const unsigned char* buffer, size_t bufferSize, const Field& f,
                   unsigned char* out, size_t n) {
    if (out == nullptr) return;
    if (buffer == nullptr || !Fits(bufferSize, f) || f.length < BinaryWidth(f.type)) return;
    const unsigned char* at = buffer + f.offset;
    std::u16string text;
    switch (f.type) {
        case RFCTYPE_BYTE:
            std::memcpy(out, at, std::min(f.length, n));
            return;
        case RFCTYPE_FLOAT:
            text = platform::Format(u"%.0f", LoadBinary<double>(at));
            break;
        case RFCTYPE_INT:
        case RFCTYPE_INT2:
        case RFCTYPE_INT1:
        case RFCTYPE_BCD:
            text = GetFieldText(buffer, bufferSize, f);
            break;
        default:
            if (!IsCharacterLike(f.type)) return;
            text = GetFieldText(buffer, bufferSize, f);
            break;
    }
    HexToBytes(text, n, out);
}

char16_t AbapTypeLetter(RFC_TYPEHANDLE type) {
    switch (type) {
        case RFCTYPE_CHAR:
            return u'C';
        case RFCTYPE_DATE:
            return u'D';
        case RFCTYPE_BCD:
            return u'P';
        case RFCTYPE_TIME:
            return u'T';
        case RFCTYPE_BYTE:
            return u'X';
        case RFCTYPE_NUM:
            return u'N';
        case RFCTYPE_FLOAT:
            return u'F';
        case RFCTYPE_INT:
            return u'I';
        case RFCTYPE_INT2:
            return u's';
        case RFCTYPE_INT1:
            return u'b';
        default:
            return 0;
    }
}

namespace {

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

}  // namespace

void HexToBytes(std::u16string_view text, size_t n, unsigned char* dest) {
    if (dest == nullptr) return;
    std::u16string work(text.substr(0, 2047));
    for (auto& c : work) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    if (work.size() < 2 * n) work.resize(2 * n, u'0');
    for (size_t i = 0; i < n; ++i) {
        const int high = HexDigit(work[2 * i]);
        if (high < 0) continue;  // the pair is not read: the byte stays
        const int low = HexDigit(work[2 * i + 1]);
        dest[i] = static_cast<unsigned char>(low < 0 ? high : high * 16 + low);
    }
}

std::u16string BytesToHex(const unsigned char* bytes, size_t n) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string out;
    out.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        out.push_back(kDigits[bytes[i] >> 4]);
        out.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return out;
}

namespace {

template <typename T>
T TextToInteger(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && platform::IsWhiteSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    using U = std::make_unsigned_t<T>;
    const U limit = negative ? static_cast<U>(std::numeric_limits<T>::max()) + 1
                             : static_cast<U>(std::numeric_limits<T>::max());
    U value = 0;
    bool saturated = false;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const U digit = static_cast<U>(text[i] - u'0');
        if (saturated || value > (limit - digit) / 10) {
            saturated = true;
            continue;
        }
        value = value * 10 + digit;
    }
    if (saturated) return negative ? std::numeric_limits<T>::min() : std::numeric_limits<T>::max();
    return negative ? static_cast<T>(0 - value) : static_cast<T>(value);
}

}  // namespace

int32_t TextToInt32(std::u16string_view text) {
    return TextToInteger<int32_t>(text);
}
int64_t TextToInt64(std::u16string_view text) {
    return TextToInteger<int64_t>(text);
}

double TextToDouble(std::u16string_view text) {
    const std::string narrow = platform::ToUtf8(text.substr(0, 512));
    return std::strtod(narrow.c_str(), nullptr);
}

}  // namespace rfcfield
