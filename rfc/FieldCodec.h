// Conversions between program values and R/3 fields in a record buffer, by
// RFC type: the text, number and byte-string forms that the call objects set
// and read. Every access is checked against the buffer's size: a field that
// does not fit stores nothing and reads as the empty value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "rfc32u.h"

namespace rfcfield {

// One field of a record buffer: type, length and offset in bytes (UTF-16
// layout) and decimals.
struct Field {
    RFC_TYPEHANDLE type = RFCTYPE_CHAR;
    size_t length = 0;
    size_t offset = 0;
    int decimals = 0;
};

// Where a field lies in the rows of a table: resolved once per call
// (CBaseRfc::LookupTableField), then read from each row with the Get*
// functions below and recordLength as the buffer size.
struct RowField {
    bool found = false;
    size_t recordLength = 0;
    Field place;
};

// A value handed to PutFieldValue.
struct Source {
    enum class Kind { Text, Double, Float, Int64, UInt32, Int32, Bytes } kind = Kind::Text;
    std::u16string_view text;
    double number = 0.0;  // Double and Float
    int64_t int64 = 0;
    uint32_t uint32 = 0;
    int32_t int32 = 0;
    const unsigned char* bytes = nullptr;
    size_t count = 0;

    static Source Text(std::u16string_view text);
    static Source Double(double value);
    static Source Float(float value);
    static Source Int64(int64_t value);
    static Source UInt32(uint32_t value);
    static Source Int32(int32_t value);
    // A null pointer gives an empty byte string.
    static Source Bytes(const void* bytes, size_t count);
};

bool IsCharacterLike(RFC_TYPEHANDLE type);
bool IsStructured(RFC_TYPEHANDLE type);

// False when a packed-number field refuses the value's text: the field is
// then packed zero, never what it held before, and the library's last error
// says why.
bool PutFieldValue(unsigned char* buffer, size_t bufferSize, const Field& field,
                   const Source& value);

// The string form of a field (trimmed); empty for tables and unknown types.
std::u16string GetFieldText(const unsigned char* buffer, size_t bufferSize, const Field& field);
// The string form cut to units, into out (zero-filled first, no terminator
// added); character fields are read without building a string.
void GetFieldText(const unsigned char* buffer, size_t bufferSize, const Field& field, char16_t* out,
                  size_t units);
double GetFieldDouble(const unsigned char* buffer, size_t bufferSize, const Field& field);
int64_t GetFieldInt64(const unsigned char* buffer, size_t bufferSize, const Field& field);
int32_t GetFieldInt32(const unsigned char* buffer, size_t bufferSize, const Field& field);
// Byte string fields copy min(length, n) bytes; other fields are read as
// hexadecimal text into n bytes.
void GetFieldBytes(const unsigned char* buffer, size_t bufferSize, const Field& field,
                   unsigned char* out, size_t n);

// The letter of an RFC type: C D P T X N F I s b, or 0.
char16_t AbapTypeLetter(RFC_TYPEHANDLE type);
// Upper-cases the text, pads it with '0' to 2n characters and reads n bytes
// from its character pairs; a pair that is not hexadecimal leaves its byte.
void HexToBytes(std::u16string_view text, size_t n, unsigned char* dest);
// Two upper-case hex digits per byte.
std::u16string BytesToHex(const unsigned char* bytes, size_t n);

// The C library's reading of numbers in text: leading blanks, a sign,
// digits, saturating at the type's limits; 0 when no digit is found.
int32_t TextToInt32(std::u16string_view text);
int64_t TextToInt64(std::u16string_view text);
double TextToDouble(std::u16string_view text);

}  // namespace rfcfield
