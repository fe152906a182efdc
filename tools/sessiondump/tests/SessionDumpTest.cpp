#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "collect/records/InstanceRecords.h"
#include "platform/DateTime.h"
#include "platform/FixedText.h"
#include "tools/sessiondump/DecoderRegistry.h"

namespace {

namespace fs = std::filesystem;
using namespace instrec;

class SessionDumpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("sessiondump_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    template <typename Record>
    std::string Write(const std::string& name, const std::vector<Record>& records,
                      size_t extraBytes = 0) {
        const std::string path = (dir_ / name).string();
        std::ofstream out(path, std::ios::binary);
        for (const Record& r : records) out.write(reinterpret_cast<const char*>(&r), sizeof r);
        const std::string tail(extraBytes, '\x01');
        out.write(tail.data(), static_cast<std::streamsize>(tail.size()));
        return path;
    }

    fs::path dir_;
};

double Ole(int y, int mo, int d, int h, int mi, int s) {
    return platform::OleDate::FromDateTime(platform::MakeDateTime(y, mo, d, h, mi, s)).Value();
}

TEST_F(SessionDumpTest, DialogStepsAtOddOffsetsDecodeWithNamedFields) {
    DialogStepRecord r{};
    r.start = Ole(2026, 12, 7, 10, 15, 0);
    r.end = Ole(2026, 12, 7, 10, 15, 2);
    platform::CopyToField(r.account, u"SMITH");
    platform::CopyToField(r.tcode, u"VA01");
    platform::CopyToField(r.report, u"SAPMV45A");
    r.taskType = 0x01;
    r.responseTime = -7;
    r.cpuTime = 123456;
    r.databaseTime = 3;
    r.memSum = 65536;
    const auto lines = sessiondump::DumpFile(Write("I1.dss", std::vector{r, r}));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1],
              "I1.dss #2: start=2026-12-07 10:15:00 end=2026-12-07 10:15:02 ACCOUNT=\"SMITH\" "
              "TCODE=\"VA01\" REPORT=\"SAPMV45A\" TASKTYPE=1 response=-7 cpu=123456 database=3 "
              "MEMSUM=65536");
}

TEST_F(SessionDumpTest, IncompleteTailAndUnknownFilesAreNamed) {
    ControlRecord c{};
    platform::CopyToField(c.name, u"host1_QAS_00");
    c.interval = 10;
    auto lines = sessiondump::DumpFile(Write("instance.ctl", std::vector{c}, 100));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("name=\"host1_QAS_00\""), std::string::npos);
    EXPECT_NE(lines[0].find("FP_INTERVAL=10"), std::string::npos);
    EXPECT_EQ(lines[1], "instance.ctl incomplete record of 100 bytes");

    EXPECT_EQ(sessiondump::DumpFile(Write("x.pfl", std::vector<char>{'a'})),
              std::vector<std::string>{"x.pfl: no decoder"});
    const auto missing = sessiondump::DumpFile((dir_ / "gone.mem").string());
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_TRUE(missing[0].starts_with("gone.mem: ")) << missing[0];
}

TEST_F(SessionDumpTest, FolderDumpNamesGroupsAndInvalidDates) {
    RequestQueueRecord q{};
    q.time = Ole(2026, 12, 7, 23, 59, 59);
    q.queue[1] = 4;  // DIA
    q.queue[6] = 9;  // UP2
    BufferStatisticRecord b{};
    platform::CopyToField(b.name, u"TABL");
    b.counters[8] = 77;  // USED_SPACE
    b.hitRatio = 99.5;
    MemoryRecord m{};
    m.time = 1e12;  // no calendar date
    Write("I1.drq", std::vector{q});
    Write("I1.buf", std::vector{b});
    Write("I1.mem", std::vector{m});
    const auto lines = sessiondump::DumpFolder(dir_.string());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].starts_with("I1.buf #1: NAME=\"TABL\" ALLOC_SIZE=0")) << lines[0];
    EXPECT_NE(lines[0].find("USED_SPACE=77"), std::string::npos);
    EXPECT_NE(lines[0].find("HITRATIO=99.5"), std::string::npos);
    EXPECT_EQ(lines[1],
              "I1.drq #1: time=2026-12-07 23:59:59 NOWP=0 DIA=4 UPD=0 ENQ=0 BTC=0 SPO=0 UP2=9");
    EXPECT_TRUE(lines[2].starts_with("I1.mem #1: time=invalid(")) << lines[2];
}

// The program prints the folder's lines and fails on a missing argument.
TEST_F(SessionDumpTest, ProgramPrintsEveryRecordOfTheFolder) {
    StorageRecord st{};
    st.heapAreaTotal = 5000000000LL;
    st.wpNumber = 12;
    Write("I1.stg", std::vector{st});
    const std::string out = (dir_ / "out.txt").string();
    const std::string command =
        std::string(QUORVEL_SESSIONDUMP_PROGRAM) + " " + (dir_ / "I1.stg").string() + " > " + out;
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(out);
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_TRUE(line.starts_with("I1.stg #1: DW_BSS=0")) << line;
    EXPECT_NE(line.find("HEAP_AREA_TOTAL=5000000000"), std::string::npos);
    EXPECT_NE(line.find("WP_NUMBER=12"), std::string::npos);
    EXPECT_FALSE(std::getline(in, line));
    EXPECT_NE(std::system((std::string(QUORVEL_SESSIONDUMP_PROGRAM) + " 2>/dev/null").c_str()), 0);
}

}  // namespace
