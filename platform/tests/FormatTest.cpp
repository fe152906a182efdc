#include "platform/Format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/TextCodec.h"

namespace platform {
namespace {

TEST(FormatTest, CollectorPatternsAsWritten) {
    EXPECT_EQ(Format(u"%s : %s", u"  3:07 PM  ", std::u16string(u"text")), u"  3:07 PM   : text");
    const std::u16string message(600, u'm');
    EXPECT_EQ(Format(u"RFC Exception: %s(%s): %.*s", u"Loc", u"TH_WPINFO", 3, message),
              u"RFC Exception: Loc(TH_WPINFO): mmm");
    EXPECT_EQ(Format(u"%s%s(%s)", u"/d/", u"host", u"DB1"), u"/d/host(DB1)");
    EXPECT_EQ(Format(u"invalid day: %d", 32), u"invalid day: 32");
    EXPECT_EQ(Format(u"100%%"), u"100%");
}

TEST(FormatTest, IntegersMatchTheCLibrary) {
    struct Case {
        const char16_t* pattern;
        const char* narrow;
        long long value;
    } cases[] = {
        {u"%d", "%d", -42},          {u"%5d", "%5d", 42},  {u"%-5d|", "%-5d|", 42},
        {u"%05d", "%05d", -42},      {u"%+d", "%+d", 7},   {u"% d", "% d", 7},
        {u"%5.3d", "%5.3d", 7},      {u"%x", "%x", 255},   {u"%X", "%X", 255},
        {u"%02X", "%02X", 10},       {u"%#x", "%#x", 255}, {u"%o", "%o", 8},
        {u"%u", "%u", 4000000000LL}, {u"%i", "%i", -1},
    };
    for (const auto& c : cases) {
        char expected[64];
        std::snprintf(expected, sizeof expected, c.narrow, static_cast<int>(c.value));
        EXPECT_EQ(ToUtf8(Format(c.pattern, c.value)), expected) << c.narrow;
    }
    EXPECT_EQ(Format(u"%lld", 4294967301LL), u"4294967301");
    EXPECT_EQ(Format(u"%I64d", -4294967301LL), u"-4294967301");
    EXPECT_EQ(Format(u"%d", 4294967301LL), u"5");  // 32-bit without a size
    EXPECT_EQ(Format(u"%hu", 65537), u"1");
    EXPECT_EQ(Format(u"%u", -1), u"4294967295");
    EXPECT_EQ(Format(u"%llu", uint64_t{18446744073709551615ULL}), u"18446744073709551615");
    EXPECT_EQ(Format(u"%*d", -4, 1), u"1   ");
}

TEST(FormatTest, StringsCharsAndFloats) {
    EXPECT_EQ(Format(u"[%6s][%-6s][%.2s]", u"ab", u"cd", u"efgh"), u"[    ab][cd    ][ef]");
    EXPECT_EQ(Format(u"%c%c", u'x', 0x20AC), u"x\u20ac");
    EXPECT_EQ(Format(u"%s", static_cast<const char16_t*>(nullptr)), u"(null)");
    EXPECT_EQ(Format(u"%f", 1.5), u"1.500000");
    EXPECT_EQ(Format(u"%+.2f", 3.14159), u"+3.14");
    EXPECT_EQ(Format(u"%08.2f", -1.5), u"-0001.50");
    EXPECT_EQ(Format(u"%.3e", 12345.678), u"1.235e+04");
    EXPECT_EQ(Format(u"%g", 0.0001), u"0.0001");
    EXPECT_EQ(Format(u"%.1f", 1e300).size(), 303u);  // long texts leave the stack buffer
}

TEST(FormatTest, PatternErrorsAreReported) {
    EXPECT_THROW(Format(u"%s : %s", u"one"), std::invalid_argument);
    EXPECT_THROW(Format(u"%d", u"text"), std::invalid_argument);
    EXPECT_THROW(Format(u"%f", 1), std::invalid_argument);
    EXPECT_THROW(Format(u"%k", 1), std::invalid_argument);
    EXPECT_THROW(Format(u"abc %", 1), std::invalid_argument);
}

}  // namespace
}  // namespace platform
