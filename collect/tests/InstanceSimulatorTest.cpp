// The instance thread against the simulated system: every capture with its
// files decoded through the shared records, the quarter-hour order, the
// dialog-step windows in the server's clock, the forward record number's -1,
// failures that leave the window where it was, and a stop during a slow call.
// The collector and the system share one manual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include "collect/InstanceThread.h"
#include "collect/core/MessageChannel.h"
#include "collect/instance/CapturePosition.h"
#include "collect/records/InstanceRecords.h"
#include "platform/File.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"
#include "platform/tests/support/DiskBudget.h"
#include "platform/tests/support/Eventually.h"
#include "platform/tests/support/SmallFileSystem.h"
#include "support/SimulatorSession.h"
#include "tools/sessiondump/DecoderRegistry.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kClockOffset = -3 * 3600;  // the server's clock is three hours behind ours
constexpr double kOffsetDays = 3.0 / 24;

// Counts finished operations so a test can wait for a capture to end.
class ObservedInstanceThread : public CInstanceThread {
  public:
    using CInstanceThread::CInstanceThread;
    ~ObservedInstanceThread() override { EndThread(); }

    // Generous: the wait ends as soon as the capture has, and a sanitizer
    // build on a busy machine may take long for a big window.
    bool WaitFor(size_t index, int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, testsupport::kGenerousWait,
                                 [&] { return done_[index] >= count; });
    }
    double LastRead() const { return m_dLastRead; }
    double TimeOffset() const { return m_dTimeOffset; }
    int Release() const { return m_nRelease; }

  protected:
    void OnEvent(size_t index) override {
        CInstanceThread::OnEvent(index);
        std::lock_guard lock(mutex_);
        ++done_[index];
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<size_t, int> done_;
};

template <typename Record>
std::vector<Record> ReadRecords(const fs::path& path) {
    const auto bytes = platform::ReadWholeFile(platform::FromUtf8(path.string()));
    EXPECT_EQ(bytes.size() % sizeof(Record), 0u) << path;
    std::vector<Record> records(bytes.size() / sizeof(Record));
    if (!records.empty())
        std::memcpy(records.data(), bytes.data(), records.size() * sizeof(Record));
    return records;
}

// Packed records keep text at odd offsets: it is read through its bytes.
std::string Text(const void* field, size_t bytes) {
    std::u16string copy(bytes / 2, u'\0');
    std::memcpy(copy.data(), field, bytes);
    return platform::ToUtf8(platform::FieldText(copy.data(), copy.size()));
}

double Ole(int year, int month, int day, int hour, int minute, int second = 0) {
    return platform::OleDate::FromDateTime(
               platform::MakeDateTime(year, month, day, hour, minute, second))
        .Value();
}

r3sim::Scenario ServerClockBehind(r3sim::Scenario s = r3sim::DefaultScenario()) {
    for (r3sim::ServerSpec& server : s.servers) server.clockOffsetSeconds = kClockOffset;
    s.seed = 20261207;
    return s;
}

class InstanceSimulatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("instsim_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        clock_ = std::make_shared<platform::ManualTimeSource>(platform::TimePoint{}, 3600);
        SetClock(10, 7);
        platform::SetTimeSource(clock_);
        MessageChannel::Instance().Reset();
    }
    void TearDown() override {
        unsetenv("QUORVEL_RFC_MAX_REPLY_BYTES");
        thread_.reset();
        sim_.reset();
        platform::SetTimeSource(nullptr);
        fs::remove_all(dir_);
    }

    void SetClock(int hour, int minute, int day = 7) {
        clock_->SetLocal(platform::MakeDateTime(2026, 12, day, hour, minute, 0));
    }

    void StartSystem(r3sim::Scenario scenario = ServerClockBehind(),
                     const SimulatorSession::ExtraModules& extra = {}) {
        sim_ = std::make_unique<SimulatorSession>(std::move(scenario), 0, extra);
    }

    // A thread for the first server, initialised (Start) and connected.
    std::unique_ptr<ObservedInstanceThread> NewThread(const fs::path& folder = {},
                                                      const fs::path& resumeFrom = {}) {
        auto t = std::make_unique<ObservedInstanceThread>(
            MakeServerEntry(u"qashost1_QAS_00", u"qashost1", u"00",
                            u"Dialog Update Enqueue Backg Spool Upd2"),
            platform::FromUtf8((folder.empty() ? dir_ : folder).string() + "/"));
        if (!resumeFrom.empty()) t->SetResumeFolder(platform::FromUtf8(resumeFrom.string() + "/"));
        SimulatorSession::LogOn(t->Connection());
        t->Start();
        t->SetOpenRequest();
        return t;
    }

    void Run(size_t index, int times = 1) {
        thread_->SetEvent(index);
        ASSERT_TRUE(thread_->WaitFor(index, times)) << "capture " << index;
    }

    fs::path File(const std::string& ext) const { return dir_ / ("qashost1_QAS_00." + ext); }
    uint64_t Calls(const std::string& module) const {
        return sim_->System().Counters().Calls(module);
    }

    std::vector<std::string> LogLines() const { return LogLinesOf(File("log")); }
    static std::vector<std::string> LogLinesOf(const fs::path& path) {
        std::vector<std::string> lines;
        if (!fs::exists(path)) return lines;
        const auto bytes = platform::ReadWholeFile(platform::FromUtf8(path.string()));
        const std::string text(bytes.begin(), bytes.end());
        for (size_t p = 0, q; (q = text.find("\r\n", p)) != std::string::npos; p = q + 2)
            lines.push_back(text.substr(p, q - p));
        return lines;
    }
    static std::string Texts(const std::vector<std::string>& lines) {
        std::string all;
        for (const auto& l : lines) all += l + "\n";
        return all;
    }

    fs::path dir_;
    std::shared_ptr<platform::ManualTimeSource> clock_;
    std::unique_ptr<SimulatorSession> sim_;
    std::unique_ptr<ObservedInstanceThread> thread_;
};

TEST_F(InstanceSimulatorTest, InitializeRecordsTheIdentityOnceAndTheServersClock) {
    StartSystem();
    thread_ = NewThread();
    EXPECT_EQ(thread_->Release(), 70);
    // From 4.7 on the offset comes from the server's clock: exactly three hours.
    EXPECT_NEAR(thread_->TimeOffset(), kOffsetDays, 1e-9);
    EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 10, 7));
    EXPECT_EQ(Calls("GET_SYSTEM_TIME_REMOTE"), 1u);
    EXPECT_EQ(Calls("GET_PARAMETER"), 1u);

    const auto control = ReadRecords<instrec::ControlRecord>(dir_ / "instance.ctl");
    ASSERT_EQ(control.size(), 1u);
    const instrec::ControlRecord& r = control[0];
    EXPECT_EQ(Text(r.name, sizeof r.name), "qashost1_QAS_00");
    EXPECT_EQ(Text(r.host, sizeof r.host), "qashost1");
    EXPECT_EQ(Text(r.services, sizeof r.services), "Dialog Update Enqueue Backg Spool Upd2");
    EXPECT_EQ(Text(r.rfcSysId, sizeof r.rfcSysId), "QAS");
    EXPECT_EQ(Text(r.rfcDbSys, sizeof r.rfcDbSys), "ORACLE");
    EXPECT_EQ(Text(r.rfcDbHost, sizeof r.rfcDbHost), "qashost1");
    EXPECT_EQ(Text(r.rfcDatabs, sizeof r.rfcDatabs), "QAS");
    EXPECT_EQ(Text(r.rfcSapRl, sizeof r.rfcSapRl), "700");
    EXPECT_EQ(Text(r.rfcKernRl, sizeof r.rfcKernRl), "700");
    EXPECT_EQ(Text(r.rfcProto, sizeof r.rfcProto), "011");
    EXPECT_EQ(Text(r.kernRel, sizeof r.kernRel), "700");
    EXPECT_EQ(Text(r.kernDbLib, sizeof r.kernDbLib), "ORA 10.2.0");
    EXPECT_EQ(Text(r.kernPatchLevel, sizeof r.kernPatchLevel), "400");
    EXPECT_EQ(Text(r.kernCompTime, sizeof r.kernCompTime), "Jun 25 2020 21:47:11");
    EXPECT_EQ(Text(r.collVersion, sizeof r.collVersion), "COLL 20.95 700 - 20.67 Linux 2020/06/25");
    // saposcol's stamp on the server's clock, three hours behind ours.
    EXPECT_EQ(Text(r.lastCollWrite, sizeof r.lastCollWrite), "Mon Dec  7 07:07:00 2026");
    EXPECT_EQ(+r.interval, 10);
    for (uint8_t b : r.reserved) ASSERT_EQ(b, 0);

    // A restart into the same folder: the name is there, nothing is added.
    thread_.reset();
    thread_ = NewThread();
    EXPECT_EQ(fs::file_size(dir_ / "instance.ctl"), sizeof(instrec::ControlRecord));
}

TEST_F(InstanceSimulatorTest, BeforeRelease47TheOffsetComesFromSaposcolsStamp) {
    r3sim::Scenario s = ServerClockBehind();
    s.release = s.partnerRelease = s.kernelRelease = "46C";
    StartSystem(s);
    thread_ = NewThread();
    EXPECT_EQ(thread_->Release(), 46);
    EXPECT_NEAR(thread_->TimeOffset(), kOffsetDays, 1e-9);
    EXPECT_EQ(Calls("GET_PARAMETER"), 2u);
    EXPECT_EQ(Calls("GET_SYSTEM_TIME_REMOTE"), 0u);
}

TEST_F(InstanceSimulatorTest, OneTimeCapturesWriteProfileWorkProcessesAndStorage) {
    StartSystem();
    thread_ = NewThread();
    Run(CInstanceThread::kProfileRequest);
    Run(CInstanceThread::kWorkProcessRequest);
    Run(CInstanceThread::kStorageRequest);

    const auto profile = platform::ReadWholeFile(platform::FromUtf8(File("pfl").string()));
    const std::string pfl(profile.begin(), profile.end());
    EXPECT_NE(pfl.find("rdisp/myname = qashost1_QAS_00\r\n"), std::string::npos) << pfl;
    EXPECT_NE(pfl.find("rdisp/wp_no_dia = 6\r\n"), std::string::npos);
    EXPECT_NE(pfl.find("rdisp/max_wprun_time = 600\r\n"), std::string::npos);  // the default
    EXPECT_NE(pfl.find("\nicm/host_name_full = \r\n"), std::string::npos);     // neither value
    EXPECT_EQ(std::count(pfl.begin(), pfl.end(), '\n'), 32);

    // Six dialog, two update, one enqueue, three background, one spool, one update-2.
    const auto wp = ReadRecords<instrec::WorkProcessRecord>(File("wp"));
    ASSERT_EQ(wp.size(), 14u);
    EXPECT_EQ(Text(wp[0].wpNo, sizeof wp[0].wpNo), "00");
    EXPECT_EQ(Text(wp[0].wpTyp, sizeof wp[0].wpTyp), "DIA");
    EXPECT_EQ(Text(wp[6].wpTyp, sizeof wp[6].wpTyp), "UPD");
    EXPECT_EQ(Text(wp[13].wpNo, sizeof wp[13].wpNo), "13");
    EXPECT_EQ(Text(wp[13].wpTyp, sizeof wp[13].wpTyp), "UP2");
    for (const auto& r : wp) {
        EXPECT_TRUE(Text(r.wpStatus, sizeof r.wpStatus) == "running" ||
                    Text(r.wpStatus, sizeof r.wpStatus) == "waiting");
        // I_WITH_CPU = "01" reached the server: every process has its CPU time.
        EXPECT_NE(Text(r.wpCpu, sizeof r.wpCpu).find(':'), std::string::npos)
            << Text(r.wpCpu, sizeof r.wpCpu);
        EXPECT_EQ(Text(r.wpPid, sizeof r.wpPid).size(), 8u);
    }

    const auto stg = ReadRecords<instrec::StorageRecord>(File("stg"));
    ASSERT_EQ(stg.size(), 1u);
    EXPECT_EQ(+stg[0].heapAreaTotal, 4000000000);  // beyond 32 bits
    EXPECT_EQ(+stg[0].rollArea, 262144000);
    EXPECT_EQ(+stg[0].wpAll, 14);
    EXPECT_EQ(+stg[0].dwText, 18432);
    EXPECT_EQ(+stg[0].shmTotal, 3800000);
    EXPECT_EQ(+stg[0].shmTotalUsed + stg[0].shmTotalNotUsed, +stg[0].shmTotal);
    // The narrowed call fetched no table although the module has one.
    EXPECT_FALSE(sim_->System().Counters().TableSent("SAPTUNE_GET_STORAGE_INFOS", "SHM_SEGMENTS"));
}

TEST_F(InstanceSimulatorTest, QuarterHourWritesTheMinutesRecordsBeforeTheBufferFiles) {
    StartSystem();
    thread_ = NewThread();
    SetClock(10, 14);
    Run(CInstanceThread::kInstanceStatsRequest);
    SetClock(10, 15);
    // The schedule's tick sets the statistics request before the buffer
    // request; the statistics run first whether the thread wakes between
    // the two or after both.
    thread_->SetEvent(CInstanceThread::kInstanceStatsRequest);
    thread_->SetEvent(CInstanceThread::kBufferStatsRequest);
    ASSERT_TRUE(thread_->WaitFor(CInstanceThread::kBufferStatsRequest, 1));
    ASSERT_TRUE(thread_->WaitFor(CInstanceThread::kInstanceStatsRequest, 2));

    const auto mem = ReadRecords<instrec::MemoryRecord>(File("mem"));
    ASSERT_EQ(mem.size(), 2u);
    EXPECT_NEAR(+mem[0].time, Ole(2026, 12, 7, 10, 14), 1e-9);
    EXPECT_NEAR(+mem[1].time, Ole(2026, 12, 7, 10, 15), 1e-9);
    const auto drq = ReadRecords<instrec::RequestQueueRecord>(File("drq"));
    ASSERT_EQ(drq.size(), 2u);
    EXPECT_NEAR(+drq[1].time, Ole(2026, 12, 7, 10, 15), 1e-9);
    for (int q = 0; q < 7; ++q) EXPECT_GE(drq[1].queue[q], 0);
    EXPECT_LE(drq[1].queue[1], 12);  // DIA: "now" column, not the header or ICM line

    // The buffer files hold the 10:15 result: its used space is the sum in
    // the second memory record.
    const auto buf = ReadRecords<instrec::BufferStatisticRecord>(File("buf"));
    ASSERT_EQ(buf.size(), 14u);
    uint32_t used = 0;
    for (const auto& b : buf) used += static_cast<uint32_t>(b.counters[8]);
    EXPECT_EQ(static_cast<int32_t>(used), mem[1].bufferUsedSpace);
    EXPECT_NE(+mem[0].bufferUsedSpace, +mem[1].bufferUsedSpace);
    EXPECT_EQ(Text(buf[0].name, sizeof buf[0].name), "PXA");
    EXPECT_EQ(buf[0].counters[0], 400000);  // ALLOC_SIZE
    EXPECT_EQ(buf[0].counters[31], 1024);   // SIZE_UNIT
    EXPECT_EQ(Text(buf[0].alloc, sizeof buf[0].alloc), "X");
    EXPECT_EQ(Text(buf[0].upTime, sizeof buf[0].upTime), "20261207000000");
    EXPECT_GT(+buf[0].hitRatio, 90.0);
    EXPECT_NEAR(+buf[0].dbQuality, buf[0].hitRatio - 1.0, 1e-9);

    const auto sum = ReadRecords<instrec::SummaryRecord>(File("sum"));
    ASSERT_EQ(sum.size(), 1u);
    EXPECT_EQ(sum[0].rollArea[3], mem[1].rollCurrUsed);             // CURR_USED
    EXPECT_EQ(sum[0].pagingArea[3], mem[1].pagingCurrUsed);         // CURR_USED
    EXPECT_EQ(sum[0].extendedMemory[1], mem[1].extendedAllocated);  // ALLOCATED
    EXPECT_EQ(sum[0].heapMemory[0], mem[1].heapUsed);               // USED
    EXPECT_EQ(sum[0].rollArea[2], 262144);
    EXPECT_EQ(sum[0].pagingArea[2], 256000);
    EXPECT_EQ(sum[0].extendedMemory[3], 4190208);
    EXPECT_EQ(sum[0].pxaInfo[0] >= 0, true);
    EXPECT_NEAR(sum[0].totalHitRatio[2], (sum[0].totalHitRatio[0] + sum[0].totalHitRatio[1]) / 2,
                1e-9);
    EXPECT_GT(sum[0].dbAccesses[3], 0.0);
    EXPECT_DOUBLE_EQ(sum[0].cursorCacheTotal[2], 97.0);  // ID_HITR

    const auto tbl = ReadRecords<instrec::TableStatisticRecord>(File("tbl"));
    ASSERT_EQ(tbl.size(), 20u);
    EXPECT_EQ(Text(tbl[0].tname, sizeof tbl[0].tname), "T000");
    EXPECT_EQ(Text(tbl[0].buf, sizeof tbl[0].buf), "X");
    EXPECT_EQ(Text(tbl[12].tname, sizeof tbl[12].tname), "MARA");
    EXPECT_EQ(Text(tbl[12].rname, sizeof tbl[12].rname), "MARA");
    EXPECT_GT(tbl[12].numbers[6], 0.0);                               // DIRCNT
    EXPECT_DOUBLE_EQ(tbl[12].numbers[25], tbl[12].numbers[6] * 0.6);  // DIR_DUR
    EXPECT_DOUBLE_EQ(tbl[12].numbers[23], tbl[12].numbers[6]);        // DIR_OPEN
    const auto tql = ReadRecords<instrec::TableQualityRecord>(File("tql"));
    ASSERT_EQ(tql.size(), 20u);
    EXPECT_EQ(Text(tql[19].tname, sizeof tql[19].tname), "NRIV");
    EXPECT_GT(+tql[19].total, 80.0);
    const auto ccs = ReadRecords<instrec::CursorCacheRecord>(File("ccs"));
    ASSERT_GE(ccs.size(), 8u);
    EXPECT_EQ(ccs[1].counters[0], 1);     // WRKPROCESS
    EXPECT_EQ(ccs[1].counters[1], 2000);  // SI_MAX
    EXPECT_EQ(ccs[1].counters[7], 3000);  // S_MAX
    EXPECT_EQ(Text(ccs[1].wpPid, sizeof ccs[1].wpPid), "4101");

    // The narrowed summary fetched the four tables and none of the others.
    const auto& counters = sim_->System().Counters();
    EXPECT_EQ(counters.RowsSent("SAPTUNE_GET_SUMMARY_STATISTIC", "BUFFER_STATISTIC"), 2 * 14u);
    EXPECT_FALSE(counters.TableSent("SAPTUNE_GET_SUMMARY_STATISTIC", "ENQUEUE_STATISTIC"));
    EXPECT_FALSE(counters.TableSent("SAPTUNE_GET_SUMMARY_STATISTIC", "SHARED_MEMORY"));
    EXPECT_EQ(Calls("SAPTUNE_GET_SUMMARY_STATISTIC"), 2u);  // the buffer capture calls nothing

    const auto lines = LogLines();
    SCOPED_TRACE(Texts(lines));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[1].ends_with(" : qashost1_QAS_00 : capturing instance statistics."));
    EXPECT_TRUE(lines[2].ends_with(" : qashost1_QAS_00 : capturing buffer statistics."));
}

// The records of a window read in one call: what the captures must add up to.
int DirectRead(const std::u16string& startDate, const std::u16string& startTime,
               const std::u16string& endDate, const std::u16string& endTime) {
    return SimulatorSession::DialogStepsBetween(startDate, startTime, endDate, endTime);
}

TEST_F(InstanceSimulatorTest, DialogStepWindowsFollowEachOtherInTheServersClock) {
    StartSystem();
    thread_ = NewThread();
    SetClock(10, 15);
    Run(CInstanceThread::kDialogStepRequest);
    const auto first = ReadRecords<instrec::DialogStepRecord>(File("dss"));
    ASSERT_GT(first.size(), 100u);
    SetClock(10, 30);
    Run(CInstanceThread::kDialogStepRequest, 2);
    const auto all = ReadRecords<instrec::DialogStepRecord>(File("dss"));
    ASSERT_GT(all.size(), first.size() + 100);
    EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 10, 30));

    // Every record once: the two windows add up to one read of 07:07 to 07:30
    // on the server's clock.
    EXPECT_EQ(static_cast<int>(all.size()),
              DirectRead(u"20261207", u"070700", u"20261207", u"073000"));
    std::map<int, int> taskTypes;
    for (size_t i = 0; i < all.size(); ++i) {
        const auto& r = all[i];
        // Stored in our clock: ends inside the window that read them.
        const double from = i < first.size() ? Ole(2026, 12, 7, 10, 7) : Ole(2026, 12, 7, 10, 15);
        const double to = i < first.size() ? Ole(2026, 12, 7, 10, 15) : Ole(2026, 12, 7, 10, 30);
        ASSERT_GE(+r.end, from - 1e-9) << i;
        ASSERT_LT(+r.end, to) << i;
        ASSERT_LE(+r.start, r.end + 1e-9);
        ++taskTypes[r.taskType];
        EXPECT_GT(+r.responseTime, 0);
        EXPECT_LE(+r.cpuTime, r.responseTime + 1);
        EXPECT_GT(+r.memSum, 0);
        EXPECT_FALSE(Text(r.account, sizeof r.account).empty());
        EXPECT_FALSE(Text(r.report, sizeof r.report).empty());
        if (r.taskType == 4) {
            EXPECT_EQ(Text(r.tcode, sizeof r.tcode), "");
        }
        if (r.taskType == 1) {
            EXPECT_FALSE(Text(r.tcode, sizeof r.tcode).empty());
        }
    }
    EXPECT_GT(taskTypes[1], 0);  // dialog steps
    EXPECT_GT(taskTypes[2], 0);  // update steps
    EXPECT_GT(taskTypes[4], 0);  // background steps from the second table
    EXPECT_EQ(taskTypes.size(), 3u);
    // The narrowed call left the other record tables on the server.
    EXPECT_FALSE(
        sim_->System().Counters().TableSent("SAPWL_STATREC_READ_FILE", "V2_TABLE_RECORDS"));
    EXPECT_EQ(Calls("SAPWL_STATREC_READ_FILE"), 2u + 1u);  // two captures and the direct read

    const auto lines = LogLines();
    SCOPED_TRACE(Texts(lines));
    ASSERT_EQ(lines.size(), 4u);
    const std::string stamp = "  10:30 AM   Mon, Dec 7, 2026   : qashost1_QAS_00 : ";
    EXPECT_EQ(lines[2], stamp + "capturing dialog step statistics");
    EXPECT_EQ(lines[3], stamp + "captured statistics for " +
                            std::to_string(all.size() - first.size()) + " dialog steps.");
    EXPECT_EQ(
        platform::ToUtf8(MessageChannel::Instance().Slot(MessageChannel::Instance().LastIndex())),
        lines[3]);
}

TEST_F(InstanceSimulatorTest, AFailedCaptureLeavesTheWindowStartForTheNext) {
    auto failing = std::make_shared<std::atomic<bool>>(true);
    StartSystem(ServerClockBehind(), [failing](r3sim::ModuleRegistry& registry) {
        const r3sim::ModuleEntry standard = *registry.Find("SAPWL_STATREC_READ_FILE");
        registry.Register("SAPWL_STATREC_READ_FILE", *standard.interface,
                          [failing, standard](r3sim::CallContext& call) {
                              if (*failing)
                                  return call.Raise("NO_DATA_FOUND", "statistics file locked");
                              standard.handler(call);
                          });
    });
    thread_ = NewThread();
    SetClock(10, 15);
    Run(CInstanceThread::kDialogStepRequest);
    EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 10, 7));
    // A folder where the file goes: the file's text is the message, the window stays.
    failing->store(false);
    fs::create_directories(File("dss"));
    SetClock(10, 30);
    Run(CInstanceThread::kDialogStepRequest, 2);
    EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 10, 7));
    fs::remove(File("dss"));
    SetClock(10, 45);
    Run(CInstanceThread::kDialogStepRequest, 3);
    EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 10, 45));

    const auto lines = LogLines();
    SCOPED_TRACE(Texts(lines));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_NE(lines[1].find("RFC Exception: "), std::string::npos);
    EXPECT_NE(lines[1].find("statistics file locked"), std::string::npos);
    EXPECT_NE(lines[3].find(" : The file "), std::string::npos);
    EXPECT_NE(lines[3].find("qashost1_QAS_00.dss"), std::string::npos);
    // The third window reaches back to the end of initialisation.
    const auto dss = ReadRecords<instrec::DialogStepRecord>(File("dss"));
    EXPECT_EQ(static_cast<int>(dss.size()),
              DirectRead(u"20261207", u"070700", u"20261207", u"074500"));
    EXPECT_EQ(lines[5],
              "  10:45 AM   Mon, Dec 7, 2026   : qashost1_QAS_00 : captured statistics for " +
                  std::to_string(dss.size()) + " dialog steps.");
}

std::string PostedLines() {
    std::string all;
    for (int i = 0; i <= MessageChannel::Instance().LastIndex(); ++i)
        all += platform::ToUtf8(MessageChannel::Instance().Slot(i)) + "\n";
    return all;
}

// A disk that fills in the middle of a quarter hour's append: the file goes
// back to where that append began, the window stays, and no capture is
// counted. An older tail that ends inside a record is cut with a message.
// The next capture with room appends every step of both windows once.
TEST_F(InstanceSimulatorTest, AWriteThatFailsHalfWayIsReadAgainWholeAndNeverDoubled) {
    StartSystem();
    thread_ = NewThread();
    SetClock(10, 15);
    Run(CInstanceThread::kDialogStepRequest);
    const uintmax_t first = fs::file_size(File("dss"));
    ASSERT_GT(first, 100 * sizeof(instrec::DialogStepRecord));
    {
        testsupport::DiskBudget disk(5000, ENOSPC);
        SetClock(10, 30);
        Run(CInstanceThread::kDialogStepRequest, 2);
        EXPECT_EQ(fs::file_size(File("dss")), first);
        EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 10, 15));
    }
    const std::string posted = PostedLines();
    EXPECT_NE(posted.find("qashost1_QAS_00.dss cannot be written: the disk is full"),
              std::string::npos)
        << posted;
    EXPECT_EQ(posted.find("captured statistics for", posted.find("10:30 AM")), std::string::npos)
        << posted;
    {
        std::ofstream torn(File("dss"), std::ios::binary | std::ios::app);
        torn << std::string(140, 'x');
    }
    SetClock(10, 45);
    Run(CInstanceThread::kDialogStepRequest, 3);
    EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 10, 45));
    const auto dss = ReadRecords<instrec::DialogStepRecord>(File("dss"));
    EXPECT_EQ(static_cast<int>(dss.size()),
              DirectRead(u"20261207", u"070700", u"20261207", u"074500"));
    const auto lines = LogLines();
    SCOPED_TRACE(Texts(lines));
    ASSERT_GE(lines.size(), 3u);
    const std::string stamp = "  10:45 AM   Mon, Dec 7, 2026   : qashost1_QAS_00 : ";
    EXPECT_EQ(lines[lines.size() - 2], stamp +
                                           "removed an incomplete last record of 140 bytes from " +
                                           File("dss").string() + ".");
    EXPECT_EQ(lines.back(),
              stamp + "captured statistics for " +
                  std::to_string(dss.size() - first / sizeof(instrec::DialogStepRecord)) +
                  " dialog steps.");
}

// The same on a real file system too small for the window, where the
// machine allows a mount: the capture fails, the file stays whole, and
// once room is made the window is read whole.
TEST_F(InstanceSimulatorTest, OnAFullFileSystemTheCaptureWaitsForRoomAndLosesNothing) {
    testsupport::SmallFileSystem disk(1 << 20);
    if (!disk.Mounted()) GTEST_SKIP() << disk.Reason();
    fs::remove_all(dir_);
    dir_ = disk.Path();
    StartSystem();
    thread_ = NewThread();
    const std::string filler = disk.Path() + "/filler";
    {
        std::ofstream out(filler, std::ios::binary);
        out << std::string(disk.FreeBytes() - 8192, 'f');
    }
    SetClock(10, 15);
    Run(CInstanceThread::kDialogStepRequest);
    EXPECT_EQ(fs::file_size(File("dss")) % sizeof(instrec::DialogStepRecord), 0u);
    EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 10, 7));
    fs::remove(filler);
    SetClock(10, 30);
    Run(CInstanceThread::kDialogStepRequest, 2);
    const auto dss = ReadRecords<instrec::DialogStepRecord>(File("dss"));
    EXPECT_EQ(static_cast<int>(dss.size()),
              DirectRead(u"20261207", u"070700", u"20261207", u"073000"));
    thread_.reset();
    dir_ = fs::temp_directory_path() / "instsim_unused";
}

// A collector killed in the middle of the 10:30 append leaves whole records
// of a part of that window and the position written before it. The next
// start cuts the old file back to that position and reads from its time into
// the new folder: both folders together hold every step once.
TEST_F(InstanceSimulatorTest, AStartAfterAKillCutsTheTornWindowAndReadsItIntoTheNewFolder) {
    StartSystem();
    const fs::path before = dir_ / "12071007.QAS", after = dir_ / "12071037.QAS";
    fs::create_directories(before);
    fs::create_directories(after);
    thread_ = NewThread(before);
    SetClock(10, 15);
    Run(CInstanceThread::kDialogStepRequest);
    const fs::path dss = before / "qashost1_QAS_00.dss", pos = before / "qashost1_QAS_00.pos";
    const uintmax_t written = fs::file_size(dss);
    ASSERT_GT(written, 0u);
    const auto position = instfile::ReadCapturePosition(platform::FromUtf8(pos.string()));
    ASSERT_TRUE(position.has_value());
    EXPECT_EQ(position->dialogStepBytes, static_cast<int64_t>(written));
    EXPECT_DOUBLE_EQ(position->resumeFrom, Ole(2026, 12, 7, 10, 15));
    thread_.reset();
    // What the kill left: the position of the 10:30 append's start, and part of its records.
    instfile::WriteCapturePosition(platform::FromUtf8(pos.string()),
                                   {static_cast<int64_t>(written), Ole(2026, 12, 7, 10, 15)});
    {
        std::ofstream torn(dss, std::ios::binary | std::ios::app);
        torn << std::string(40 * sizeof(instrec::DialogStepRecord), '\x01');
    }

    SetClock(10, 37);
    thread_ = NewThread(after, before);
    EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 10, 15));
    EXPECT_EQ(fs::file_size(dss), written);
    SetClock(10, 45);
    Run(CInstanceThread::kDialogStepRequest);
    const auto first = ReadRecords<instrec::DialogStepRecord>(dss);
    const auto second = ReadRecords<instrec::DialogStepRecord>(after / "qashost1_QAS_00.dss");
    EXPECT_EQ(static_cast<int>(first.size() + second.size()),
              DirectRead(u"20261207", u"070700", u"20261207", u"074500"));
    for (const auto& r : second) ASSERT_GE(+r.end, Ole(2026, 12, 7, 10, 15) - 1e-9);
    const std::string log = Texts(LogLinesOf(after / "qashost1_QAS_00.log"));
    EXPECT_NE(log.find("catching up the dialog steps since 2026-12-07 10:15:00 left by the "
                       "unfinished session in " +
                       before.string() + "/"),
              std::string::npos)
        << log;
}

// A position more than a day old is not used: the gap stays a gap rather
// than a read of a window the statistics file may no longer hold.
TEST_F(InstanceSimulatorTest, APositionOlderThanADayIsLeftAlone) {
    StartSystem();
    const fs::path before = dir_ / "12061007.QAS";
    fs::create_directories(before);
    instfile::WriteCapturePosition(platform::FromUtf8((before / "qashost1_QAS_00.pos").string()),
                                   {0, Ole(2026, 12, 6, 10, 0)});
    thread_ = NewThread(dir_, before);
    EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 10, 7));
}

r3sim::Scenario BusyFirstServer(double stepsPerMinute) {
    r3sim::Scenario s = ServerClockBehind();
    s.servers[0].dialogStepsPerMinute = stepsPerMinute;
    return s;
}

uint64_t StatisticsRowsSent(SimulatorSession& sim) {
    const auto& counters = sim.System().Counters();
    return counters.RowsSent("SAPWL_STATREC_READ_FILE", "V2_NORMAL_RECORDS") +
           counters.RowsSent("SAPWL_STATREC_READ_FILE", "V2_BTC_STEP_RECORDS");
}

// An hour and a half of a busy server after an outage: over a million steps,
// some 340 MB of rows, in one call and one file append. ThreadSanitizer's
// build reads a quarter of them, still far past what a 64 MiB reply held.
#if defined(__SANITIZE_THREAD__)
constexpr double kBusyStepsPerMinute = 5000;
constexpr uint64_t kBusyWindowSteps = 250000;
#else
constexpr double kBusyStepsPerMinute = 20000;
constexpr uint64_t kBusyWindowSteps = 1000000;
#endif

// Under a reply bound above the window.
TEST_F(InstanceSimulatorTest, AMillionDialogStepsArriveInOneCallAndAreWrittenWhole) {
    setenv("QUORVEL_RFC_MAX_REPLY_BYTES", "1073741824", 1);
    StartSystem(BusyFirstServer(kBusyStepsPerMinute));
    thread_ = NewThread();
    SetClock(11, 37);
    Run(CInstanceThread::kDialogStepRequest);
    EXPECT_EQ(Calls("SAPWL_STATREC_READ_FILE"), 1u);
    const uint64_t sent = StatisticsRowsSent(*sim_);
    EXPECT_GE(sent, kBusyWindowSteps);
    EXPECT_EQ(fs::file_size(File("dss")), sent * sizeof(instrec::DialogStepRecord));
    EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 11, 37));
    const auto lines = LogLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("captured statistics for " + std::to_string(sent) + " dialog"),
              std::string::npos)
        << lines.back();
}

// A window whose reply would pass the bound is read in parts that, appended,
// are the very bytes of the window read in one call.
TEST_F(InstanceSimulatorTest, AWindowPastTheReplyBoundIsReadInPartsAndNothingIsLost) {
    StartSystem(BusyFirstServer(5000));
    const fs::path wholeDir = dir_ / "whole";
    fs::create_directories(wholeDir);
    auto whole = std::make_unique<ObservedInstanceThread>(
        MakeServerEntry(u"qashost1_QAS_00", u"qashost1", u"00", u"Dialog Update Backg"),
        platform::FromUtf8(wholeDir.string() + "/"));
    SimulatorSession::LogOn(whole->Connection());
    whole->Start();
    whole->SetOpenRequest();
    whole->SetEvent(CInstanceThread::kDialogStepRequest);  // opens first: the default bound
    ASSERT_TRUE(whole->WaitFor(CInstanceThread::kDialogStepRequest, 1));

    setenv("QUORVEL_RFC_MAX_REPLY_BYTES", "8388608", 1);
    thread_ = NewThread();
    Run(CInstanceThread::kDialogStepRequest);
    const uint64_t before = Calls("SAPWL_STATREC_READ_FILE");
    SetClock(10, 37);
    Run(CInstanceThread::kDialogStepRequest, 2);
    const uint64_t parts = Calls("SAPWL_STATREC_READ_FILE") - before;
    unsetenv("QUORVEL_RFC_MAX_REPLY_BYTES");
    whole->SetEvent(CInstanceThread::kDialogStepRequest);
    ASSERT_TRUE(whole->WaitFor(CInstanceThread::kDialogStepRequest, 2));

    const auto bytes = platform::ReadWholeFile(platform::FromUtf8(File("dss").string()));
    const auto expected = platform::ReadWholeFile(
        platform::FromUtf8((wholeDir / "qashost1_QAS_00.dss").string()));
    EXPECT_GT(expected.size() / sizeof(instrec::DialogStepRecord) * 336, size_t{8} << 20);
    // Each part holds its dialog steps before its background steps: the
    // same records, in another order.
    const auto records = [](const std::vector<uint8_t>& file) {
        std::vector<std::string> list;
        for (size_t at = 0; at + sizeof(instrec::DialogStepRecord) <= file.size();
             at += sizeof(instrec::DialogStepRecord))
            list.emplace_back(reinterpret_cast<const char*>(file.data() + at),
                              sizeof(instrec::DialogStepRecord));
        std::sort(list.begin(), list.end());
        return list;
    };
    EXPECT_EQ(bytes.size(), expected.size());
    EXPECT_TRUE(records(bytes) == records(expected));
    EXPECT_GE(parts, 4u) << "a refused read and at least three parts";
    EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 10, 37));
    whole.reset();
}

// Four quarter hours missed: the fifth reads the whole window at once and
// the instance is back on its quarter-hour windows.
TEST_F(InstanceSimulatorTest, AnInstanceThatMissedFourQuarterHoursCatchesUpAtTheNext) {
    auto failing = std::make_shared<std::atomic<bool>>(true);
    StartSystem(BusyFirstServer(5000), [failing](r3sim::ModuleRegistry& registry) {
        const r3sim::ModuleEntry standard = *registry.Find("SAPWL_STATREC_READ_FILE");
        registry.Register("SAPWL_STATREC_READ_FILE", *standard.interface,
                          [failing, standard](r3sim::CallContext& call) {
                              if (*failing) return call.Fail("SYSTEM_FAILURE", "instance down");
                              standard.handler(call);
                          });
    });
    thread_ = NewThread();
    int captures = 0;
    for (const auto& [hour, minute] : {std::pair{10, 15}, {10, 30}, {10, 45}, {11, 0}}) {
        SetClock(hour, minute);
        Run(CInstanceThread::kDialogStepRequest, ++captures);
        EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 10, 7));
    }
    failing->store(false);
    SetClock(11, 15);
    Run(CInstanceThread::kDialogStepRequest, 5);
    EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 11, 15));
    const uint64_t window = StatisticsRowsSent(*sim_);
    // More than a 64 MiB reply could hold.
    EXPECT_GT(window * 336, uint64_t{64} << 20);
    EXPECT_EQ(fs::file_size(File("dss")), window * sizeof(instrec::DialogStepRecord));

    SetClock(11, 30);
    Run(CInstanceThread::kDialogStepRequest, 6);
    EXPECT_DOUBLE_EQ(thread_->LastRead(), Ole(2026, 12, 7, 11, 30));
    const uint64_t quarter = StatisticsRowsSent(*sim_) - window;
    EXPECT_GT(quarter, 15u * 1000);
    EXPECT_LT(quarter * 4, window);
    EXPECT_EQ(fs::file_size(File("dss")), (window + quarter) * sizeof(instrec::DialogStepRecord));
}

TEST_F(InstanceSimulatorTest, AFileSwitchAtMidnightCallsTheModuleAgainFromTheStart) {
    r3sim::Scenario s = ServerClockBehind();
    s.release = s.partnerRelease = s.kernelRelease = "46C";  // keeps the continue number
    StartSystem(s);
    SetClock(2, 40, 8);  // 23:40 on the server
    thread_ = NewThread();
    SetClock(2, 55, 8);
    Run(CInstanceThread::kDialogStepRequest);
    EXPECT_EQ(Calls("SAPWL_STATREC_READ_FILE"), 1u);
    const size_t before = ReadRecords<instrec::DialogStepRecord>(File("dss")).size();
    SetClock(3, 10, 8);  // 00:10 on the server: its statistics file is new
    Run(CInstanceThread::kDialogStepRequest, 2);
    EXPECT_EQ(Calls("SAPWL_STATREC_READ_FILE"), 3u);
    const auto all = ReadRecords<instrec::DialogStepRecord>(File("dss"));
    // The second call's records were written: the window across midnight.
    const size_t after = all.size() - before;
    EXPECT_EQ(static_cast<int>(after), DirectRead(u"20261207", u"235500", u"20261208", u"001000"));
    bool beforeMidnight = false, afterMidnight = false;
    for (size_t i = before; i < all.size(); ++i) {
        (all[i].end < Ole(2026, 12, 8, 3, 0) ? beforeMidnight : afterMidnight) = true;
    }
    EXPECT_TRUE(beforeMidnight);
    EXPECT_TRUE(afterMidnight);
}

TEST_F(InstanceSimulatorTest, StopDuringASlowCaptureTakesEffectAfterIt) {
    r3sim::Scenario s = ServerClockBehind();
    r3sim::FaultSpec slow;
    slow.module = "SAPTUNE_GET_SUMMARY_STATISTIC";
    slow.action = r3sim::FaultAction::kDelay;
    slow.delayMs = 700;
    s.faults.push_back(slow);
    StartSystem(s);
    thread_ = NewThread();
    thread_->SetEvent(CInstanceThread::kInstanceStatsRequest);
    ASSERT_TRUE(
        testsupport::Eventually([&] { return Calls("SAPTUNE_GET_SUMMARY_STATISTIC") != 0; }));
    ASSERT_EQ(Calls("SAPTUNE_GET_SUMMARY_STATISTIC"), 1u);
    thread_->SetEvent(CInstanceThread::kBufferStatsRequest);
    thread_->EndThread();
    // The capture ran to its end, request queues included; nothing after it.
    EXPECT_EQ(fs::file_size(File("mem")), sizeof(instrec::MemoryRecord));
    EXPECT_EQ(fs::file_size(File("drq")), sizeof(instrec::RequestQueueRecord));
    EXPECT_FALSE(fs::exists(File("sum")));
}

// Modules that answer badly: a record whose times name no calendar day and
// whose numbers are texts, rows without most fields, an empty queue list.
void RegisterBadModules(r3sim::ModuleRegistry& registry) {
    using namespace r3sim;
    Dictionary& d = registry.Structures();
    d.Add(Structure("BAD_STATREC", {Char("ACCOUNT", 12), Char("TCODE", 20), Char("STARTDATE", 8),
                                    Char("STARTTIME", 6), Char("ENDDATE", 8), Char("ENDTIME", 6),
                                    Char("RESPTI", 10), Char("CPUTI", 10), Bytes("TASKTYPE", 1)}));
    d.Add(Structure("BAD_BTCSTEP", {Char("REPORT", 40)}));
    registry.Register(
        "SAPWL_STATREC_READ_FILE",
        {Import(Date("READ_START_DATE")), Import(Time("READ_START_TIME")),
         Import(Date("READ_END_DATE")), Import(Time("READ_END_TIME")),
         Export(Int("CONTINUE_RECORDNO_FORWARD")), Table("V2_NORMAL_RECORDS", "BAD_STATREC"),
         Table("V2_BTC_STEP_RECORDS", "BAD_BTCSTEP")},
        [](CallContext& call) {
            Record r = call.NewRecord(u"V2_NORMAL_RECORDS");
            const uint8_t dialog = 1;
            r.SetText("ACCOUNT", "SMITH")
                .SetText("TCODE", "VA01")
                .SetText("STARTDATE", "20261331")  // month 13
                .SetText("STARTTIME", "101500")
                .SetText("ENDDATE", "2026x207")
                .SetText("ENDTIME", "25 000")
                .SetText("RESPTI", "12x4000")  // reads as 12
                .SetText("CPUTI", "abc")
                .SetBytes("TASKTYPE", {&dialog, 1});
            call.AddRow(u"V2_NORMAL_RECORDS", r);
            call.AddRow(u"V2_BTC_STEP_RECORDS",
                        call.NewRecord(u"V2_BTC_STEP_RECORDS").SetText("REPORT", "RSCOLL00"));
            call.Export(u"CONTINUE_RECORDNO_FORWARD", int64_t{5});
        });
    d.Add(Structure("BAD_QUEUE", {Char("THLINE", 80)}));
    registry.Register("TH_REQUEST_QUEUE", {Table("REQUEST_QUEUES", "BAD_QUEUE")},
                      [](CallContext&) {});
}

TEST_F(InstanceSimulatorTest, BadAnswersStillGiveTheirRecords) {
    StartSystem(ServerClockBehind(), RegisterBadModules);
    thread_ = NewThread();
    SetClock(10, 15);
    Run(CInstanceThread::kDialogStepRequest);
    Run(CInstanceThread::kInstanceStatsRequest);

    const auto dss = ReadRecords<instrec::DialogStepRecord>(File("dss"));
    ASSERT_EQ(dss.size(), 2u);
    EXPECT_EQ(+dss[0].start, 0.0);  // no calendar time
    EXPECT_EQ(+dss[0].end, 0.0);
    EXPECT_EQ(Text(dss[0].account, sizeof dss[0].account), "SMITH");
    EXPECT_EQ(+dss[0].taskType, 1);
    EXPECT_EQ(+dss[0].responseTime, 0);  // 12 / 1000
    EXPECT_EQ(+dss[0].cpuTime, 0);
    EXPECT_EQ(+dss[0].databaseTime, 0);
    EXPECT_EQ(Text(dss[1].report, sizeof dss[1].report), "RSCOLL00");
    EXPECT_EQ(+dss[1].memSum, 0);
    EXPECT_EQ(Text(dss[1].account, sizeof dss[1].account), "");

    const auto drq = ReadRecords<instrec::RequestQueueRecord>(File("drq"));
    ASSERT_EQ(drq.size(), 1u);
    EXPECT_NEAR(+drq[0].time, Ole(2026, 12, 7, 10, 15), 1e-9);
    for (int q = 0; q < 7; ++q) EXPECT_EQ(drq[0].queue[q], 0);
    const auto lines = LogLines();
    EXPECT_TRUE(lines[1].ends_with(" : captured statistics for 2 dialog steps.")) << Texts(lines);
}

TEST_F(InstanceSimulatorTest, TheSessionDumpDecodesEveryFile) {
    StartSystem();
    thread_ = NewThread();
    Run(CInstanceThread::kProfileRequest);
    Run(CInstanceThread::kWorkProcessRequest);
    Run(CInstanceThread::kStorageRequest);
    SetClock(10, 15);
    Run(CInstanceThread::kInstanceStatsRequest);
    Run(CInstanceThread::kBufferStatsRequest);
    Run(CInstanceThread::kDialogStepRequest);

    std::map<std::string, int> linesPerFile;
    std::string dssLine, tblLine, ctlLine;
    for (const std::string& line : sessiondump::DumpFolder(dir_.string())) {
        const std::string file = line.substr(0, line.find(' '));
        ++linesPerFile[file];
        if (file.ends_with(".dss") && dssLine.empty()) dssLine = line;
        if (file.ends_with(".tbl") && tblLine.empty()) tblLine = line;
        if (file == "instance.ctl") ctlLine = line;
    }
    const auto count = [&](const std::string& ext, size_t size) {
        return static_cast<int>(fs::file_size(File(ext)) / size);
    };
    EXPECT_EQ(linesPerFile["instance.ctl"], 1);
    EXPECT_EQ(linesPerFile["qashost1_QAS_00.wp"], 14);
    EXPECT_EQ(linesPerFile["qashost1_QAS_00.stg"], 1);
    EXPECT_EQ(linesPerFile["qashost1_QAS_00.mem"], 1);
    EXPECT_EQ(linesPerFile["qashost1_QAS_00.drq"], 1);
    EXPECT_EQ(linesPerFile["qashost1_QAS_00.sum"], 1);
    EXPECT_EQ(linesPerFile["qashost1_QAS_00.buf"], 14);
    EXPECT_EQ(linesPerFile["qashost1_QAS_00.tbl"], 20);
    EXPECT_EQ(linesPerFile["qashost1_QAS_00.tql"], 20);
    EXPECT_EQ(linesPerFile["qashost1_QAS_00.ccs"],
              count("ccs", sizeof(instrec::CursorCacheRecord)));
    EXPECT_EQ(linesPerFile["qashost1_QAS_00.dss"], count("dss", sizeof(instrec::DialogStepRecord)));
    EXPECT_NE(ctlLine.find("name=\"qashost1_QAS_00\""), std::string::npos) << ctlLine;
    EXPECT_NE(tblLine.find("TNAME=\"T000\""), std::string::npos) << tblLine;
    EXPECT_NE(dssLine.find("2026-12-07 10:"), std::string::npos) << dssLine;
}

}  // namespace
