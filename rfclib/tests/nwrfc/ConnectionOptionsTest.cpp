// The pairs RfcOpenConnection gets, and the options file an operator keeps.
#include <gtest/gtest.h>

#include "nwrfc/ConnectionOptions.h"

namespace {

using namespace rfclib;
using namespace rfclib::nw;

std::u16string Value(const ConnectionParameters& pairs, std::u16string_view name) {
    for (const auto& [n, v] : pairs)
        if (n == name) return v;
    return u"<none>";
}

TEST(ConnectionOptionsTest, TheLogonBecomesNamedPairsAndARouteASaprouter) {
    ConnectParameters logon;
    std::string reason;
    ASSERT_TRUE(ParseConnectString(
        u"ASHOST=/H/gw1/S/3298/H/gw2/H/qashost1 SYSNR=7 CLIENT=100 USER=U PASSWD=\"A b\" LANG=EN",
        logon, reason))
        << reason;
    const ConnectionParameters pairs = LogonParameters(logon);
    EXPECT_EQ(Value(pairs, u"ashost"), u"qashost1");
    EXPECT_EQ(Value(pairs, u"sysnr"), u"07");
    EXPECT_EQ(Value(pairs, u"client"), u"100");
    EXPECT_EQ(Value(pairs, u"passwd"), u"A b");
    EXPECT_EQ(Value(pairs, u"lang"), u"EN");
    EXPECT_EQ(Value(pairs, u"saprouter"), u"/H/gw1/S/3298/H/gw2/S/3299/H/");

    ASSERT_TRUE(ParseConnectString(u"ASHOST=h SYSNR=00", logon, reason));
    EXPECT_EQ(Value(LogonParameters(logon), u"saprouter"), u"<none>");
}

TEST(ConnectionOptionsTest, AnOptionsFileGivesFurtherPairsAndRefusesTheLogonsOwn) {
    ConnectionParameters pairs;
    std::string error;
    ASSERT_TRUE(ParseConnectionOptions("# SNC to the production system\r\n"
                                       "SNC_MODE = 1\n"
                                       "snc_partnername=p:CN=QAS, O=Example\n"
                                       "\n"
                                       "  trace=2  \n",
                                       "test", pairs, error))
        << error;
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[0], (std::pair<std::u16string, std::u16string>{u"snc_mode", u"1"}));
    EXPECT_EQ(Value(pairs, u"snc_partnername"), u"p:CN=QAS, O=Example");
    EXPECT_EQ(Value(pairs, u"trace"), u"2");

    EXPECT_FALSE(ParseConnectionOptions("trace=1\npasswd=TOPSECRET\n", "opts", pairs, error));
    EXPECT_EQ(error, "opts line 2: 'passwd' comes from the logon data, not from the options file");
    EXPECT_EQ(error.find("TOPSECRET"), std::string::npos);
    EXPECT_FALSE(ParseConnectionOptions("snc_lib /usr/lib/libgss.so\n", "opts", pairs, error));
    EXPECT_EQ(error, "opts line 1: no '=' between a name and its value");
    EXPECT_FALSE(ParseConnectionOptions("snc-lib=x\n", "opts", pairs, error));

    EXPECT_FALSE(ReadConnectionOptions("/nonexistent/rfc.options", pairs, error));
    EXPECT_NE(error.find("/nonexistent/rfc.options"), std::string::npos) << error;
}

}  // namespace
