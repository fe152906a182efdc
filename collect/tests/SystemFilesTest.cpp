// The record builders of the system-level files: the database size figures,
// component records with and without an add-on, and the collecting
// workstation's record.
#include "collect/system/SystemFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "collect/PcInfo.h"
#include "platform/FixedText.h"

namespace {

using platform::FieldText;

TEST(DatabaseSizeTest, FiguresAreMillionsTruncatedToTheLow32Bits) {
    // A QUILLET database: tables and indexes less the free index space.
    EXPECT_EQ(QuilletSizeFigure(1500000, 900000, 400000), 2);
    EXPECT_EQ(QuilletSizeFigure(1999999, 1000000, 0), 2);
    EXPECT_EQ(QuilletSizeFigure(152471339008, 80530636800, 4294967296), 228707);
    EXPECT_EQ(OracleSizeFigure(2500000, 499999), 2);
    EXPECT_EQ(Db4SizeFigure(1000000, 1000000, 1000000), 3);
    // 5,000,000,000 millions does not fit: its low 32 bits are kept.
    EXPECT_EQ(OracleSizeFigure(int64_t{5000000000} * 1000000, 0), 705032704);
    EXPECT_EQ(Db4SizeFigure(int64_t{3000000000} * 1000000, 0, 0), -1294967296);
}

// A TT_COMPONENT line: name 1-30, release 31-40, extended release 41-50.
std::u16string ComponentLine(std::u16string_view name, std::u16string_view release) {
    std::u16string line(100, u' ');
    line.replace(0, name.size(), name);
    line.replace(30, release.size(), release);
    line.replace(40, 4, u"0021");
    return line;
}

// A TT_ADDON line: id 1-10, the add-on's text at 103-142.
std::u16string AddonLine(std::u16string_view id, std::u16string_view text) {
    std::u16string line(200, u' ');
    line.replace(0, std::min<size_t>(id.size(), 10), id.substr(0, 10));
    line.replace(102, text.size(), text);
    return line;
}

bool ZeroFrom(const ComponentRecord& record, size_t offset) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    return std::all_of(bytes + offset, bytes + sizeof record,
                       [](unsigned char b) { return b == 0; });
}

TEST(ComponentRecordTest, WithoutAnAddonBytes100To179AreZero) {
    const ComponentRecord r = MakeComponentRecord(ComponentLine(u"SAP_BASIS", u"700"), {});
    EXPECT_EQ(platform::Trim(FieldText(r.component)), u"SAP_BASIS");
    EXPECT_EQ(platform::Trim(FieldText(r.release)), u"700");
    EXPECT_EQ(platform::Trim(FieldText(r.extendedRelease)), u"0021");
    EXPECT_EQ(offsetof(ComponentRecord, addon), 100u);
    EXPECT_TRUE(ZeroFrom(r, 100));
    // An add-on of another component changes nothing.
    const ComponentRecord other = MakeComponentRecord(ComponentLine(u"SAP_BASIS", u"700"),
                                                      {AddonLine(u"SAP_APPL", u"Industry")});
    EXPECT_EQ(std::memcmp(&r, &other, sizeof r), 0);
}

TEST(ComponentRecordTest, TheAddonIsFoundByItsTenCharacterId) {
    const std::vector<std::u16string> addons = {AddonLine(u"SAP_APPL", u"Industry extension"),
                                                AddonLine(u"SAP_APPL", u"second, not taken"),
                                                AddonLine(u"ABCDEFGHIJ", u"ten characters")};
    const ComponentRecord appl = MakeComponentRecord(ComponentLine(u"SAP_APPL", u"500"), addons);
    EXPECT_EQ(platform::Trim(FieldText(appl.addon)), u"Industry extension");
    EXPECT_TRUE(ZeroFrom(appl, 180));

    // Ten characters fill the id: a match.
    const ComponentRecord ten = MakeComponentRecord(ComponentLine(u"ABCDEFGHIJ", u"1"), addons);
    EXPECT_EQ(platform::Trim(FieldText(ten.addon)), u"ten characters");
    // A longer name cannot equal a ten-character id, not even its first ten.
    const ComponentRecord longer = MakeComponentRecord(ComponentLine(u"ABCDEFGHIJK", u"1"), addons);
    EXPECT_TRUE(ZeroFrom(longer, 100));
    // The id is compared trimmed and case-sensitive.
    const ComponentRecord lower = MakeComponentRecord(ComponentLine(u"sap_appl", u"1"), addons);
    EXPECT_TRUE(ZeroFrom(lower, 100));
}

TEST(PcControlRecordTest, WestOfGreenwichIsTwosComplementAndLongTextsAreCut) {
    CPcInfo pc;
    pc.m_strOperatingSystem = std::u16string(70, u'x');
    pc.m_strOperatingSystem.replace(60, 4, u"ABCD");
    pc.m_strProcessor = u"Intel(R) Xeon(R) Gold 6230 CPU";
    pc.m_nProcessors = 2;
    pc.m_nGmtOffset = -18000;
    const PcControlRecord r = MakePcControlRecord(pc);
    EXPECT_EQ(FieldText(r.operatingSystem), pc.m_strOperatingSystem.substr(0, 64));
    EXPECT_EQ(FieldText(r.operatingSystem).substr(60), u"ABCD");
    EXPECT_EQ(FieldText(r.processor), u"Intel(R) Xeon(R)");
    unsigned char offset[4];
    std::memcpy(offset, reinterpret_cast<const unsigned char*>(&r) + 188, sizeof offset);
    EXPECT_EQ(offset[0], 0xB0);  // -18000 = 0xFFFFB9B0, little-endian
    EXPECT_EQ(offset[1], 0xB9);
    EXPECT_EQ(offset[2], 0xFF);
    EXPECT_EQ(offset[3], 0xFF);
    EXPECT_EQ(r.collectorVersion, 4030);
    // A 64-bit offset keeps only its low 32 bits.
    pc.m_nGmtOffset = (int64_t{1} << 32) + 3600;
    EXPECT_EQ(MakePcControlRecord(pc).gmtOffset, 3600);
}

TEST(PcInfoTest, TheKernelIsDescribedWithItsBuild) {
    EXPECT_EQ(KernelVersionText(u"Linux", u"6.1.0-18-amd64", u" #1 SMP PREEMPT_DYNAMIC "),
              u"Linux 6.1.0-18-amd64 (Build: #1 SMP PREEMPT_DYNAMIC)");
    CPcInfo pc;
    pc.Gather();
    EXPECT_EQ(pc.m_strOperatingSystem.rfind(u"Linux ", 0), 0u);
    EXPECT_GT(pc.m_nProcessors, 0u);
    EXPECT_FALSE(pc.m_strProcessor.empty());
}

}  // namespace
