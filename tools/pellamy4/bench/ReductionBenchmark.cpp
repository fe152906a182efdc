// The reduction of a session with 1,000,000 dialog-step records (two
// instances of 500,000, eight hours of minute series on two hosts):
// reading every file, reducing the workload and writing the page and the
// CSV files; beside it the reading of the dialog-step files alone, and a
// week of such folders (seven days, one folder a day, made by the scenario
// generator) reduced as one span. Each reports the peak RSS of the process
// after it (a counter, "peak_rss_MiB"), so the span's memory stands beside
// the single session's.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <filesystem>
#include <vector>

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

double PeakRssMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

constexpr int kWeekDays = 7;

const std::vector<std::string>& WeekFolders() {
    static const std::vector<std::string> folders = [] {
        std::vector<std::string> paths;
        const auto root = std::filesystem::temp_directory_path() / "pellamy4_bench_week";
        std::filesystem::remove_all(root);
        for (int day = 0; day < kWeekDays; ++day) {
            char name[16];
            std::snprintf(name, sizeof name, "12%02d1000.QAS", 7 + day);
            ScenarioOptions options;
            options.seed = 11 + static_cast<uint32_t>(day);
            options.minutes = 480;
            options.dialogSteps = kSteps;
            options.startDay = day;
            paths.push_back((root / name).string());
            WriteScenarioSession(paths.back(), options);
        }
        return paths;
    }();
    return folders;
}

void BM_ReduceSession(benchmark::State& state) {
    const std::string& folder = SessionFolder();
    for (auto _ : state) {
        const pellamy::ReductionResult result = pellamy::ReduceSession(folder);
        if (result.dialogSteps != kSteps) state.SkipWithError("dialog steps lost");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kSteps));
    state.counters["peak_rss_MiB"] = PeakRssMiB();
}
BENCHMARK(BM_ReduceSession)->Unit(benchmark::kMillisecond)->UseRealTime();

// After the single session, so the peak it reports includes the week's.
void BM_ReduceWeekOfRotatedFolders(benchmark::State& state) {
    const std::vector<std::string>& folders = WeekFolders();
    const std::string out =
        (std::filesystem::temp_directory_path() / "pellamy4_bench_week" / "report").string();
    for (auto _ : state) {
        const pellamy::ReductionResult result = pellamy::ReduceSpan(folders, out);
        if (result.dialogSteps != kSteps * kWeekDays) state.SkipWithError("dialog steps lost");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kSteps) * kWeekDays);
    state.counters["peak_rss_MiB"] = PeakRssMiB();
}
BENCHMARK(BM_ReduceWeekOfRotatedFolders)->Unit(benchmark::kMillisecond)->UseRealTime();

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
