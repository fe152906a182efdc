// The reduction of a session with 1,000,000 dialog-step records (two
// instances of 500,000, eight hours of minute series on two hosts):
// reading every file, reducing the workload and writing the page and the
// CSV files; beside it the reading of the dialog-step files alone.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "ScenarioSession.h"
#include "collect/records/InstanceRecords.h"
#include "tools/pellamy4/Reduction.h"

namespace {

constexpr uint64_t kSteps = 1000000;

const std::string& SessionFolder() {
    static const std::string folder = [] {
        const std::string path =
            (std::filesystem::temp_directory_path() / "pellamy4_bench" / "12071000.QAS").string();
        std::filesystem::remove_all(path);
        ScenarioOptions options;
        options.seed = 11;
        options.minutes = 480;
        options.dialogSteps = kSteps;
        WriteScenarioSession(path, options);
        return path;
    }();
    return folder;
}

void BM_ReduceSession(benchmark::State& state) {
    const std::string& folder = SessionFolder();
    for (auto _ : state) {
        const pellamy::ReductionResult result = pellamy::ReduceSession(folder);
        if (result.dialogSteps != kSteps) state.SkipWithError("dialog steps lost");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kSteps));
}
BENCHMARK(BM_ReduceSession)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StreamDialogStepsOnly(benchmark::State& state) {
    const std::string& folder = SessionFolder();
    for (auto _ : state) {
        size_t records = 0;
        for (const std::string& name : kScenarioInstances) {
            records += pellamy::StreamRecords(folder + "/" + name + ".dss",
                                              sizeof(instrec::DialogStepRecord),
                                              [](const unsigned char*) { return true; }, {})
                           .records;
        }
        benchmark::DoNotOptimize(records);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kSteps));
}
BENCHMARK(BM_StreamDialogStepsOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
