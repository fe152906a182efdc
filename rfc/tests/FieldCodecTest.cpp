#include "rfc/FieldCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace rfcfield {
namespace {

Source Text(std::u16string_view t) {
    return Source::Text(t);
}
Source Number(double d) {
    return Source::Double(d);
}
Source Signed(int32_t v) {
    return Source::Int32(v);
}
Source Bytes(const std::vector<unsigned char>& b) {
    return Source::Bytes(b.data(), b.size());
}

std::u16string Units(const std::vector<unsigned char>& buffer, size_t offset, size_t n) {
    std::u16string out(n, u'\0');
    std::memcpy(out.data(), buffer.data() + offset, n * 2);
    return out;
}

TEST(FieldCodecTest, CharacterFieldsArePaddedWithBlanksOrCut) {
    std::vector<unsigned char> buffer(16, 0xEE);
    PutFieldValue(buffer.data(), buffer.size(), Field{RFCTYPE_CHAR, 2, 0, 0}, Text(u"S"));
    EXPECT_EQ(Units(buffer, 0, 1), u"S");
    PutFieldValue(buffer.data(), buffer.size(), Field{RFCTYPE_CHAR, 8, 0, 0}, Text(u"S"));
    EXPECT_EQ(Units(buffer, 0, 4), u"S   ");
    PutFieldValue(buffer.data(), buffer.size(), Field{RFCTYPE_NUM, 8, 8, 0}, Text(u"123456"));
    EXPECT_EQ(Units(buffer, 8, 4), u"1234");
    EXPECT_EQ(GetFieldText(buffer.data(), buffer.size(), Field{RFCTYPE_CHAR, 8, 0, 0}), u"S");
    // Numbers and bytes are stored as their text.
    PutFieldValue(buffer.data(), buffer.size(), Field{RFCTYPE_CHAR, 16, 0, 0}, Number(1.5));
    EXPECT_EQ(Units(buffer, 0, 8), u"1.500000");
    PutFieldValue(buffer.data(), buffer.size(), Field{RFCTYPE_CHAR, 16, 0, 0}, Signed(-7));
    EXPECT_EQ(GetFieldText(buffer.data(), buffer.size(), Field{RFCTYPE_CHAR, 16, 0, 0}), u"-7");
    PutFieldValue(buffer.data(), buffer.size(), Field{RFCTYPE_CHAR, 16, 0, 0}, Bytes({0xAB, 0x01}));
    EXPECT_EQ(GetFieldText(buffer.data(), buffer.size(), Field{RFCTYPE_CHAR, 16, 0, 0}), u"AB01");
    EXPECT_EQ(GetFieldInt32(buffer.data(), buffer.size(), Field{RFCTYPE_CHAR, 16, 0, 0}), 0);
    PutFieldValue(buffer.data(), buffer.size(), Field{RFCTYPE_CHAR, 16, 0, 0}, Text(u" 42 "));
    EXPECT_EQ(GetFieldInt32(buffer.data(), buffer.size(), Field{RFCTYPE_CHAR, 16, 0, 0}), 42);
    EXPECT_DOUBLE_EQ(GetFieldDouble(buffer.data(), buffer.size(), Field{RFCTYPE_CHAR, 16, 0, 0}),
                     42);
}

TEST(FieldCodecTest, IntegerFieldsKeepTheirRanges) {
    std::vector<unsigned char> b(8, 0);
    const Field int1{RFCTYPE_INT1, 1, 0, 0}, int2{RFCTYPE_INT2, 2, 0, 0},
        int4{RFCTYPE_INT, 4, 0, 0};
    PutFieldValue(b.data(), b.size(), int1, Text(u"300"));
    EXPECT_EQ(b[0], 0);
    PutFieldValue(b.data(), b.size(), int1, Text(u"255"));
    EXPECT_EQ(b[0], 255);
    EXPECT_EQ(GetFieldText(b.data(), b.size(), int1), u"255");
    PutFieldValue(b.data(), b.size(), int1, Signed(-1));
    EXPECT_EQ(b[0], 0);
    PutFieldValue(b.data(), b.size(), int2, Signed(40000));
    EXPECT_EQ(GetFieldInt32(b.data(), b.size(), int2), 0);
    PutFieldValue(b.data(), b.size(), int2, Text(u"-32768"));
    EXPECT_EQ(GetFieldText(b.data(), b.size(), int2), u"-32768");
    PutFieldValue(b.data(), b.size(), int4, Number(3e9));
    EXPECT_EQ(GetFieldInt32(b.data(), b.size(), int4), 0);
    PutFieldValue(b.data(), b.size(), int4, Number(-2147483648.0));
    EXPECT_EQ(GetFieldInt64(b.data(), b.size(), int4), -2147483648LL);
    PutFieldValue(b.data(), b.size(), int4, Text(u"99999999999"));  // saturates as the C library
    EXPECT_EQ(GetFieldInt32(b.data(), b.size(), int4), 2147483647);
}

TEST(FieldCodecTest, FloatsAndBcd) {
    std::vector<unsigned char> b(16, 0);
    const Field f{RFCTYPE_FLOAT, 8, 8, 0};
    PutFieldValue(b.data(), b.size(), f, Text(u"2.25"));
    EXPECT_DOUBLE_EQ(GetFieldDouble(b.data(), b.size(), f), 2.25);
    EXPECT_EQ(GetFieldText(b.data(), b.size(), f), u"2.250000");
    unsigned char hex[2] = {};
    GetFieldBytes(b.data(), b.size(), f, hex, 2);  // "2" read as hex: 20 00
    EXPECT_EQ(hex[0], 0x20);

    const Field bcd{RFCTYPE_BCD, 4, 0, 2};
    PutFieldValue(b.data(), b.size(), bcd, Text(u"-12.50"));
    EXPECT_EQ(GetFieldText(b.data(), b.size(), bcd), u"-12.50");
    EXPECT_DOUBLE_EQ(GetFieldDouble(b.data(), b.size(), bcd), -12.5);
    PutFieldValue(b.data(), b.size(), bcd, Number(7.0));
    EXPECT_EQ(GetFieldText(b.data(), b.size(), bcd), u"7.00");
    b[0] = 0xFF;  // invalid nibbles read as the empty value
    b[3] = 0xFF;
    EXPECT_EQ(GetFieldText(b.data(), b.size(), bcd), u"");
}

TEST(FieldCodecTest, ByteStrings) {
    std::vector<unsigned char> b(4, 0);
    const Field x{RFCTYPE_BYTE, 3, 1, 0};
    PutFieldValue(b.data(), b.size(), x, Text(u"a1ff"));
    EXPECT_EQ(b[1], 0xA1);
    EXPECT_EQ(b[2], 0xFF);
    EXPECT_EQ(b[3], 0x00);  // padded with '0'
    EXPECT_EQ(GetFieldText(b.data(), b.size(), x), u"A1FF00");
    PutFieldValue(b.data(), b.size(), x, Bytes({1, 2, 3, 4, 5}));
    EXPECT_EQ(b[3], 3);
    unsigned char out[5] = {9, 9, 9, 9, 9};
    GetFieldBytes(b.data(), b.size(), x, out, 5);
    EXPECT_EQ(out[2], 3);
    EXPECT_EQ(out[3], 9);  // min(length, n) bytes only

    unsigned char dest[2] = {0xEE, 0xEE};
    HexToBytes(u"a", 2, dest);
    EXPECT_EQ(dest[0], 0xA0);
    EXPECT_EQ(dest[1], 0x00);
    EXPECT_EQ(BytesToHex(dest, 2), u"A000");
    EXPECT_EQ(BytesToHex(dest, 0), u"");
}

TEST(FieldCodecTest, FieldsOutsideTheBufferAreNeverTouched) {
    std::vector<unsigned char> b(4, 0x11);
    PutFieldValue(b.data(), b.size(), Field{RFCTYPE_CHAR, 8, 0, 0}, Text(u"abcd"));
    PutFieldValue(b.data(), b.size(), Field{RFCTYPE_INT, 4, 2, 0}, Signed(5));
    PutFieldValue(b.data(), b.size(), Field{RFCTYPE_FLOAT, 2, 0, 0}, Number(1));
    EXPECT_EQ(b, std::vector<unsigned char>(4, 0x11));
    EXPECT_EQ(GetFieldText(b.data(), b.size(), Field{RFCTYPE_CHAR, 8, 0, 0}), u"");
    EXPECT_EQ(GetFieldInt32(b.data(), b.size(), Field{RFCTYPE_INT, 4, SIZE_MAX - 1, 0}), 0);
    EXPECT_EQ(GetFieldText(b.data(), b.size(), Field{RFCTYPE_ITAB, 4, 0, 0}), u"");
    EXPECT_EQ(AbapTypeLetter(RFCTYPE_INT2), u's');
    EXPECT_EQ(AbapTypeLetter(RFCTYPE_ITAB), 0);
}

}  // namespace
}  // namespace rfcfield
