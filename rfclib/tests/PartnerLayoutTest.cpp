// Conversion between the caller's 2-byte layout and a non-Unicode partner's
// 1-byte layout, including definitions that do not fit their records.
#include <gtest/gtest.h>

#include <cstring>

#include "client/PartnerLayout.h"

namespace {

using rfclib::PartnerLayout;

RFC_TYPEHANDLE Install(const char16_t* name, std::vector<RFC_UNICODE_TYPE_ELEMENT> elements) {
    RFC_TYPEHANDLE handle = 0;
    EXPECT_EQ(RfcInstallUnicodeStructureU(name, elements.data(),
                                          static_cast<unsigned>(elements.size()), &handle),
              RFC_OK);
    return handle;
}

std::vector<uint8_t> Wide(std::u16string_view text) {
    std::vector<uint8_t> out;
    for (char16_t c : text) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    return out;
}

TEST(PartnerLayoutTest, CharacterScalarsConvertAndOthersCopy) {
    const std::vector<uint8_t> wide = Wide(u"\u00e9\u20ac\u03a9 ");
    const std::vector<uint8_t> narrow =
        PartnerLayout(RFCTYPE_CHAR).Narrow(wide.data(), wide.size());
    EXPECT_EQ(narrow, (std::vector<uint8_t>{0xE9, 0x80, '?', ' '}));  // omega has no byte
    EXPECT_EQ(PartnerLayout(RFCTYPE_CHAR).Widen(narrow.data(), narrow.size()),
              Wide(u"\u00e9\u20ac? "));
    const uint8_t number[4] = {1, 2, 3, 4};
    EXPECT_EQ(PartnerLayout(RFCTYPE_INT).Widen(number, 4), (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(PartnerLayoutTest, StructuresConvertFieldByField) {
    // TEXT C(2) at 1-byte 0 / 2-byte 0, COUNT I at 4 / 4.
    const RFC_TYPEHANDLE type = Install(u"ZPAIR", {{u"TEXT", RFCTYPE_CHAR, 0, 2, 0, 4, 0, 8, 0},
                                                   {u"COUNT", RFCTYPE_INT, 0, 4, 4, 4, 4, 4, 8}});
    std::vector<uint8_t> wide = Wide(u"\u00fcx");
    wide.resize(8);
    const int32_t count = -5;
    std::memcpy(wide.data() + 4, &count, 4);
    const std::vector<uint8_t> narrow = PartnerLayout(type).Narrow(wide.data(), wide.size());
    ASSERT_EQ(narrow.size(), 8u);
    EXPECT_EQ(narrow[0], 0xFC);
    EXPECT_EQ(narrow[1], 'x');
    EXPECT_EQ(PartnerLayout(type).Widen(narrow.data(), narrow.size()), wide);
}

TEST(PartnerLayoutTest, FieldsOutsideTheRecordKeepTheirInitialValue) {
    // OUT lies far beyond any record it is read from; SHORT reaches past the
    // end of the 6-byte record below.
    const RFC_TYPEHANDLE type =
        Install(u"ZBROKEN", {{u"TEXT", RFCTYPE_CHAR, 0, 2, 0, 4, 0, 8, 0},
                             {u"OUT", RFCTYPE_CHAR, 0, 4, 4000000000u, 8, 8, 16, 16},
                             {u"SHORT", RFCTYPE_INT, 0, 4, 4, 4, 16, 4, 24}});
    const uint8_t shortRecord[6] = {'a', 'b', 1, 2, 3, 4};
    const std::vector<uint8_t> wide = PartnerLayout(type).Widen(shortRecord, sizeof shortRecord);
    ASSERT_EQ(wide.size(), 20u);
    EXPECT_EQ(std::vector<uint8_t>(wide.begin(), wide.begin() + 4), Wide(u"ab"));
    EXPECT_EQ(std::vector<uint8_t>(wide.begin() + 8, wide.begin() + 16), Wide(u"    "));
    EXPECT_EQ(std::vector<uint8_t>(wide.begin() + 16, wide.end()), (std::vector<uint8_t>(4, 0)));
    // The narrow record is as long as the fields that fit: OUT is left out.
    const std::vector<uint8_t> back = PartnerLayout(type).Narrow(wide.data(), 2);
    ASSERT_EQ(back.size(), 8u);
    EXPECT_EQ(back[0], ' ');  // the wide record held no whole TEXT: it stays blank
}

}  // namespace
