// A host thread of the engine collects from the simulated system on a
// clock the test moves minute by minute, with two minutes whose capture is
// never requested; the reduction of the folder it wrote must show exactly
// the figures of the raw records, and the missed minutes as a gap.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "collect/HostThread.h"
#include "collect/records/HostRecords.h"
#include "platform/DateTime.h"
#include "platform/File.h"
#include "platform/TextCodec.h"
#include "platform/tests/support/Eventually.h"
#include "support/SimulatorSession.h"
#include "tools/pellamy4/Reduction.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Counts the captures that have ended: a request set before the capture
// before it ended would be dropped with that capture's request.
class CountingHostThread : public CHostThread {
  public:
    ~CountingHostThread() override { EndThread(); }
    bool WaitForCaptures(size_t count) {
        std::unique_lock lock(mutex_);
        return ended_.wait_for(lock, testsupport::kGenerousWait,
                               [&] { return captures_ >= count; });
    }

  protected:
    void OnEvent(size_t index) override {
        CHostThread::OnEvent(index);
        if (index != kHostStatsRequest) return;
        std::lock_guard lock(mutex_);
        ++captures_;
        ended_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable ended_;
    size_t captures_ = 0;
};

template <typename Record>
std::vector<Record> Raw(const fs::path& path) {
    if (!fs::exists(path)) return {};
    const auto bytes = platform::ReadWholeFile(platform::FromUtf8(path.string()));
    std::vector<Record> out(bytes.size() / sizeof(Record));
    if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(Record));
    return out;
}

std::vector<std::string> CsvLines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string TimeText(double ole) {
    platform::DateTime t;
    EXPECT_TRUE(platform::OleDate(ole).ToDateTime(t));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

TEST(SimulatorReductionTest, HostCapturesOfTheSimulatedSystemReduceToTheirRecords) {
    const fs::path root = fs::temp_directory_path() / "pellamy4_simulator";
    fs::remove_all(root);
    const fs::path folder = root / "12071000.QAS";
    fs::create_directories(folder);
    auto clock = std::make_shared<platform::ManualTimeSource>(platform::TimePoint{}, 3600);
    clock->SetLocal(platform::MakeDateTime(2026, 12, 7, 10, 0, 0));
    platform::SetTimeSource(clock);
    {
        SimulatorSession sim;
        CountingHostThread thread;
        thread.Configure(platform::FromUtf8(folder.string() + "/"), u"qashost1_QAS_00", u"qashost1",
                         u"00");
        SimulatorSession::LogOn(thread.Connection());
        ASSERT_NO_THROW(thread.Start());
        thread.SetOpenRequest();
        size_t captured = 0;
        for (int minute = 0; minute < 12; ++minute) {
            if (minute == 4 || minute == 5) continue;  // no capture: a gap
            clock->SetLocal(platform::MakeDateTime(2026, 12, 7, 10, minute, 0));
            thread.SetEvent(CHostThread::kHostStatsRequest);
            ++captured;
            ASSERT_TRUE(thread.WaitForCaptures(captured)) << "minute " << minute;
            ASSERT_EQ(Raw<HostCpuRecord>(folder / "qashost1.cpu").size(), captured)
                << "minute " << minute;
        }
    }
    platform::SetTimeSource(nullptr);

    const pellamy::ReductionResult result = pellamy::ReduceSession(folder.string());
    const auto cpu = Raw<HostCpuRecord>(folder / "qashost1.cpu");
    ASSERT_EQ(cpu.size(), 10u);
    const auto lines = CsvLines(folder / "host_qashost1_cpu.csv");
    ASSERT_EQ(lines.size(), 1 + cpu.size());
    for (size_t i = 0; i < cpu.size(); ++i)
        EXPECT_EQ(lines[i + 1],
                  TimeText(cpu[i].time) + "," + std::to_string(cpu[i].cpuBusyPercent));
    EXPECT_EQ(lines[4].substr(0, 19), "2026-12-07 10:03:00");
    EXPECT_EQ(lines[5].substr(0, 19), "2026-12-07 10:06:00");

    const auto memory = CsvLines(folder / "host_qashost1_memory.csv");
    ASSERT_EQ(memory.size(), 1 + cpu.size());
    EXPECT_EQ(memory.back(), TimeText(cpu.back().time) + "," +
                                 std::to_string(cpu.back().memoryUsedPercent) + "," +
                                 std::to_string(cpu.back().swapUsedPercent));

    // Every disk the simulated host reported has its series and its share
    // in the minute's average.
    std::vector<std::string> disks;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("qashost1_") && name.ends_with(".dsk")) disks.push_back(name);
    }
    ASSERT_FALSE(disks.empty());
    const auto util = CsvLines(folder / "host_qashost1_disk_utilisation.csv");
    EXPECT_EQ(util.size(), 1 + cpu.size());
    EXPECT_TRUE(util[1].starts_with(TimeText(cpu[0].time) + "," +
                                    std::to_string(cpu[0].diskUtilAverage) + ","))
        << util[1];
    const auto processes = Raw<tagPS_STAT>(folder / "qashost1.ps");
    EXPECT_EQ(CsvLines(folder / "host_qashost1_processes.csv").size(), 1 + processes.size());

    const std::string html = [&] {
        std::ifstream in(folder / "report.html");
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }();
    const size_t chart = html.find("aria-label=\"CPU busy\"");
    ASSERT_NE(chart, std::string::npos);
    const size_t path = html.find("<path d=\"", chart);
    const std::string d = html.substr(path, html.find('"', path + 9) - path);
    EXPECT_EQ(std::count(d.begin(), d.end(), 'M'), 2) << d;
    EXPECT_GE(result.notes, 1u);  // the instance and system files this test does not write
    fs::remove_all(root);
}

}  // namespace
