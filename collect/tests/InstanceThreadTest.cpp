// The instance thread's schedule, messages and failure paths, with its
// request events driven directly and no system behind its connection.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "collect/InstanceThread.h"
#include "collect/core/MessageChannel.h"
#include "collect/records/InstanceRecords.h"
#include "platform/File.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"
#include "platform/tests/support/Eventually.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Builds its paths but does not log on, so the captures meet a closed
// connection; exposes the dialog-step bookkeeping.
class OfflineInstanceThread : public CInstanceThread {
  public:
    using CInstanceThread::CInstanceThread;
    ~OfflineInstanceThread() override { EndThread(); }
    void Initialize() override { BuildPaths(); }
    double LastRead() const { return m_dLastRead; }
    void SetLastRead(double v) { m_dLastRead = v; }
    bool StopRequested() const { return m_Events.IsSet(kStopEvent); }
    double TimeOffset() const { return m_dTimeOffset; }
    // The offset from a server clock of our choosing (releases from 4.7 on).
    void FixOffsetAgainst(platform::OleDate serverTime) {
        serverTime_ = serverTime;
        m_nRelease = 47;
        FixTimeOffset();
    }
    platform::OleDate GetRemoteTime() override { return serverTime_; }

  private:
    platform::OleDate serverTime_;
};

// Holds every connection check until the test opens the gate: a capture
// that takes as long as the test wants.
class SlowInstanceThread : public OfflineInstanceThread {
  public:
    using OfflineInstanceThread::OfflineInstanceThread;
    ~SlowInstanceThread() override {
        Open();
        EndThread();
    }
    void CheckConnection() override {
        std::unique_lock lock(mutex_);
        ++checks_;
        changed_.notify_all();
        changed_.wait_for(lock, testsupport::kGenerousWait, [this] { return open_; });
    }
    bool WaitForCheck() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, testsupport::kGenerousWait, [this] { return checks_ > 0; });
    }
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int checks_ = 0;
    bool open_ = false;
};

tagSERVERLIST Entry(std::u16string_view name) {
    tagSERVERLIST e{};
    platform::CopyToField(e.name, name);
    platform::CopyToField(e.host, u"host1");
    platform::CopyToField(e.systemNumber, u"00");
    platform::CopyToField(e.services, u"Dialog Update");
    return e;
}

class InstanceThreadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("instthread_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        clock_ = std::make_shared<platform::ManualTimeSource>(platform::TimePoint{});
        clock_->SetLocal(platform::MakeDateTime(2026, 12, 7, 10, 15, 0));
        platform::SetTimeSource(clock_);
        MessageChannel::Instance().Reset();
        thread_ = std::make_unique<OfflineInstanceThread>(Entry(u"host1_QAS_00"),
                                                          platform::FromUtf8(dir_.string() + "/"));
    }
    void TearDown() override {
        thread_.reset();
        platform::SetTimeSource(nullptr);
        fs::remove_all(dir_);
    }

    fs::path File(const std::string& ext) const { return dir_ / ("host1_QAS_00." + ext); }

    // The log's lines (CR LF separated), once it has at least count of them.
    std::vector<std::string> LogLines(size_t count) const {
        std::vector<std::string> lines;
        testsupport::Eventually([&] {
            lines.clear();
            if (fs::exists(File("log"))) {
                const auto bytes =
                    platform::ReadWholeFile(platform::FromUtf8(File("log").string()));
                std::string text(bytes.begin(), bytes.end());
                for (size_t p = 0, q; (q = text.find("\r\n", p)) != std::string::npos; p = q + 2)
                    lines.push_back(text.substr(p, q - p));
            }
            return lines.size() >= count;
        });
        return lines;
    }

    static constexpr const char* kStamp = "  10:15 AM   Mon, Dec 7, 2026   : host1_QAS_00 : ";

    fs::path dir_;
    std::shared_ptr<platform::ManualTimeSource> clock_;
    std::unique_ptr<OfflineInstanceThread> thread_;
};

TEST_F(InstanceThreadTest, BufferCaptureRewritesTheFiveFilesAndReports) {
    thread_->Start();
    thread_->SetEvent(CInstanceThread::kBufferStatsRequest);
    const auto lines = LogLines(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string(kStamp) + "capturing buffer statistics.");
    EXPECT_EQ(platform::ToUtf8(MessageChannel::Instance().Slot(1)), lines[0]);
    thread_->EndThread();  // the capture has ended once the worker has
    // Without a summary result: one zero record and four empty files.
    ASSERT_EQ(fs::file_size(File("sum")), sizeof(instrec::SummaryRecord));
    const auto sum = platform::ReadWholeFile(platform::FromUtf8(File("sum").string()));
    EXPECT_EQ(std::count(sum.begin(), sum.end(), 0), 444);
    for (const char* ext : {"tbl", "buf", "tql", "ccs"}) EXPECT_EQ(fs::file_size(File(ext)), 0u);
}

TEST_F(InstanceThreadTest, FailedCapturesReportTheirTextAndTheThreadGoesOn) {
    thread_->SetLastRead(46000.25);
    thread_->SetEvent(CInstanceThread::kDialogStepRequest);
    thread_->SetEvent(CInstanceThread::kBufferStatsRequest);
    thread_->SetEvent(CInstanceThread::kInstanceStatsRequest);
    thread_->Start();
    // Each capture: its message, then the failed reopen of its connection
    // check, then the failed call; buffers need no connection.
    const auto lines = LogLines(9);
    ASSERT_EQ(lines.size(), 9u);
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    SCOPED_TRACE(all);
    const std::string rfc = std::string(kStamp) + "RFC Exception: ";
    // Lowest index first: memory and queues (6), buffers (7), dialog steps (8).
    EXPECT_EQ(lines[0], std::string(kStamp) + "capturing instance statistics.");
    for (int i : {1, 2, 3, 4, 7, 8}) EXPECT_TRUE(lines[i].starts_with(rfc)) << lines[i];
    EXPECT_EQ(lines[5], std::string(kStamp) + "capturing buffer statistics.");
    EXPECT_EQ(lines[6], std::string(kStamp) + "capturing dialog step statistics");
    thread_->EndThread();
    EXPECT_FALSE(fs::exists(File("mem")));
    EXPECT_FALSE(fs::exists(File("drq")));
    EXPECT_FALSE(fs::exists(File("dss")));
    // The next window starts where the failed one did.
    EXPECT_EQ(thread_->LastRead(), 46000.25);
}

TEST_F(InstanceThreadTest, UnopenableFileGivesTheFileTextAndStopsThatCapture) {
    fs::create_directories(File("sum"));  // a folder where the summary goes
    thread_->Start();
    thread_->SetEvent(CInstanceThread::kBufferStatsRequest);
    auto lines = LogLines(2);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[1].starts_with(std::string(kStamp) + "The file ")) << lines[1];
    EXPECT_NE(lines[1].find("host1_QAS_00.sum"), std::string::npos);
    // The files after the failing one are not written this quarter hour.
    EXPECT_FALSE(fs::exists(File("tbl")));
    fs::remove(File("sum"));
    thread_->SetEvent(CInstanceThread::kBufferStatsRequest);
    lines = LogLines(3);
    thread_->EndThread();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(fs::exists(File("ccs")));
}

TEST_F(InstanceThreadTest, StopWinsOverPendingCaptures) {
    thread_->SetEvent(CInstanceThread::kBufferStatsRequest);
    thread_->SetEvent(CInstanceThread::kStopEvent);
    thread_->Start();
    thread_->EndThread();
    EXPECT_FALSE(fs::exists(File("sum")));
    EXPECT_FALSE(fs::exists(File("log")));
}

size_t CountLines(const std::vector<std::string>& lines, const std::string& text) {
    return static_cast<size_t>(std::count_if(
        lines.begin(), lines.end(), [&](const auto& l) { return l.ends_with(" : " + text); }));
}

TEST_F(InstanceThreadTest, RequestsArrivingDuringAStatisticsCaptureAreDropped) {
    SlowInstanceThread slow(Entry(u"host1_QAS_00"), platform::FromUtf8(dir_.string() + "/"));
    slow.Start();
    slow.SetEvent(CInstanceThread::kInstanceStatsRequest);
    ASSERT_TRUE(slow.WaitForCheck());
    slow.SetEvent(CInstanceThread::kInstanceStatsRequest);  // during the capture
    slow.Open();
    slow.SetEvent(CInstanceThread::kBufferStatsRequest);
    const auto lines = LogLines(4);
    slow.EndThread();
    // Had the second request survived, it would have run before the buffers.
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(CountLines(lines, "capturing instance statistics."), 1u);
    EXPECT_TRUE(lines.back().ends_with("capturing buffer statistics."));
}

TEST_F(InstanceThreadTest, StopDuringALongCaptureTakesEffectAfterIt) {
    SlowInstanceThread slow(Entry(u"host1_QAS_00"), platform::FromUtf8(dir_.string() + "/"));
    slow.Start();
    slow.SetEvent(CInstanceThread::kInstanceStatsRequest);
    ASSERT_TRUE(slow.WaitForCheck());
    slow.SetEvent(CInstanceThread::kBufferStatsRequest);
    std::thread stopper([&] { slow.EndThread(); });
    EXPECT_TRUE(testsupport::Eventually([&] { return slow.StopRequested(); }));
    slow.Open();
    stopper.join();
    EXPECT_FALSE(slow.HasWorker());
    const auto lines = LogLines(0);
    // The capture ran to its end (both of its calls reported), nothing after it.
    EXPECT_EQ(lines.size(), 3u);
    EXPECT_EQ(CountLines(lines, "capturing instance statistics."), 1u);
    EXPECT_EQ(CountLines(lines, "capturing buffer statistics."), 0u);
    EXPECT_FALSE(fs::exists(File("sum")));
}

TEST_F(InstanceThreadTest, TimeOffsetIsOurClockMinusTheServers) {
    const auto at = [](int h, int m) {
        return platform::OleDate::FromDateTime(platform::MakeDateTime(2026, 12, 7, h, m, 0));
    };
    thread_->FixOffsetAgainst(at(3, 15));  // the server is seven hours behind
    EXPECT_NEAR(thread_->TimeOffset(), 7.0 / 24, 1e-9);
    EXPECT_DOUBLE_EQ(thread_->LastRead(), at(10, 15).Value());
    thread_->FixOffsetAgainst(at(22, 45));
    EXPECT_NEAR(thread_->TimeOffset(), -12.5 / 24, 1e-9);
    EXPECT_THROW(thread_->FixOffsetAgainst(platform::OleDate::Invalid()), CException);
    EXPECT_NEAR(thread_->TimeOffset(), -12.5 / 24, 1e-9);  // kept
}

TEST_F(InstanceThreadTest, PathsAndIdentityFollowTheServerEntry) {
    thread_->Start();
    EXPECT_EQ(thread_->Name(), u"host1_QAS_00");
    EXPECT_EQ(thread_->Host(), u"host1");
    EXPECT_EQ(thread_->SystemNumber(), u"00");
    EXPECT_EQ(thread_->LogFile(), platform::FromUtf8(File("log").string()));
}

}  // namespace
