// Packed decimals and internal tables through the C interface.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "client/InternalTable.h"
#include "rfc32u.h"

namespace {

std::u16string ToText(const std::vector<uint8_t>& bcd, int decimals, unsigned width = 33) {
    std::vector<RFC_CHAR> out(width);
    if (RfcConvertBcdToCharU(bcd.data(), static_cast<unsigned>(bcd.size()), decimals, out.data(),
                             width) != RFC_OK)
        return u"<error>";
    return std::u16string(out.data());
}

std::vector<uint8_t> ToBcd(std::u16string_view text, int decimals, size_t bytes) {
    std::vector<uint8_t> out(bytes, 0xEE);
    if (RfcConvertCharToBcdU(text.data(), static_cast<unsigned>(text.size()), decimals, out.data(),
                             static_cast<unsigned>(bytes)) != RFC_OK)
        return {};
    return out;
}

TEST(PackedDecimal, PacksDigitsAndSign) {
    EXPECT_EQ(ToBcd(u"-12.5", 2, 3), (std::vector<uint8_t>{0x01, 0x25, 0x0D}));
    EXPECT_EQ(ToBcd(u" 12.50- ", 2, 3), (std::vector<uint8_t>{0x01, 0x25, 0x0D}));
    EXPECT_EQ(ToBcd(u"+1234", 0, 3), (std::vector<uint8_t>{0x01, 0x23, 0x4C}));
    EXPECT_EQ(ToBcd(u"", 2, 2), (std::vector<uint8_t>{0x00, 0x0C}));
    EXPECT_EQ(ToBcd(u"-0.00", 2, 2), (std::vector<uint8_t>{0x00, 0x0C}));
    // Extra places round half away from zero, also into a new digit.
    EXPECT_EQ(ToBcd(u"12.345678", 2, 3), (std::vector<uint8_t>{0x01, 0x23, 0x5C}));
    EXPECT_EQ(ToBcd(u"-9.995", 2, 3), (std::vector<uint8_t>{0x01, 0x00, 0x0D}));
}

TEST(PackedDecimal, RefusesWhatDoesNotFitOrIsNoNumber) {
    EXPECT_TRUE(ToBcd(u"1000", 0, 2).empty());  // 2 bytes hold 3 digits
    EXPECT_FALSE(ToBcd(u"999", 0, 2).empty());
    EXPECT_TRUE(ToBcd(u"1.2.3", 1, 4).empty());
    EXPECT_TRUE(ToBcd(u"12a", 0, 4).empty());
    EXPECT_TRUE(ToBcd(u"-", 0, 4).empty());
    EXPECT_TRUE(ToBcd(u"1", 4, 2).empty());  // more decimals than digits
    EXPECT_TRUE(ToBcd(u"1", 0, 17).empty());
    RFC_ERROR_INFO_EX error{};
    RfcLastErrorExU(&error);
    EXPECT_EQ(error.group, RFC_ERROR_PROGRAM);
}

TEST(PackedDecimal, UnpacksRightAlignedWithTheSignBehind) {
    EXPECT_EQ(ToText({0x01, 0x25, 0x0D}, 2, 10), u"   12.50-");
    EXPECT_EQ(ToText({0x01, 0x25, 0x0C}, 2, 7), u" 12.50");
    EXPECT_EQ(ToText({0x00, 0x0C}, 2, 6), u" 0.00");
    EXPECT_EQ(ToText({0x12, 0x3F}, 0, 4), u"123");
    EXPECT_EQ(ToText({0x00, 0x5C}, 3, 7), u" 0.005");
    EXPECT_EQ(ToText({0x01, 0x25, 0x0D}, 2, 6), u"<error>");  // "12.50-" needs 7
    EXPECT_EQ(ToText({0x1A, 0x0C}, 0), u"<error>");           // nibble A is no digit
    EXPECT_EQ(ToText({0x12, 0x34}, 0), u"<error>");           // no sign
}

TEST(PackedDecimal, RoundTripsThroughTextKeepTheValue) {
    for (const std::u16string text : {u"0.01", u"-123456.78", u"99999999999.99", u"-0.50"}) {
        const auto packed = ToBcd(text, 2, 8);
        ASSERT_FALSE(packed.empty()) << std::string(text.begin(), text.end());
        std::u16string back = ToText(packed, 2);
        back.erase(0, back.find_first_not_of(u' '));
        if (!back.empty() && back.back() == u'-') back = u"-" + back.substr(0, back.size() - 1);
        EXPECT_EQ(back, text);
    }
}

TEST(InternalTable, RowsAreNumberedFromOneAndStayInPlace) {
    ITAB_H table = ItCreateU(u"PARAMS", 420, 0, 0);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(ItFillU(table), 0u);
    EXPECT_EQ(ItLengU(table), 420u);
    EXPECT_EQ(ItGetLineU(table, 1), nullptr);
    std::vector<void*> rows;
    for (int i = 0; i < 1000; ++i) {
        auto* row = static_cast<uint8_t*>(ItAppLineU(table));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row[0], 0);
        EXPECT_EQ(row[419], 0);
        std::memcpy(row, &i, sizeof i);
        rows.push_back(row);
    }
    EXPECT_EQ(ItFillU(table), 1000u);
    EXPECT_EQ(ItGetLineU(table, 1), rows[0]);  // unmoved by later appends
    int last = 0;
    std::memcpy(&last, ItGetLineU(table, 1000), sizeof last);
    EXPECT_EQ(last, 999);
    EXPECT_EQ(ItGetLineU(table, 0), nullptr);
    EXPECT_EQ(ItGetLineU(table, 1001), nullptr);
    EXPECT_EQ(ItFreeU(table), 0);
    EXPECT_EQ(ItFillU(table), 0u);
    EXPECT_EQ(ItGetLineU(table, 1), nullptr);
    EXPECT_NE(ItAppLineU(table), nullptr);
    EXPECT_EQ(ItDeleteU(table), 0);
}

TEST(InternalTable, NullHandlesAndBadLengthsAreRefused) {
    EXPECT_EQ(ItCreateU(u"T", 0, 0, 0), nullptr);
    RFC_ERROR_INFO_EX error{};
    EXPECT_EQ(RfcLastErrorExU(&error), RFC_ERROR_PROGRAM);
    EXPECT_EQ(ItFillU(nullptr), 0u);
    EXPECT_EQ(ItGetLineU(nullptr, 1), nullptr);
    EXPECT_EQ(ItAppLineU(nullptr), nullptr);
    EXPECT_NE(ItFreeU(nullptr), 0);
    EXPECT_NE(ItDeleteU(nullptr), 0);
}

// A long row costs a block of its own, never room for hundreds of rows: a
// partner's 1 MiB row must not cost 256 MiB.
TEST(InternalTable, LongRowsAreAllocatedFewAtATime) {
    ITAB_H wide = ItCreateU(u"WIDE", rfclib::kMaxRowLength, 0, 0);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->rowsPerBlock, 1u);
    for (int i = 0; i < 3; ++i) std::memset(ItAppLineU(wide), 'a' + i, rfclib::kMaxRowLength);
    for (unsigned i = 1; i <= 3; ++i) {
        const auto* row = static_cast<const char*>(ItGetLineU(wide, i));
        EXPECT_EQ(row[0], static_cast<char>('a' + i - 1));
        EXPECT_EQ(row[rfclib::kMaxRowLength - 1], static_cast<char>('a' + i - 1));
    }
    EXPECT_EQ(wide->blocks.size(), 3u);
    ITAB_H narrow = ItCreateU(u"NARROW", 177, 0, 0);
    EXPECT_EQ(narrow->rowsPerBlock, rfclib::kRowsPerBlock);
    EXPECT_EQ(ItCreateU(u"HUGE", rfclib::kMaxRowLength + 1, 0, 0), nullptr);
    ItDeleteU(wide);
    ItDeleteU(narrow);
}

// A table refilled every minute reuses its blocks, so the heap is not
// scattered by the same rows freed and allocated anew; a big one's go back.
TEST(InternalTable, ASmallTableRefillsItsOwnBlocksAndABigOneGivesThemBack) {
    ITAB_H small = ItCreateU(u"SMALL", 420, 0, 0);
    ASSERT_NE(small, nullptr);
    for (int i = 0; i < 600; ++i) ASSERT_NE(ItAppLineU(small), nullptr);
    auto* first = static_cast<uint8_t*>(ItGetLineU(small, 1));
    std::memset(first, 0x5A, 420);
    const size_t blocks = small->blocks.size();
    EXPECT_EQ(ItFreeU(small), 0);
    EXPECT_EQ(ItFillU(small), 0u);
    EXPECT_EQ(ItGetLineU(small, 1), nullptr);
    auto* again = static_cast<uint8_t*>(ItAppLineU(small));
    EXPECT_EQ(again, first);
    EXPECT_EQ(again[0], 0) << "a refilled row is zero-filled like a new one";
    EXPECT_EQ(again[419], 0);
    for (int i = 1; i < 600; ++i) ASSERT_NE(ItAppLineU(small), nullptr);
    EXPECT_EQ(small->blocks.size(), blocks);
    ItDeleteU(small);

    ITAB_H big = ItCreateU(u"BIG", 177, 0, 0);
    ASSERT_NE(big, nullptr);
    const size_t rows = rfclib::kReleaseBytes / 177 + rfclib::kRowsPerBlock;
    for (size_t i = 0; i < rows; ++i) ASSERT_NE(ItAppLineU(big), nullptr);
    EXPECT_EQ(ItFreeU(big), 0);
    EXPECT_TRUE(big->blocks.empty());
    ItDeleteU(big);
}

TEST(TypeCodes, LettersMapToTheClassicCodes) {
    const std::pair<RFC_CHAR, RFC_TYPEHANDLE> codes[] = {
        {u'C', 0}, {u'D', 1}, {u'P', 2}, {u'T', 3},  {u'X', 4},  {u'h', 5}, {u'N', 6},
        {u'F', 7}, {u'I', 8}, {u's', 9}, {u'b', 10}, {u'u', 14}, {u'v', 17}};
    for (const auto& [letter, code] : codes) EXPECT_EQ(RfcExidToRfcTypeU(letter), code);
    EXPECT_EQ(RfcExidToRfcTypeU(u'?'), static_cast<RFC_TYPEHANDLE>(RFCTYPE_UNKNOWN));
}

TEST(TypeCodes, InstalledStructuresKeepTheirHandle) {
    const RFC_UNICODE_TYPE_ELEMENT fields[] = {{u"WP_NO", RFCTYPE_INT, 0, 4, 0, 4, 0, 4, 0}};
    RFC_TYPEHANDLE first = 0, again = 0, other = 0;
    ASSERT_EQ(RfcInstallUnicodeStructureU(u"WPINFO", fields, 1, &first), RFC_OK);
    ASSERT_EQ(RfcInstallUnicodeStructureU(u"WPINFO", fields, 1, &again), RFC_OK);
    ASSERT_EQ(RfcInstallUnicodeStructureU(u"MSXXLIST", fields, 1, &other), RFC_OK);
    EXPECT_GE(first, RFCTYPE_FIRST_INSTALLED);
    EXPECT_EQ(first, again);
    EXPECT_NE(first, other);
    EXPECT_NE(RfcInstallUnicodeStructureU(nullptr, fields, 1, &first), RFC_OK);
}

}  // namespace
