// Connect strings, router strings and the environment's host overrides.
#include <gtest/gtest.h>

#include "client/ClientSettings.h"
#include "client/ConnectString.h"

namespace rfclib {
namespace {

ConnectParameters Parse(std::u16string_view text) {
    ConnectParameters out;
    std::string error;
    EXPECT_TRUE(ParseConnectString(text, out, error)) << error;
    return out;
}

std::string Refusal(std::u16string_view text) {
    ConnectParameters out;
    std::string error;
    EXPECT_FALSE(ParseConnectString(text, out, error));
    return error;
}

TEST(ConnectString, TakesTheSixLogonKeys) {
    const auto p = Parse(u"ASHOST=srv1 SYSNR=00 CLIENT=100 USER=U PASSWD=secret LANG=E");
    EXPECT_EQ(p.host, u"srv1");
    EXPECT_TRUE(p.routers.empty());
    EXPECT_EQ(p.systemNumber, 0);
    EXPECT_EQ(p.client, u"100");
    EXPECT_EQ(p.user, u"U");
    EXPECT_EQ(p.password, u"secret");
    EXPECT_EQ(p.language, u"E");
}

TEST(ConnectString, KeepsEmptyValuesQuotesAndIgnoresOtherKeys) {
    const auto p =
        Parse(u"  ashost=srv1.lan   SysNr=7 CLIENT= USER=U PASSWD=\"a b=c\" LANG= TRACE=1 ");
    EXPECT_EQ(p.host, u"srv1.lan");
    EXPECT_EQ(p.systemNumber, 7);
    EXPECT_EQ(p.client, u"");
    EXPECT_EQ(p.password, u"a b=c");
    EXPECT_EQ(p.language, u"");
}

TEST(ConnectString, RefusesMissingOrMalformedAddress) {
    EXPECT_NE(Refusal(u"SYSNR=00 CLIENT=100").find("ASHOST"), std::string::npos);
    EXPECT_NE(Refusal(u"ASHOST= SYSNR=00").find("ASHOST"), std::string::npos);
    EXPECT_NE(Refusal(u"ASHOST=srv1").find("SYSNR"), std::string::npos);
    EXPECT_NE(Refusal(u"ASHOST=srv1 SYSNR=100").find("SYSNR"), std::string::npos);
    EXPECT_NE(Refusal(u"ASHOST=srv1 SYSNR=0a").find("SYSNR"), std::string::npos);
    EXPECT_NE(Refusal(u"ASHOST=srv1 SYSNR=00 PASSWD=\"open").find("quote"), std::string::npos);
    EXPECT_NE(Refusal(u"ASHOST=srv1 SYSNR=00 junk").find("after the value of SYSNR"),
              std::string::npos);
}

TEST(ConnectString, QuotedValuesCarryBlanksAndDoubledQuotes) {
    EXPECT_EQ(Parse(u"ASHOST=a SYSNR=00 PASSWD=\"S \"\"E\"\"=C \" LANG=E").password,
              u"S \"E\"=C ");
    EXPECT_EQ(Parse(u"ASHOST=a SYSNR=00 PASSWD=\"\"\"\"").password, u"\"");
    EXPECT_EQ(Parse(u"ASHOST=a SYSNR=00 PASSWD=\"\" LANG=E").password, u"");
}

// A password written without quotes is cut at its blank; the refusal names
// where, never what.
TEST(ConnectString, ARefusalShowsNoPartOfAValue) {
    for (const std::u16string_view text :
         {u"ASHOST=a SYSNR=00 PASSWD=SEC RET LANG=E", u"SEC RET", u"ASHOST=a PASSWD=\"SEC RET"}) {
        const std::string error = Refusal(text);
        EXPECT_EQ(error.find("SEC"), std::string::npos) << error;
        EXPECT_EQ(error.find("RET"), std::string::npos) << error;
    }
}

TEST(ConnectString, RouterStringsNameTheHopsAndTheHost) {
    auto p = Parse(u"ASHOST=/H/gw/H/srv1.lan SYSNR=00");
    ASSERT_EQ(p.routers.size(), 1u);
    EXPECT_EQ(p.routers[0].host, u"gw");
    EXPECT_EQ(p.routers[0].port, kDefaultRouterPort);
    EXPECT_EQ(p.host, u"srv1.lan");

    p = Parse(u"ASHOST=/H/gw/S/4711/P/pw/H/gw2/S/3298/H/srv1 SYSNR=01");
    ASSERT_EQ(p.routers.size(), 2u);
    EXPECT_EQ(p.routers[0].port, 4711);
    EXPECT_EQ(p.routers[1].host, u"gw2");
    EXPECT_EQ(p.routers[1].port, 3298);
    EXPECT_EQ(p.host, u"srv1");
    EXPECT_EQ(FormatRoute(p.routers, 1, p.host), u"/H/gw2/S/3298/H/srv1");
    EXPECT_EQ(FormatRoute(p.routers, 2, p.host), u"");

    EXPECT_FALSE(Refusal(u"ASHOST=/H/gw/S/x/H/srv1 SYSNR=00").empty());
    EXPECT_FALSE(Refusal(u"ASHOST=/H/gw/S/70000/H/srv1 SYSNR=00").empty());
    EXPECT_FALSE(Refusal(u"ASHOST=/H/gw/H/ SYSNR=00").empty());
    EXPECT_FALSE(Refusal(u"ASHOST=/H//H/srv1 SYSNR=00").empty());
    EXPECT_FALSE(Refusal(u"ASHOST=/Q/x/H/srv1 SYSNR=00").empty());
    EXPECT_FALSE(Refusal(u"ASHOST=/S/3299/H/srv1 SYSNR=00").empty());
}

TEST(HostOverrides, ParseNamesInLowerCaseAndSkipJunk) {
    const auto hosts = ParseHostOverrides(" QASHOST1 = 127.0.0.1,bad,,=1.2.3.4,qashost2=127.0.0.2");
    ASSERT_EQ(hosts.size(), 2u);
    EXPECT_EQ(hosts.at("qashost1"), "127.0.0.1");
    EXPECT_EQ(hosts.at("qashost2"), "127.0.0.2");
}

}  // namespace
}  // namespace rfclib
