// Layouts of dictionary structures in the three widths, records set by
// field, and the PARAMS and FIELDS rows callers receive.
#include <gtest/gtest.h>

#include <cstring>

#include "../src/MetadataRows.h"
#include "r3sim/Record.h"
#include "rfc32u.h"

namespace {

using namespace r3sim;

StructureDef Mixed() {
    return Structure("ZMIXED", {Char("A", 1), Int("B"), Char("C", 3), Float("D"), Int2("E"),
                                Packed("F", 3, 2), Date("G")});
}

TEST(DictionaryTest, FieldsAreAlignedPerWidth) {
    const StructureDef s = Mixed();
    struct Expected {
        const char* field;
        std::array<unsigned, 3> offset, length;
    };
    const Expected expected[] = {{"A", {0, 0, 0}, {1, 2, 4}},     {"B", {4, 4, 4}, {4, 4, 4}},
                                 {"C", {8, 8, 8}, {3, 6, 12}},    {"D", {16, 16, 24}, {8, 8, 8}},
                                 {"E", {24, 24, 32}, {2, 2, 2}},  {"F", {26, 26, 34}, {3, 3, 3}},
                                 {"G", {29, 30, 40}, {8, 16, 32}}};
    for (const Expected& e : expected) {
        const FieldLayout* f = s.Find(e.field);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->offset, e.offset) << e.field;
        EXPECT_EQ(f->length, e.length) << e.field;
    }
    EXPECT_EQ(s.length, (std::array<unsigned, 3>{40, 48, 72}));  // padded to the float's 8
    EXPECT_EQ(s.alignment, 8u);
    EXPECT_THROW(Structure("ZBAD", {FieldSpec{"Q", 'Q', 1, 0}}), DictionaryError);
    EXPECT_THROW(Structure("ZBAD", {Char("EMPTY", 0)}), DictionaryError);
}

TEST(DictionaryTest, RecordsStartInitialAndTakeValuesByType) {
    const StructureDef s = Mixed();
    for (CharWidth width : {kWidth1, kWidth2}) {
        Record r(s, width);
        EXPECT_EQ(r.Bytes().size(), s.length[width]);
        EXPECT_EQ(r.GetText("A"), "");
        EXPECT_EQ(r.GetText("G"), "00000000");
        EXPECT_EQ(r.GetText("F"), "0.00");
        r.SetText("A", "\xC3\xA9").SetInt("B", -7).SetText("C", "abcdef").SetFloat("D", 2.5);
        r.SetInt("E", -300).SetFloat("F", -12.5).SetText("G", "20261207");
        EXPECT_EQ(r.GetText("A"), "\xC3\xA9");
        EXPECT_EQ(r.GetText("B"), "-7");
        EXPECT_EQ(r.GetText("C"), "abc");  // cut to its three characters
        EXPECT_EQ(r.GetText("E"), "-300");
        EXPECT_EQ(r.GetText("F"), "-12.50");
        EXPECT_EQ(r.GetText("G"), "20261207");
        EXPECT_THROW(r.SetText("NOPE", "x"), DictionaryError);
    }
    Record narrow(s, kWidth1);
    narrow.SetText("A", "\xC3\xA9");
    EXPECT_EQ(narrow.Bytes()[0], 0xE9);  // Windows-1252 on a non-Unicode system
}

TEST(DictionaryTest, ParamsAndFieldsRowsCarryTheLayouts) {
    Dictionary d;
    d.Add(Mixed());
    const Interface interface = {Import(Char("WITH_CPU", 2)).Default("'00'").Text("CPU too"),
                                 ExportStructure("RESULT", "ZMIXED"), Table("ROWS", "ZMIXED"),
                                 Exception("FAILED")};
    const rfcwire::RowBlock params = ParamsRows(interface, d);
    ASSERT_EQ(params.rowLength, 420u);
    ASSERT_EQ(params.rowCount, 4u);
    RFC_U_FUNINT rows[4];
    std::memcpy(rows, params.rows.data(), sizeof rows);
    EXPECT_EQ(rows[0].paramclass, u'I');
    EXPECT_EQ(std::u16string(rows[0].parameter, 8), u"WITH_CPU");
    EXPECT_EQ(rows[0].parameter[8], u' ');
    EXPECT_EQ(rows[0].exid, u'C');
    EXPECT_EQ(rows[0].length_b2, 4);
    EXPECT_EQ(rows[0].length_b1, 2);
    EXPECT_EQ(std::u16string(rows[0].default_value, 4), u"'00'");
    EXPECT_EQ(rows[0].optional, u'X');
    EXPECT_EQ(rows[1].exid, u'u');
    EXPECT_EQ(std::u16string(rows[1].tabname, 6), u"ZMIXED");
    EXPECT_EQ(rows[1].length_b2, 48);
    EXPECT_EQ(rows[2].paramclass, u'T');
    EXPECT_EQ(rows[2].exid, u'h');
    EXPECT_EQ(rows[3].paramclass, u'X');
    EXPECT_EQ(rows[3].length_b2, 0);

    const rfcwire::RowBlock fields = FieldsRows(*d.Find("ZMIXED"));
    ASSERT_EQ(fields.rowLength, 156u);
    ASSERT_EQ(fields.rowCount, 7u);
    RFC_U_FIELDS g;
    std::memcpy(&g, fields.rows.data() + 6 * 156, sizeof g);
    EXPECT_EQ(g.fieldname[0], u'G');
    EXPECT_EQ(g.position, 7);
    EXPECT_EQ(g.exid, u'D');
    EXPECT_EQ(g.offset_b1, 29);
    EXPECT_EQ(g.offset_b2, 30);
    EXPECT_EQ(g.length_b2, 16);
    EXPECT_EQ(g.offset_b4, 40);
    EXPECT_EQ(g.length_b4, 32);

    Interface unknown = {Table("ROWS", "ZNOWHERE")};
    EXPECT_THROW(ParamsRows(unknown, d), DictionaryError);
}

}  // namespace
