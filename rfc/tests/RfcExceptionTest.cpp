#include "rfc/RfcException.h"

#include <gtest/gtest.h>

#include "platform/FixedText.h"
#include "rfc/RfcConnection.h"

namespace {

RFC_ERROR_INFO_EX Record(int group, std::u16string_view key, std::u16string_view message) {
    RFC_ERROR_INFO_EX e{};
    e.group = group;
    platform::CopyToField(e.key, key);
    platform::CopyToField(e.message, message);
    return e;
}

TEST(RfcExceptionTest, TheFourForms) {
    const auto record = Record(103, u"RFC_ERROR_LOGON_FAILURE  ", u"Name or password is incorrect");
    const CRfcException located(u"CRfcConnection::CallRfcOpen - RfcOpenEx", record);
    EXPECT_EQ(located.m_strMessage,
              u"RFC Exception: CRfcConnection::CallRfcOpen - RfcOpenEx(): Name or password is "
              u"incorrect");
    EXPECT_EQ(located.m_nGroup, 103);
    EXPECT_EQ(located.m_strKey, u"RFC_ERROR_LOGON_FAILURE");

    // An empty library message leaves the text ending in the colon.
    const CRfcException function(u"CBaseRfc::CallFunctionModule - RfcReceive", u"TH_WPINFO",
                                 Record(104, u"X", u""));
    EXPECT_EQ(function.m_strMessage,
              u"RFC Exception: CBaseRfc::CallFunctionModule - RfcReceive(TH_WPINFO):");

    const CRfcException detail(u"CBaseRfc::DefineExports - Lookup", u"SAPWLSTCAT");
    EXPECT_EQ(detail.m_strMessage, u"RFC Exception: CBaseRfc::DefineExports - Lookup(SAPWLSTCAT)");
    EXPECT_EQ(detail.m_nGroup, 0);
    EXPECT_EQ(detail.m_strKey, u"");

    const CRfcException message(u"x");
    EXPECT_EQ(message.m_strMessage, u"RFC Exception: x");
    EXPECT_EQ(message.m_strKey, u"RFC_EXCEPTION_MESSAGE");
    EXPECT_EQ(message.ReportText(), u"RFC Exception: x");
}

TEST(RfcExceptionTest, LongLibraryMessageIsCutTo511) {
    RFC_ERROR_INFO_EX e = Record(102, u"K", std::u16string(600, u'm'));  // fills all 513 units
    const CRfcException ex(u"L", u"F", e);
    EXPECT_EQ(ex.m_strMessage.size(), 511u);
    EXPECT_TRUE(ex.m_strMessage.starts_with(u"RFC Exception: L(F): mmm"));
}

TEST(RfcConnectionTest, ConnectStringFromTrimmedFields) {
    CRfcConnection c;
    c.SetLogonData(u"srv1", u"00", u"100", u"U", u"secret", u"E", u"", u"");
    c.BuildConnectString();
    EXPECT_EQ(c.ConnectString(), u"ASHOST=srv1 SYSNR=00 CLIENT=100 USER=U PASSWD=secret LANG=E");

    c.SetLogonData(u" srv1 ", u"00", u"100", u"U", u"", u"", u"lan", u"/H/gw/H/");
    c.BuildConnectString();
    EXPECT_EQ(c.ConnectString(),
              u"ASHOST=/H/gw/H/srv1.lan SYSNR=00 CLIENT=100 USER=U PASSWD= LANG=");
}

TEST(RfcConnectionTest, APasswordWithBlanksAndQuotesIsQuotedWhole) {
    CRfcConnection c;
    c.SetLogonData(u"srv1", u"00", u"100", u"U", u" a \"b ", u"E", u"", u"");
    c.BuildConnectString();
    EXPECT_EQ(c.ConnectString(),
              u"ASHOST=srv1 SYSNR=00 CLIENT=100 USER=U PASSWD=\" a \"\"b \" LANG=E");
}

TEST(RfcConnectionTest, LogonFieldsAreCutToTheirWidths) {
    CRfcConnection c;
    c.SetLogonData(u"abcdefghijklmnopqrstuvwxy", u"0012", u"1000", u"USERNAMETOOLONG",
                   u"password9-password9-password9-password9-X", u"ENG", u"d", u"r");
    std::u16string host, sysnr, client, user, password, language, domain, router;
    c.GetLogonData(host, sysnr, client, user, password, language, domain, router);
    EXPECT_EQ(host, u"abcdefghijklmnopqrst");
    EXPECT_EQ(sysnr, u"001");
    EXPECT_EQ(client, u"100");
    EXPECT_EQ(user, u"USERNAMETOOL");
    EXPECT_EQ(password, u"password9-password9-password9-password9-");  // 40 characters
    EXPECT_EQ(language, u"EN");
    EXPECT_EQ(domain, u"d");
    EXPECT_EQ(router, u"r");
}

TEST(RfcConnectionTest, PasswordEncodingAndScrambling) {
    CRfcConnection c;
    c.SetLogonData(u"h", u"00", u"100", u"U", u"abc", u"E", u"", u"");
    EXPECT_EQ(c.EncodeLogonPassword(), 16);
    std::u16string h, s, cl, u, password, l, d, r;
    c.GetLogonData(h, s, cl, u, password, l, d, r);
    ASSERT_EQ(password.size(), 40u);  // the zero fill is encoded too
    EXPECT_EQ(password[0], u'a' + 16);
    EXPECT_EQ(password[7], 16 + 7);
    EXPECT_EQ(password[39], 16 + 39);
    c.DecodeLogonPassword();
    c.GetLogonData(h, s, cl, u, password, l, d, r);
    EXPECT_EQ(password, u"abc");

    std::u16string stored = u"abc";
    c.ScramblePassword(stored);
    EXPECT_EQ(stored, u"dfh");
    c.UnscramblePassword(stored);
    EXPECT_EQ(stored, u"abc");
    std::u16string empty;
    c.ScramblePassword(empty);
    EXPECT_EQ(empty, u"");
    // Today's systems take 40 characters; all of them travel and are stored.
    const std::u16string longest = u"Correct-Horse-Battery-Staple-2026-12-09!";
    ASSERT_EQ(longest.size(), 40u);
    c.SetLogonData(u"h", u"00", u"100", u"U", longest + u"X", u"E", u"", u"");
    c.GetLogonData(h, s, cl, u, password, l, d, r);
    EXPECT_EQ(password, longest);
    stored = longest;
    c.ScramblePassword(stored);
    EXPECT_EQ(stored[0], u'C' + 40);
    c.UnscramblePassword(stored);
    EXPECT_EQ(stored, longest);
    std::u16string wrap(1, char16_t(0xFFFF));
    c.ScramblePassword(wrap);
    EXPECT_EQ(wrap[0], 0);  // modulo 65536
}

}  // namespace
