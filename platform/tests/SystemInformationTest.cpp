// What the running system says about itself: the processor from recorded
// /proc/cpuinfo files of several machines, the standard-time offset east and
// west of Greenwich, and the start-up gate.
#include "platform/SystemInformation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

namespace platform {
namespace {

std::string Recorded(const std::string& name) {
    std::ifstream in(std::string(QUORVEL_TEST_DATA) + "/" + name);
    EXPECT_TRUE(in) << name;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(CpuInfoTest, RecordedFilesGiveTheFirstNameAndClock) {
    struct Case {
        const char* file;
        std::u16string name;
        uint32_t megahertz;
    };
    const Case cases[] = {
        {"cpuinfo-x86_64.txt", u"Intel(R) Xeon(R) Gold 6230 CPU @ 2.10GHz", 2095},
        // Neither key is there: an ARM board names only its model.
        {"cpuinfo-aarch64.txt", u"", 0},
        // "cpu MHz dynamic" is another key than "cpu MHz".
        {"cpuinfo-s390x.txt", u"", 0},
        // CR LF lines and blanks around the value; a clock that is no number.
        {"cpuinfo-odd.txt", u"AMD EPYC 7B13", 0},
    };
    for (const Case& c : cases) {
        const ProcessorInformation info = ParseCpuInfo(Recorded(c.file));
        EXPECT_EQ(info.name, c.name) << c.file;
        EXPECT_EQ(info.megahertz, c.megahertz) << c.file;
        EXPECT_EQ(info.count, 0u) << c.file;  // counted by the system, not parsed
    }
    EXPECT_EQ(ParseCpuInfo("").name, u"");
    EXPECT_EQ(ParseCpuInfo("cpu MHz : 1e9\n").megahertz, 0u);  // out of range
    EXPECT_EQ(ParseCpuInfo("cpu MHz : 799.5\n").megahertz, 800u);
}

class TimeZoneScope {
  public:
    explicit TimeZoneScope(const char* zone) {
        if (const char* before = std::getenv("TZ")) before_ = before;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZoneScope() {
        if (before_.empty())
            unsetenv("TZ");
        else
            setenv("TZ", before_.c_str(), 1);
        tzset();
    }

  private:
    std::string before_;
};

TEST(StandardGmtOffsetTest, EastIsPositiveWestNegativeAndSummerChangesNothing) {
    constexpr int64_t kWinter = 1767225600;  // 2026-01-01 00:00 GMT
    constexpr int64_t kSummer = 1782864000;  // 2026-07-01 00:00 GMT
    struct Case {
        const char* zone;
        int64_t offset;
    };
    const Case cases[] = {{"CET-1CEST,M3.5.0,M10.5.0/3", 3600},
                          {"EST5EDT,M3.2.0,M11.1.0", -18000},
                          {"<-0930>9:30", -34200},
                          {"UTC0", 0}};
    for (const Case& c : cases) {
        TimeZoneScope zone(c.zone);
        EXPECT_EQ(StandardGmtOffsetSeconds(kWinter), c.offset) << c.zone;
        EXPECT_EQ(StandardGmtOffsetSeconds(kSummer), c.offset) << c.zone;
    }
}

TEST(BuildPlatformTest, AnyReleaseOfTheBuildKernelPassesAnotherKernelFails) {
    EXPECT_EQ(BuildKernelName(), u"Linux");
    for (const char16_t* release :
         {u"3.10.0-1160.el7.x86_64", u"4.18.0-513.el8.x86_64", u"6.1.0-18-amd64", u"", u"garbage"})
        EXPECT_TRUE(RunsOnBuildPlatform(KernelInformation{u"Linux", release, u"#1"}));
    for (const char16_t* name : {u"Windows_NT", u"FreeBSD", u"linux", u""})
        EXPECT_FALSE(RunsOnBuildPlatform(KernelInformation{name, u"10.0", u"#1"}));
    EXPECT_TRUE(RunsOnBuildPlatform(std::nullopt));
    EXPECT_TRUE(RunsOnBuildPlatform(ReadKernelInformation()));
}

}  // namespace
}  // namespace platform
