#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(TextCodecTest, Utf8RoundTripsEveryPlane) {
    const std::u16string text = u"A\u00e9\u20ac\U0001F600z";
    const std::string utf8 = ToUtf8(text);
    EXPECT_EQ(utf8, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
    EXPECT_EQ(FromUtf8(utf8), text);
}

TEST(TextCodecTest, LoneSurrogatesBecomeReplacement) {
    const std::u16string text{u'a', char16_t(0xD800), u'b', char16_t(0xDC00)};
    EXPECT_EQ(ToUtf8(text),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
}

TEST(TextCodecTest, InvalidUtf8BecomesOneReplacementPerSubpart) {
    // 41 C3 28 42: a two-byte lead whose follower is missing.
    EXPECT_EQ(FromUtf8("A\xC3(B"), u"A\uFFFD(B");
    // Overlong slash, encoded surrogate, value above U+10FFFF, truncated end.
    EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD");
    EXPECT_EQ(FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD");
    EXPECT_EQ(FromUtf8("x\xE2\x82"), u"x\uFFFD");
}

TEST(TextCodecTest, Windows1252MapsTheCodePageAndMarksTheRest) {
    EXPECT_EQ(ToWindows1252(u"caf\u00e9 \u20ac \u2122"), "caf\xE9 \x80 \x99");
    EXPECT_EQ(ToWindows1252(u"\u4e2d\U0001F600"), "??");
    EXPECT_EQ(ToWindows1252(std::u16string{char16_t(0xD83D)}), "?");
    EXPECT_EQ(FromWindows1252("\x80\x9F\xFF"), u"\u20ac\u0178\u00ff");
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(ToWindows1252(FromWindows1252(one)), one) << b;
    }
}

}  // namespace
}  // namespace platform
