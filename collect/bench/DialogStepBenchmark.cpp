// Records per second for a dialog-step capture of 100,000 records: reading
// them from the simulated system and appending them to the .dss file in one
// open and close; building the records alone; and the raw rate of writing
// the same bytes. The reads also report the collector's CPU per record (the
// benchmark's thread) and the simulated system's share of the process CPU
// (its threads build the rows).
#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <memory>
#include <vector>

#include "collect/instance/InstanceFiles.h"
#include "collect/instance/InstanceRecordRules.h"
#include "platform/DateTime.h"
#include "platform/File.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"
#include "support/SimulatorSession.h"

namespace {

constexpr int kRecords = 100000;

std::u16string BenchPath() {
    return platform::FromUtf8(
        (std::filesystem::temp_directory_path() / "quorvel_bench.dss").string());
}

void BM_BuildAndAppendDialogSteps(benchmark::State& state) {
    const std::u16string path = BenchPath();
    for (auto _ : state) {
        std::filesystem::remove(platform::ToUtf8(path));
        platform::File file(path, platform::File::Mode::Append);
        file.SeekToEnd();
        for (int i = 0; i < kRecords; ++i) {
            instrec::DialogStepRecord r{};
            r.start = instrec::CollectorTime(u"20261207", u"101500", 0.125);
            r.end = instrec::CollectorTime(u"20261207", u"101502", 0.125);
            platform::CopyToField(r.account, u"SMITH");
            platform::CopyToField(r.tcode, u"VA01");
            platform::CopyToField(r.report, u"SAPMV45A");
            r.taskType = 1;
            r.responseTime = instrec::NormalResponseTime(1000 + i, 20, 30);
            r.cpuTime = instrec::CpuTime(1234.5 + i);
            r.databaseTime = instrec::DatabaseTime({i, 2, 3, 4, 5, 6});
            r.memSum = i;
            file.Write(&r, sizeof r);
        }
        file.Close();
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
    std::filesystem::remove(platform::ToUtf8(path));
}
BENCHMARK(BM_BuildAndAppendDialogSteps)->Unit(benchmark::kMillisecond);

// The simulated system on a frozen clock at 20:00, its first server's
// statistics read from midnight on: a little over 100,000 records.
class SimulatedStatistics {
  public:
    SimulatedStatistics() {
        clock_ = std::make_shared<platform::ManualTimeSource>(platform::TimePoint{}, 3600);
        clock_->SetLocal(platform::MakeDateTime(2026, 12, 7, 20, 0, 0));
        platform::SetTimeSource(clock_);
        sim_ = std::make_unique<SimulatorSession>();
        SimulatorSession::LogOn(connection_);
        connection_.CallRfcOpen();
        call_.PrepareInterface(connection_);
        call_.SetImport(u"I_READ_START_DATE", std::u16string_view(u"20261207"));
        call_.SetImport(u"I_READ_START_TIME", std::u16string_view(u"000000"));
        call_.SetImport(u"I_READ_END_DATE", std::u16string_view(u"20261207"));
        call_.SetImport(u"I_READ_END_TIME", std::u16string_view(u"200000"));
    }
    ~SimulatedStatistics() {
        connection_.CloseConnection();
        sim_.reset();
        platform::SetTimeSource(nullptr);
    }
    CSapwlStatrecReadFileEx& Read() {
        call_.CallFunctionModule(connection_);
        return call_;
    }

  private:
    std::shared_ptr<platform::ManualTimeSource> clock_;
    std::unique_ptr<SimulatorSession> sim_;
    CRfcConnection connection_;
    CSapwlStatrecReadFileEx call_;
};

double CpuSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// CPU of this thread (the collector's) and of the rest of the process (the
// simulated system's) over a run.
class CpuShares {
  public:
    CpuShares()
        : thread_(CpuSeconds(CLOCK_THREAD_CPUTIME_ID)),
          process_(CpuSeconds(CLOCK_PROCESS_CPUTIME_ID)) {}
    void Report(benchmark::State& state, uint64_t records) const {
        const double thread = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread_;
        const double rest = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process_ - thread;
        const double n = static_cast<double>(records == 0 ? 1 : records);
        state.counters["collector_us_per_record"] = thread * 1e6 / n;
        state.counters["simulator_us_per_record"] = rest * 1e6 / n;
        state.counters["simulator_cpu_share"] = rest / (rest + thread);
    }

  private:
    double thread_, process_;
};

void BM_ReadFromSimulatorAndAppend(benchmark::State& state) {
    SimulatedStatistics statistics;
    const std::u16string path = BenchPath();
    uint64_t records = 0;
    const CpuShares cpu;
    for (auto _ : state) {
        std::filesystem::remove(platform::ToUtf8(path));
        CSapwlStatrecReadFileEx& call = statistics.Read();
        const uint32_t written = instfile::AppendDialogSteps(call, path, 0.125).steps;
        call.FreeTables();
        records += written;
    }
    cpu.Report(state, records);
    state.SetItemsProcessed(static_cast<int64_t>(records));
    state.counters["records"] =
        static_cast<double>(records) / static_cast<double>(state.iterations());
    std::filesystem::remove(platform::ToUtf8(path));
}
BENCHMARK(BM_ReadFromSimulatorAndAppend)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same read without the file: what the transfer alone costs.
void BM_ReadFromSimulator(benchmark::State& state) {
    SimulatedStatistics statistics;
    uint64_t records = 0;
    const CpuShares cpu;
    for (auto _ : state) {
        CSapwlStatrecReadFileEx& call = statistics.Read();
        records += static_cast<uint64_t>(call.GetNormalRowCount() + call.GetBatchStepRowCount());
        call.FreeTables();
    }
    cpu.Report(state, records);
    state.SetItemsProcessed(static_cast<int64_t>(records));
}
BENCHMARK(BM_ReadFromSimulator)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RawWriteSameBytes(benchmark::State& state) {
    const std::u16string path = BenchPath();
    const std::vector<unsigned char> record(sizeof(instrec::DialogStepRecord), 0x5A);
    for (auto _ : state) {
        std::filesystem::remove(platform::ToUtf8(path));
        platform::File file(path, platform::File::Mode::Append);
        for (int i = 0; i < kRecords; ++i) file.Write(record.data(), record.size());
        file.Close();
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
    std::filesystem::remove(platform::ToUtf8(path));
}
BENCHMARK(BM_RawWriteSameBytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
