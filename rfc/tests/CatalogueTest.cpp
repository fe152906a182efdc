#include <gtest/gtest.h>

#include "rfc/RfcException.h"
#include "rfc/catalogue/GetSystemTimeRemote.h"
#include "rfc/catalogue/ThServerList.h"
#include "rfc/catalogue/TransferNarrowing.h"

namespace {

TEST(CatalogueTest, MessageTypesTextNamesTheBitsInOrder) {
    EXPECT_EQ(CThServerList::MessageTypesText(0x0F), u"Dialog Update Enqueue Backg");
    EXPECT_EQ(CThServerList::MessageTypesText(0x80), u"ICM");
    EXPECT_EQ(CThServerList::MessageTypesText(0x00), u"");
    EXPECT_EQ(CThServerList::MessageTypesText(0xFF),
              u"Dialog Update Enqueue Backg Spool Upd2 ATP ICM");
}

std::u16string ParseError(std::u16string_view date, std::u16string_view time) {
    int y, mo, d, h, mi, s;
    try {
        CGetSystemTimeRemote::ParseDateTime(date, time, y, mo, d, h, mi, s);
    } catch (const CRfcException& e) {
        return e.m_strMessage;
    }
    return u"accepted";
}

TEST(CatalogueTest, ParseDateTimeChecksEveryPart) {
    int y, mo, d, h, mi, s;
    CGetSystemTimeRemote::ParseDateTime(u"20040229", u"235959", y, mo, d, h, mi, s);
    EXPECT_EQ(y, 2004);
    EXPECT_EQ(mo, 2);
    EXPECT_EQ(d, 29);
    EXPECT_EQ(h, 23);
    EXPECT_EQ(mi, 59);
    EXPECT_EQ(s, 59);
    const std::u16string prefix = u"RFC Exception: CGetSystemTimeRemote::ParseDateTime(";
    EXPECT_EQ(ParseError(u"19700101", u"000000"), prefix + u"invalid year: 1970)");
    EXPECT_EQ(ParseError(u"20380101", u"000000"), u"accepted");
    EXPECT_EQ(ParseError(u"20390101", u"000000"), prefix + u"invalid year: 2039)");
    EXPECT_EQ(ParseError(u"20040101", u"240000"), prefix + u"invalid hour: 24)");
    EXPECT_EQ(ParseError(u"20041301", u"000000"), prefix + u"invalid month: 13)");
    EXPECT_EQ(ParseError(u"20040100", u"000000"), prefix + u"invalid day: 0)");
    EXPECT_EQ(ParseError(u"20040101", u"006000"), prefix + u"invalid minute: 60)");
    EXPECT_EQ(ParseError(u"20040101", u"000060"), prefix + u"invalid second: 60)");
    EXPECT_EQ(ParseError(u"", u"000000"), prefix + u"empty date string)");
    EXPECT_EQ(ParseError(u"20040101", u""), prefix + u"empty time string)");
    EXPECT_EQ(ParseError(u"2", u"1"), prefix + u"invalid month: 0)");  // short texts read safely
}

TEST(CatalogueTest, ExClassesNarrowOnlyTables) {
    EXPECT_TRUE(IsTransferWanted(u"ANY", u"I", {}));
    EXPECT_TRUE(IsTransferWanted(u"ANY", u"E", {}));
    EXPECT_FALSE(IsTransferWanted(u"TABLE_STATISTIC", u"T", {}));
    EXPECT_TRUE(
        IsTransferWanted(u"TABLE_STATISTIC", u"T", {u"BUFFER_STATISTIC", u"TABLE_STATISTIC"}));
    EXPECT_FALSE(IsTransferWanted(u"X", u"X", {u"X"}));
}

}  // namespace
