// The threads' publishers against session files written here: what a
// capture wrote is read back and served; failures are classified and still
// reach the thread's own reporting.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "collect/metrics/CaptureTally.h"
#include "collect/metrics/HostMetrics.h"
#include "collect/metrics/InstanceMetrics.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"

namespace metrics {
namespace {

namespace fs = std::filesystem;

class PublisherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvel-metrics-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        registry_ = std::make_shared<Registry>();
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::u16string Path(const char* name) const { return platform::FromUtf8(folder_ + "/" + name); }
    template <typename Record>
    void Append(const char* name, const Record& record, size_t bytes = sizeof(Record)) {
        std::ofstream out(folder_ + "/" + name, std::ios::binary | std::ios::app);
        out.write(reinterpret_cast<const char*>(&record), static_cast<std::streamsize>(bytes));
    }
    // The remaining bytes of a record whose first part is already there.
    template <typename Record>
    void AppendRest(const char* name, const Record& record, size_t written) {
        std::ofstream out(folder_ + "/" + name, std::ios::binary | std::ios::app);
        out.write(reinterpret_cast<const char*>(&record) + written,
                  static_cast<std::streamsize>(sizeof(Record) - written));
    }
    bool Serves(std::string_view line) const {
        return registry_->Scrape(Format::Prometheus).find(line) != std::string::npos;
    }
    std::string Text() const { return registry_->Scrape(Format::Prometheus); }

    std::string folder_;
    std::shared_ptr<Registry> registry_;
};

instrec::DialogStepRecord Step(uint8_t taskType, int32_t responseMs, int32_t cpuMs, int32_t dbMs) {
    instrec::DialogStepRecord r{};
    r.taskType = taskType;
    r.responseTime = responseMs;
    r.cpuTime = cpuMs;
    r.databaseTime = dbMs;
    return r;
}

constexpr char16_t kDialogSteps[] = u"CInstanceThread::GetDialogStepStatistics";
constexpr const char* kLabels = "system=\"QAS\",server=\"qashost1_QAS_00\",host=\"qashost1\"";

TEST(CaptureKindTest, OperationInSnakeCaseWithoutGet) {
    EXPECT_EQ(CaptureKind(u"CInstanceThread::GetMemoryStatistics"), "memory_statistics");
    EXPECT_EQ(CaptureKind(u"CInstanceThread::CallSaptuneGetStorageInfos"),
              "call_saptune_get_storage_infos");
    EXPECT_EQ(CaptureKind(u"CHostThread::OpenConnection"), "open_connection");
    EXPECT_EQ(CaptureKind(u"Plain"), "plain");
}

TEST_F(PublisherTest, DialogStepsCountWholeRecordsAppendedAndFillHistogramsByTaskType) {
    InstanceMetrics m;
    m.Attach(registry_, SourceKind::Instance, {u"QAS", u"qashost1_QAS_00", u"qashost1"});
    m.SetFiles({Path("a.wp"), Path("a.mem"), Path("a.drq"), Path("a.dss")});
    m.Timed(kDialogSteps, [&] {
        Append("a.dss", Step(1, 300, 100, 50));
        Append("a.dss", Step(1, 2000, 900, 700));
        Append("a.dss", Step(4, 20, 10, 0));
    })();
    const std::string labels = kLabels;
    EXPECT_TRUE(Serves("quorvel_dialog_steps_total{" + labels + ",task_type=\"1\"} 2\n")) << Text();
    EXPECT_TRUE(Serves("quorvel_dialog_steps_total{" + labels + ",task_type=\"4\"} 1\n")) << Text();
    EXPECT_TRUE(Serves("quorvel_dialog_step_response_time_seconds_bucket{" + labels +
                       ",task_type=\"1\",le=\"0.5\"} 1\n"))
        << Text();
    EXPECT_TRUE(Serves("quorvel_dialog_step_response_time_seconds_bucket{" + labels +
                       ",task_type=\"1\",le=\"2.5\"} 2\n"))
        << Text();
    EXPECT_TRUE(Serves("quorvel_dialog_step_response_time_seconds_sum{" + labels +
                       ",task_type=\"1\"} 2.3\n"))
        << Text();
    EXPECT_TRUE(Serves("quorvel_dialog_step_database_time_seconds_sum{" + labels +
                       ",task_type=\"1\"} 0.75\n"))
        << Text();

    // A record half written is counted once it is whole, never twice.
    const instrec::DialogStepRecord torn = Step(1, 10, 10, 10);
    m.Timed(kDialogSteps, [&] { Append("a.dss", torn, 100); })();
    EXPECT_EQ(m.DialogStepsRead(), 3u);
    m.Timed(kDialogSteps, [&] { AppendRest("a.dss", torn, 100); })();
    EXPECT_EQ(m.DialogStepsRead(), 4u);
    m.Timed(kDialogSteps, [] {})();
    EXPECT_EQ(m.DialogStepsRead(), 4u);
    EXPECT_TRUE(Serves("quorvel_dialog_steps_total{" + labels + ",task_type=\"1\"} 3\n")) << Text();
}

TEST_F(PublisherTest, MinuteFiguresAreThoseOfTheLastRecordAndWorkProcessesAreCounted) {
    InstanceMetrics m;
    m.Attach(registry_, SourceKind::Instance, {u"QAS", u"qashost1_QAS_00", u"qashost1"});
    m.SetFiles({Path("a.wp"), Path("a.mem"), Path("a.drq"), Path("a.dss")});
    instrec::MemoryRecord memory{};
    memory.rollCurrUsed = 1;
    Append("a.mem", memory);
    memory.rollCurrUsed = 30000;
    memory.heapUsed = 2;
    Append("a.mem", memory);
    instrec::RequestQueueRecord queues{};
    queues.queue[1] = 7;  // DIA
    Append("a.drq", queues);
    for (const char16_t* status : {u"Running", u"Waiting", u"Waiting"}) {
        instrec::WorkProcessRecord wp{};
        platform::CopyToField(wp.wpTyp, u"DIA");
        platform::CopyToField(wp.wpStatus, status);
        Append("a.wp", wp);
    }
    m.Timed(u"CInstanceThread::GetMemoryStatistics", [] {})();
    m.Timed(u"CInstanceThread::GetRequestQueueStatistics", [] {})();
    m.Timed(u"CInstanceThread::GetWorkProcessInformation", [] {})();
    const std::string labels = kLabels;
    EXPECT_TRUE(
        Serves("quorvel_instance_memory_used_bytes{" + labels + ",area=\"roll\"} 30720000\n"))
        << Text();
    EXPECT_TRUE(Serves("quorvel_instance_memory_used_bytes{" + labels + ",area=\"heap\"} 2048\n"))
        << Text();
    EXPECT_TRUE(Serves("quorvel_request_queue_length{" + labels + ",queue=\"DIA\"} 7\n")) << Text();
    EXPECT_TRUE(Serves("quorvel_request_queue_length{" + labels + ",queue=\"UP2\"} 0\n")) << Text();
    EXPECT_TRUE(
        Serves("quorvel_work_processes{" + labels + ",type=\"DIA\",status=\"Waiting\"} 2\n"))
        << Text();
    EXPECT_TRUE(
        Serves("quorvel_work_processes{" + labels + ",type=\"DIA\",status=\"Running\"} 1\n"))
        << Text();
}

TEST_F(PublisherTest, FailuresAreCountedByKindAndPassOnUnchanged) {
    InstanceMetrics m;
    m.Attach(registry_, SourceKind::Instance, {u"QAS", u"s", u"h"});
    m.SetFiles({Path("a.wp"), Path("a.mem"), Path("a.drq"), Path("a.dss")});
    const auto rfcFailure = [] { throw CRfcException(u"CALL_FAILED"); };
    const auto otherFailure = [] { throw std::runtime_error("disk full"); };
    EXPECT_THROW(m.Timed(u"CInstanceThread::GetMemoryStatistics", rfcFailure)(), CRfcException);
    EXPECT_THROW(m.Timed(u"CInstanceThread::GetMemoryStatistics", otherFailure)(),
                 std::runtime_error);
    // The .mem file does not exist: its read-back fails, quietly.
    const std::string l = "system=\"QAS\",server=\"s\",host=\"h\"";
    EXPECT_TRUE(Serves("quorvel_rfc_errors_total{" + l + "} 1\n")) << Text();
    EXPECT_TRUE(
        Serves("quorvel_capture_failures_total{" + l + ",capture=\"memory_statistics\"} 2\n"))
        << Text();
    EXPECT_FALSE(Serves("quorvel_capture_last_success_timestamp_seconds{" + l)) << Text();
    EXPECT_FALSE(Serves("quorvel_instance_memory_used_bytes")) << Text();

    for (int i = 0; i < 3; ++i) m.Timed(u"CInstanceThread::OpenConnection", [] {})();
    EXPECT_TRUE(Serves("quorvel_rfc_reconnects_total{" + l + "} 2\n")) << Text();
    EXPECT_TRUE(Serves("quorvel_capture_last_success_timestamp_seconds{" + l +
                       ",capture=\"open_connection\"} "))
        << Text();
    EXPECT_TRUE(Serves("quorvel_capture_duration_seconds{" + l + ",capture=\"open_connection\"} "))
        << Text();
}

TEST_F(PublisherTest, DetachedPublisherOnlyRunsTheBody) {
    InstanceMetrics m;
    int runs = 0;
    m.Timed(kDialogSteps, [&] { ++runs; })();
    EXPECT_EQ(runs, 1);
    EXPECT_THROW(m.Timed(kDialogSteps, [] { throw CRfcException(u"x"); })(), CRfcException);
    EXPECT_EQ(registry_->SourceCount(), 0u);
}

TEST_F(PublisherTest, LeavingTheRegistryWithTheThread) {
    {
        HostMetrics m;
        m.Attach(registry_, SourceKind::Host, {u"QAS", u"s", u"h"});
        EXPECT_EQ(registry_->SourceCount(), 1u);
    }
    EXPECT_EQ(registry_->SourceCount(), 0u);
}

TEST_F(PublisherTest, HostFiguresComeFromTheLastCpuRecordAndTheHostsControlRecord) {
    HostControlRecord other{}, mine{};
    platform::CopyToField(other.name, u"qashost1");
    other.physicalMemoryK = 1;
    // A remote name longer than the field: the record holds its first 20 characters.
    const std::u16string remote = u"SAPCCMSR.DBHOST.99(DATABASE01)";
    platform::CopyToField(mine.name, remote);
    mine.physicalMemoryK = 16000;
    mine.fileSystemsK = 500;
    Append("host.ctl", other);
    Append("host.ctl", mine);
    HostCpuRecord minute{};
    minute.cpuBusyPercent = 99;
    Append("h.cpu", minute);
    minute.cpuBusyPercent = 37;
    minute.memoryUsedPercent = 66;
    minute.swapUsedPercent = 5;
    minute.diskUtilAverage = 100;
    Append("h.cpu", minute);

    HostMetrics m;
    m.Attach(registry_, SourceKind::Remote, {u"QAS", u"qashost1_QAS_00", remote});
    m.SetFiles(Path("h.cpu"), Path("host.ctl"), remote);
    m.Timed(u"CHostThread::GetHostStatistics", [] {})();
    const std::string l =
        "system=\"QAS\",server=\"qashost1_QAS_00\",host=\"" + platform::ToUtf8(remote) + "\"";
    EXPECT_TRUE(Serves("quorvel_host_cpu_busy_ratio{" + l + "} 0.37\n")) << Text();
    EXPECT_TRUE(Serves("quorvel_host_memory_used_ratio{" + l + "} 0.66\n")) << Text();
    EXPECT_TRUE(Serves("quorvel_host_swap_used_ratio{" + l + "} 0.05\n")) << Text();
    EXPECT_TRUE(Serves("quorvel_host_disk_utilisation_ratio{" + l + "} 1\n")) << Text();
    EXPECT_TRUE(Serves("quorvel_host_physical_memory_bytes{" + l + "} 16384000000\n")) << Text();
    EXPECT_TRUE(Serves("quorvel_host_filesystem_capacity_bytes{" + l + "} 512000000\n")) << Text();
    EXPECT_FALSE(Serves("quorvel_host_swap_size_bytes")) << "zero: not described";
    EXPECT_TRUE(Serves("quorvel_threads{system=\"QAS\",kind=\"remote\"} 1\n")) << Text();
}

}  // namespace
}  // namespace metrics
