// The NetWeaver library's descriptions as classic PARAMS and FIELDS rows.
#include <gtest/gtest.h>

#include "nwrfc/Descriptors.h"
#include "platform/FixedText.h"

namespace {

using namespace rfclib::nw;

template <size_t N>
void Name(nwrfc::SAP_UC (&field)[N], std::u16string_view text) {
    for (size_t i = 0; i < N; ++i) field[i] = i < text.size() ? text[i] : 0;
}

nwrfc::RFC_FIELD_DESC Field(std::u16string_view name, nwrfc::RFCTYPE type, unsigned nucOffset,
                            unsigned nucLength, unsigned ucOffset, unsigned ucLength,
                            unsigned decimals = 0) {
    nwrfc::RFC_FIELD_DESC f{};
    Name(f.name, name);
    f.type = type;
    f.nucOffset = nucOffset;
    f.nucLength = nucLength;
    f.ucOffset = ucOffset;
    f.ucLength = ucLength;
    f.decimals = decimals;
    return f;
}

ParameterDescription Parameter(std::u16string_view name, nwrfc::RFC_DIRECTION direction,
                               nwrfc::RFCTYPE type, unsigned nuc, unsigned uc) {
    ParameterDescription p;
    Name(p.desc.name, name);
    p.desc.direction = direction;
    p.desc.type = type;
    p.desc.nucLength = nuc;
    p.desc.ucLength = uc;
    return p;
}

std::string Trimmed(const RFC_CHAR* field, size_t n) {
    std::string out;
    for (size_t i = 0; i < n && field[i] != 0; ++i) out.push_back(static_cast<char>(field[i]));
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

TEST(DescriptorsTest, TypesMapByNameNotByNumber) {
    // NetWeaver's 14 is NULL where the classic 14 is a structure; its
    // structures are 17 and its tables 5.
    EXPECT_EQ(ExidOf(nwrfc::RFCTYPE_NULL), u' ');
    EXPECT_EQ(ExidOf(nwrfc::RFCTYPE_STRUCTURE), u'u');
    EXPECT_EQ(ExidOf(nwrfc::RFCTYPE_TABLE), u'h');
    const std::pair<nwrfc::RFCTYPE, char16_t> letters[] = {
        {nwrfc::RFCTYPE_CHAR, u'C'}, {nwrfc::RFCTYPE_DATE, u'D'},  {nwrfc::RFCTYPE_BCD, u'P'},
        {nwrfc::RFCTYPE_TIME, u'T'}, {nwrfc::RFCTYPE_BYTE, u'X'},  {nwrfc::RFCTYPE_NUM, u'N'},
        {nwrfc::RFCTYPE_FLOAT, u'F'}, {nwrfc::RFCTYPE_INT, u'I'},  {nwrfc::RFCTYPE_INT2, u's'},
        {nwrfc::RFCTYPE_INT1, u'b'}, {nwrfc::RFCTYPE_STRING, u'g'}, {nwrfc::RFCTYPE_INT8, u' '}};
    for (const auto& [type, letter] : letters) {
        EXPECT_EQ(ExidOf(type), letter) << type;
        // And the classic library reads each letter back as the classic code
        // of the same kind.
        if (letter != u' ' && letter != u'g') {
            EXPECT_NE(RfcExidToRfcTypeU(letter), static_cast<RFC_TYPEHANDLE>(RFCTYPE_UNKNOWN));
        }
    }
}

TEST(DescriptorsTest, DirectionsBecomeClassesWithOffsetsRunningPerClass) {
    ParameterDescription table =
        Parameter(u"V2_NORMAL_RECORDS", nwrfc::RFC_TABLES, nwrfc::RFCTYPE_TABLE, 177, 300);
    table.typeName = u"SAPWLSFIDX";
    table.wideLength = 580;
    const std::vector<ParameterDescription> parameters = {
        Parameter(u"READ_START_DATE", nwrfc::RFC_IMPORT, nwrfc::RFCTYPE_DATE, 8, 16),
        Parameter(u"READ_START_TIME", nwrfc::RFC_IMPORT, nwrfc::RFCTYPE_TIME, 6, 12),
        Parameter(u"CONTINUE_RECORDNO_FORWARD", nwrfc::RFC_EXPORT, nwrfc::RFCTYPE_INT, 4, 4),
        table,
        Parameter(u"BOTH_WAYS", nwrfc::RFC_CHANGING, nwrfc::RFCTYPE_CHAR, 3, 6),
    };
    const auto rows = ParamsRows(parameters, {u"NO_DATA"});
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].paramclass, u'I');
    EXPECT_EQ(rows[2].paramclass, u'E');
    EXPECT_EQ(rows[3].paramclass, u'T');
    // A changing parameter travels in both classic lists.
    EXPECT_EQ(rows[4].paramclass, u'I');
    EXPECT_EQ(rows[5].paramclass, u'E');
    EXPECT_EQ(Trimmed(rows[4].parameter, 30), "BOTH_WAYS");
    EXPECT_EQ(Trimmed(rows[5].parameter, 30), "BOTH_WAYS");
    EXPECT_EQ(rows[4].offset_b2, 28);  // behind the two imports
    EXPECT_EQ(rows[6].paramclass, u'X');
    EXPECT_EQ(Trimmed(rows[6].parameter, 30), "NO_DATA");
    // The second import lies behind the first, in each layout.
    EXPECT_EQ(rows[1].offset_b1, 8);
    EXPECT_EQ(rows[1].offset_b2, 16);
    EXPECT_EQ(rows[1].offset_b4, 32);
    EXPECT_EQ(rows[1].length_b2, 12);
    EXPECT_EQ(rows[1].length_b4, 24);
    EXPECT_EQ(rows[2].offset_b2, 0);  // first of its class
    EXPECT_EQ(rows[2].length_b4, 4);  // a number keeps its size
    EXPECT_EQ(Trimmed(rows[3].tabname, 30), "SAPWLSFIDX");
    EXPECT_EQ(rows[3].exid, u'h');
    EXPECT_EQ(rows[3].length_b4, 580);
    EXPECT_EQ(rows[3].position, 4);
    // Text fields are blank-padded to their width, as the dictionary's are.
    EXPECT_EQ(rows[0].parameter[29], u' ');
    EXPECT_EQ(rows[0].default_value[20], u' ');
    EXPECT_EQ(rows[0].optional, u' ');
}

TEST(DescriptorsTest, DefaultsTextsAndOptionalFlagAreCutToTheClassicWidths) {
    ParameterDescription p = Parameter(u"WITH_CPU", nwrfc::RFC_IMPORT, nwrfc::RFCTYPE_CHAR, 2, 4);
    Name(p.desc.defaultValue, u"'0123456789012345678901234567'");  // 30 characters
    Name(p.desc.parameterText, u"Work process CPU");
    p.desc.optional = 1;
    const auto rows = ParamsRows({p}, {});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Trimmed(rows[0].default_value, 21), "'01234567890123456789");
    EXPECT_EQ(Trimmed(rows[0].paramtext, 79), "Work process CPU");
    EXPECT_EQ(rows[0].optional, u'X');
}

TEST(DescriptorsTest, FieldsCarryBothLibraryLayoutsAndAFourByteOne) {
    // CHAR 3, INT at 4-aligned, FLOAT at 8-aligned, RAW 3, INT2, packed 5.
    const std::vector<nwrfc::RFC_FIELD_DESC> fields = {
        Field(u"NAME", nwrfc::RFCTYPE_CHAR, 0, 3, 0, 6),
        Field(u"COUNT", nwrfc::RFCTYPE_INT, 4, 4, 8, 4),
        Field(u"RATIO", nwrfc::RFCTYPE_FLOAT, 8, 8, 16, 8),
        Field(u"FLAGS", nwrfc::RFCTYPE_BYTE, 16, 3, 24, 3),
        Field(u"SHORT", nwrfc::RFCTYPE_INT2, 20, 2, 28, 2),
        Field(u"AMOUNT", nwrfc::RFCTYPE_BCD, 22, 5, 30, 5, 2),
    };
    StructureLayout layout;
    const auto rows = FieldsRows(u"ZTEST", fields, 27, 40, layout);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(Trimmed(rows[0].tabname, 30), "ZTEST");
    EXPECT_EQ(Trimmed(rows[5].fieldname, 30), "AMOUNT");
    EXPECT_EQ(rows[5].exid, u'P');
    EXPECT_EQ(rows[5].decimals, 2);
    EXPECT_EQ(rows[5].position, 6);
    EXPECT_EQ(rows[1].offset_b1, 4);
    EXPECT_EQ(rows[1].offset_b2, 8);
    EXPECT_EQ(rows[0].length_b4, 12);  // 3 characters of 4 bytes
    EXPECT_EQ(rows[1].offset_b4, 12);
    EXPECT_EQ(rows[2].offset_b4, 16);
    EXPECT_EQ(rows[3].offset_b4, 24);
    EXPECT_EQ(rows[4].offset_b4, 28);
    EXPECT_EQ(rows[5].offset_b4, 30);
    EXPECT_EQ(layout.lengthB1, 27u);
    EXPECT_EQ(layout.lengthB2, 40u);
    EXPECT_EQ(layout.lengthB4, 40u);  // 35 rounded to the FLOAT's 8
    EXPECT_EQ(layout.fieldCount, 6u);
    EXPECT_EQ(layout.alignment, 8u);
}

TEST(DescriptorsTest, NamesWithoutTerminatorStayWithinTheirArrays) {
    nwrfc::RFC_FIELD_DESC f{};
    for (auto& c : f.name) c = u'A';
    f.type = static_cast<nwrfc::RFCTYPE>(12345);
    f.ucLength = 0xFFFFFFFFu;
    StructureLayout layout;
    const auto rows = FieldsRows(u"", {f}, 0, 0, layout);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Trimmed(rows[0].fieldname, 30), std::string(30, 'A'));
    EXPECT_EQ(rows[0].exid, u' ');
}

}  // namespace
