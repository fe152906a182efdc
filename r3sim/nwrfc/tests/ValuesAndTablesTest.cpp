// Field conversions and tables on containers of a type described in code,
// with fields at odd offsets, as the partner's rows describe them.
#include <cstring>

#include "Containers.h"
#include "SdkSystem.h"

namespace nwsimtest {
namespace {

namespace sdk = nwrfc;
using sdk::RFC_ERROR_INFO;
using sdk::DATA_CONTAINER_HANDLE;
using nwsim::FieldDesc;
using nwsim::Slot;

FieldDesc Field(std::u16string name, sdk::RFCTYPE type, unsigned nucOffset, unsigned nucLength,
                unsigned ucOffset, unsigned ucLength, unsigned decimals = 0) {
    return FieldDesc{std::move(name), Slot{type, nucLength, nucOffset, ucLength, ucOffset, decimals}};
}

const nwsim::TypeDesc& Row() {
    static const nwsim::TypeDesc type(
        u"ZROW",
        {Field(u"NAME", sdk::RFCTYPE_CHAR, 0, 5, 0, 10), Field(u"FLAG", sdk::RFCTYPE_INT1, 5, 1, 10, 1),
         Field(u"AMOUNT", sdk::RFCTYPE_BCD, 6, 4, 11, 4, 2), Field(u"SMALL", sdk::RFCTYPE_INT2, 10, 2, 16, 2),
         Field(u"NUMBER", sdk::RFCTYPE_INT, 12, 4, 20, 4), Field(u"CODE", sdk::RFCTYPE_NUM, 16, 3, 24, 6),
         Field(u"DAY", sdk::RFCTYPE_DATE, 19, 8, 30, 16), Field(u"AT", sdk::RFCTYPE_TIME, 27, 6, 46, 12),
         Field(u"RAW", sdk::RFCTYPE_BYTE, 33, 3, 58, 3), Field(u"RATE", sdk::RFCTYPE_FLOAT, 40, 8, 64, 8)},
        48, 72);
    return type;
}

class Values : public ::testing::Test {
  protected:
    Values() : structure_(Row()), handle_(reinterpret_cast<DATA_CONTAINER_HANDLE>(
                                       static_cast<nwsim::DataContainer*>(&structure_))) {}
    nwsim::StructureContainer structure_;
    DATA_CONTAINER_HANDLE handle_;
    RFC_ERROR_INFO error_{};
};

TEST_F(Values, InitialValuesAreAbapsOwn) {
    EXPECT_EQ(StringOf(handle_, u"NAME"), u"");
    EXPECT_EQ(StringOf(handle_, u"CODE"), u"000");
    EXPECT_EQ(StringOf(handle_, u"DAY"), u"00000000");
    EXPECT_EQ(StringOf(handle_, u"AT"), u"000000");
    EXPECT_EQ(StringOf(handle_, u"AMOUNT"), u"0.00");
    EXPECT_EQ(StringOf(handle_, u"RAW"), u"000000");
    EXPECT_EQ(StringOf(handle_, u"NUMBER"), u"0");
}

TEST_F(Values, GetStringTellsTheLengthAlwaysAndRefusesAShortBuffer) {
    ASSERT_EQ(sdk::RfcSetChars(handle_, u"NAME", u"abc", 3, &error_), sdk::RFC_OK);
    char16_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    unsigned length = 99;
    EXPECT_EQ(sdk::RfcGetString(handle_, u"NAME", buffer, 3, &length, &error_), sdk::RFC_BUFFER_TOO_SMALL);
    EXPECT_EQ(error_.code, sdk::RFC_BUFFER_TOO_SMALL);
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(buffer[0], u'#');  // nothing written
    EXPECT_EQ(sdk::RfcGetString(handle_, u"NAME", buffer, 4, &length, &error_), sdk::RFC_OK);
    EXPECT_EQ(std::u16string(buffer), u"abc");
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(error_.code, sdk::RFC_OK);
}

TEST_F(Values, GetCharsPadsWithBlanksAndRefusesAShortBuffer) {
    ASSERT_EQ(sdk::RfcSetChars(handle_, u"NAME", u"ab", 2, &error_), sdk::RFC_OK);
    char16_t buffer[8];
    EXPECT_EQ(sdk::RfcGetChars(handle_, u"NAME", buffer, 8, &error_), sdk::RFC_OK);
    EXPECT_EQ(std::u16string(buffer, 8), u"ab      ");
    EXPECT_EQ(sdk::RfcGetChars(handle_, u"NAME", buffer, 4, &error_), sdk::RFC_BUFFER_TOO_SMALL);
    EXPECT_EQ(sdk::RfcSetChars(handle_, u"NAME", u"toolong", 7, &error_), sdk::RFC_BUFFER_TOO_SMALL);
    EXPECT_EQ(sdk::RfcGetCharsByIndex(handle_, 0, buffer, 5, &error_), sdk::RFC_OK);
    EXPECT_EQ(std::u16string(buffer, 5), u"ab   ");
    EXPECT_EQ(sdk::RfcGetChars(handle_, u"NOPE", buffer, 5, &error_), sdk::RFC_INVALID_PARAMETER);
    EXPECT_EQ(sdk::RfcGetCharsByIndex(handle_, 10, buffer, 5, &error_), sdk::RFC_INVALID_PARAMETER);
}

TEST_F(Values, NumbersKeepTheirRanges) {
    EXPECT_EQ(sdk::RfcSetInt(handle_, u"SMALL", 40000, &error_), sdk::RFC_CONVERSION_FAILURE);
    EXPECT_EQ(error_.group, sdk::EXTERNAL_RUNTIME_FAILURE);
    EXPECT_EQ(sdk::RfcSetInt(handle_, u"FLAG", -1, &error_), sdk::RFC_CONVERSION_FAILURE);
    EXPECT_EQ(sdk::RfcSetInt(handle_, u"CODE", 1000, &error_), sdk::RFC_CONVERSION_FAILURE);
    EXPECT_EQ(sdk::RfcSetString(handle_, u"NUMBER", u"12x", 3, &error_), sdk::RFC_CONVERSION_FAILURE);
    EXPECT_EQ(sdk::RfcSetString(handle_, u"AMOUNT", u"123456.7", 8, &error_), sdk::RFC_CONVERSION_FAILURE);
    EXPECT_EQ(sdk::RfcSetInt2(handle_, u"SMALL", -32768, &error_), sdk::RFC_OK);
    EXPECT_EQ(sdk::RfcSetInt1(handle_, u"FLAG", 255, &error_), sdk::RFC_OK);
    EXPECT_EQ(sdk::RfcSetInt(handle_, u"CODE", 7, &error_), sdk::RFC_OK);
    EXPECT_EQ(sdk::RfcSetString(handle_, u"AMOUNT", u"-12.345", 7, &error_), sdk::RFC_OK);  // rounded
    EXPECT_EQ(sdk::RfcSetFloat(handle_, u"RATE", 0.25, &error_), sdk::RFC_OK);
    sdk::RFC_INT2 small = 0;
    sdk::RFC_INT1 flag = 0;
    sdk::RFC_INT code = 0;
    sdk::RFC_FLOAT rate = 0;
    EXPECT_EQ(sdk::RfcGetInt2(handle_, u"SMALL", &small, &error_), sdk::RFC_OK);
    EXPECT_EQ(sdk::RfcGetInt1(handle_, u"FLAG", &flag, &error_), sdk::RFC_OK);
    EXPECT_EQ(sdk::RfcGetInt(handle_, u"CODE", &code, &error_), sdk::RFC_OK);
    EXPECT_EQ(sdk::RfcGetFloat(handle_, u"RATE", &rate, &error_), sdk::RFC_OK);
    EXPECT_EQ(small, -32768);
    EXPECT_EQ(flag, 255);
    EXPECT_EQ(code, 7);
    EXPECT_EQ(rate, 0.25);
    EXPECT_EQ(StringOf(handle_, u"CODE"), u"007");
    EXPECT_EQ(StringOf(handle_, u"AMOUNT"), u"-12.35");
    EXPECT_EQ(sdk::RfcGetInt(handle_, u"NAME", &code, &error_), sdk::RFC_CONVERSION_FAILURE);
}

TEST_F(Values, BytesAreBinaryOrUtf16) {
    ASSERT_EQ(sdk::RfcSetInt(handle_, u"NUMBER", 0x01020304, &error_), sdk::RFC_OK);
    uint8_t bytes[12];
    EXPECT_EQ(sdk::RfcGetBytes(handle_, u"NUMBER", bytes, 6, &error_), sdk::RFC_OK);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 6), (std::vector<uint8_t>{4, 3, 2, 1, 0, 0}));
    EXPECT_EQ(sdk::RfcGetBytes(handle_, u"NUMBER", bytes, 3, &error_), sdk::RFC_BUFFER_TOO_SMALL);
    ASSERT_EQ(sdk::RfcSetChars(handle_, u"NAME", u"é", 1, &error_), sdk::RFC_OK);
    EXPECT_EQ(sdk::RfcGetBytes(handle_, u"NAME", bytes, 12, &error_), sdk::RFC_OK);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 12),
              (std::vector<uint8_t>{0xE9, 0, ' ', 0, ' ', 0, ' ', 0, ' ', 0, ' ', 0}));
    const uint8_t raw[] = {0xFF, 0x01};
    EXPECT_EQ(sdk::RfcSetBytes(handle_, u"RAW", raw, 2, &error_), sdk::RFC_OK);
    EXPECT_EQ(StringOf(handle_, u"RAW"), u"FF0100");
    EXPECT_EQ(sdk::RfcSetBytes(handle_, u"RAW", bytes, 4, &error_), sdk::RFC_BUFFER_TOO_SMALL);
    EXPECT_EQ(sdk::RfcSetBytes(handle_, u"NUMBER", raw, 2, &error_), sdk::RFC_INVALID_PARAMETER);
    EXPECT_EQ(sdk::RfcSetString(handle_, u"DAY", u"2026120", 7, &error_), sdk::RFC_CONVERSION_FAILURE);
    EXPECT_EQ(sdk::RfcSetDate(handle_, u"DAY", u"20261209", &error_), sdk::RFC_OK);
    sdk::RFC_DATE day;
    EXPECT_EQ(sdk::RfcGetDate(handle_, u"DAY", day, &error_), sdk::RFC_OK);
    EXPECT_EQ(std::u16string(day, 8), u"20261209");
    sdk::RFC_TIME at;
    EXPECT_EQ(sdk::RfcGetTime(handle_, u"DAY", at, &error_), sdk::RFC_CONVERSION_FAILURE);
}

TEST(Tables, RowsFromZeroViewsThatFollowTheirRowsAndMoveRefusals) {
    nwsim::TableContainer table(Row());
    auto handle = reinterpret_cast<sdk::RFC_TABLE_HANDLE>(static_cast<nwsim::DataContainer*>(&table));
    RFC_ERROR_INFO error{};
    EXPECT_EQ(sdk::RfcMoveToFirstRow(handle, &error), sdk::RFC_TABLE_MOVE_EOF);
    EXPECT_EQ(sdk::RfcGetCurrentRow(handle, &error), nullptr);
    sdk::RFC_STRUCTURE_HANDLE first = sdk::RfcAppendNewRow(handle, &error);
    ASSERT_EQ(sdk::RfcSetInt(first, u"NUMBER", 100, &error), sdk::RFC_OK);
    for (int i = 1; i < 1000; ++i)  // the row buffer moves many times
        ASSERT_EQ(sdk::RfcSetInt(sdk::RfcAppendNewRow(handle, &error), u"NUMBER", 100 + i, &error), sdk::RFC_OK);
    sdk::RFC_INT number = 0;
    EXPECT_EQ(sdk::RfcGetInt(first, u"NUMBER", &number, &error), sdk::RFC_OK);
    EXPECT_EQ(number, 100);
    // The table handle stands for its current row, the last appended.
    EXPECT_EQ(sdk::RfcGetInt(handle, u"NUMBER", &number, &error), sdk::RFC_OK);
    EXPECT_EQ(number, 1099);
    EXPECT_EQ(sdk::RfcMoveToPreviousRow(handle, &error), sdk::RFC_OK);
    EXPECT_EQ(sdk::RfcGetInt(handle, u"NUMBER", &number, &error), sdk::RFC_OK);
    EXPECT_EQ(number, 1098);
    EXPECT_EQ(sdk::RfcMoveToFirstRow(handle, &error), sdk::RFC_OK);
    EXPECT_EQ(sdk::RfcMoveToPreviousRow(handle, &error), sdk::RFC_TABLE_MOVE_BOF);
    EXPECT_EQ(sdk::RfcDeleteCurrentRow(handle, &error), sdk::RFC_OK);
    unsigned count = 0;
    EXPECT_EQ(sdk::RfcGetRowCount(handle, &count, &error), sdk::RFC_OK);
    EXPECT_EQ(count, 999u);
    EXPECT_EQ(sdk::RfcGetInt(handle, u"NUMBER", &number, &error), sdk::RFC_OK);
    EXPECT_EQ(number, 101);
    EXPECT_EQ(sdk::RfcMoveToLastRow(handle, &error), sdk::RFC_OK);
    EXPECT_EQ(sdk::RfcMoveToNextRow(handle, &error), sdk::RFC_TABLE_MOVE_EOF);
    EXPECT_EQ(sdk::RfcGetRowCount(nullptr, &count, &error), sdk::RFC_INVALID_HANDLE);
}

}  // namespace
}  // namespace nwsimtest

namespace nwsimtest {
namespace {

TEST(TextConversion, Utf8AndSapUcTellTheSizeNeeded) {
    const std::string utf8 = "Zoë €";
    const auto* bytes = reinterpret_cast<const sdk::RFC_BYTE*>(utf8.data());
    char16_t wide[8];
    unsigned size = 5, length = 0;
    RFC_ERROR_INFO error{};
    EXPECT_EQ(sdk::RfcUTF8ToSAPUC(bytes, static_cast<unsigned>(utf8.size()), wide, &size, &length,
                                  &error),
              sdk::RFC_BUFFER_TOO_SMALL);
    EXPECT_EQ(size, 6u);  // five characters and the terminator
    EXPECT_EQ(sdk::RfcUTF8ToSAPUC(bytes, static_cast<unsigned>(utf8.size()), wide, &size, &length,
                                  &error),
              sdk::RFC_OK);
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(std::u16string(wide), u"Zoë €");
    sdk::RFC_BYTE back[16];
    unsigned backSize = 16;
    EXPECT_EQ(sdk::RfcSAPUCToUTF8(wide, length, back, &backSize, &length, &error), sdk::RFC_OK);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(back), length), utf8);
    backSize = 4;
    EXPECT_EQ(sdk::RfcSAPUCToUTF8(wide, 5, back, &backSize, &length, &error),
              sdk::RFC_BUFFER_TOO_SMALL);
    EXPECT_EQ(backSize, utf8.size() + 1);
}

}  // namespace
}  // namespace nwsimtest
