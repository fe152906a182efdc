// Captures per second of one minute's host statistics against the
// simulated system (ping, GET_CPU_ALL, GET_MEM_ALL, GET_DISK_SINGLE,
// GET_TOP_SINGLE, the .cpu and .dsk appends and the .ps snapshot), for a
// host with 2, 16 and 64 disks and four times as many top processes; and the
// record rules alone for the same number of disks.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>

#include "collect/HostThread.h"
#include "collect/host/HostFigures.h"
#include "platform/TextCodec.h"
#include "support/SimulatorSession.h"

namespace {

class ScratchFolder {
  public:
    ScratchFolder() {
        char pattern[] = "/tmp/quorvel-hostbench-XXXXXX";
        if (mkdtemp(pattern) != nullptr) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::u16string Dir() const { return platform::FromUtf8(path_ + "/"); }

  private:
    std::string path_;
};

void BM_HostStatisticsCapture(benchmark::State& state) {
    const int disks = static_cast<int>(state.range(0));
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    r3sim::HostSpec host = r3sim::HostOf(scenario, "qashost1");
    host.disks.clear();
    for (int i = 0; i < disks; ++i) host.disks.push_back({"/dev/disk" + std::to_string(i), {}});
    host.processes = 4 * disks;
    scenario.hosts.push_back(host);
    SimulatorSession sim(scenario);
    ScratchFolder folder;

    CHostThread thread;
    SimulatorSession::LogOn(thread.Connection());
    thread.Configure(folder.Dir(), u"qashost1_QAS_00", u"qashost1", u"00");
    thread.Initialize();
    thread.GetHostStatistics();  // reconnects once
    for (auto _ : state) thread.GetHostStatistics();
    state.SetItemsProcessed(state.iterations());
    state.counters["disk_rows"] = disks;
}
BENCHMARK(BM_HostStatisticsCapture)->Arg(2)->Arg(16)->Arg(64)->Unit(benchmark::kMicrosecond);

void BM_HostRecordRules(benchmark::State& state) {
    const int disks = static_cast<int>(state.range(0));
    DiskFigures disk;
    disk.utilisation = 120;
    disk.kbPerSecond = 4096;
    disk.opsPerSecond = 256;
    for (auto _ : state) {
        HostCpuRecord cpu{};
        FillCpu(cpu, CpuFigures{70, 45});
        FillMemory(cpu, MemoryFigures{8388608, 2796202, 4194304, 1048576, 7, 3});
        DiskTotals totals;
        for (int i = 0; i < disks; ++i) totals.Add(MakeDiskRecord(46000.5, disk));
        totals.FillCpu(cpu);
        benchmark::DoNotOptimize(cpu);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HostRecordRules)->Arg(2)->Arg(16)->Arg(64);

}  // namespace

BENCHMARK_MAIN();
