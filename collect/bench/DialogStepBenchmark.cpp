// Records per second for a dialog-step capture of 100,000 records: building
// each record from its texts and times and appending it to the .dss file
// in one open and close, beside the raw rate of writing the same bytes.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "collect/instance/InstanceRecordRules.h"
#include "platform/File.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"

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
