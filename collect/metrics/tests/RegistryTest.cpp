// The registry: sources join, publish and leave; the collector's own
// figures; publications and scrapes from many threads at once.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "collect/metrics/Registry.h"
#include "collect/metrics/SampleLines.h"

namespace metrics {
namespace {

std::shared_ptr<const Snapshot> Busy(std::string_view server, double ratio) {
    auto s = std::make_shared<Snapshot>();
    AppendSample(*s, FamilyId::HostCpuBusy, LabelSet().Add("server", server), ratio);
    return s;
}

bool Has(const std::string& text, std::string_view line) {
    return text.find(line) != std::string::npos;
}

TEST(RegistryTest, ServesTheLatestSnapshotOfEachSourceUntilItLeaves) {
    Registry registry;
    const auto a = registry.Join("QAS", SourceKind::Host);
    const auto b = registry.Join("QAS", SourceKind::Host);
    registry.Publish(a, Busy("a", 0.1));
    registry.Publish(a, Busy("a", 0.3));
    registry.Publish(b, Busy("b", 0.2));
    std::string text = registry.Scrape(Format::Prometheus);
    EXPECT_FALSE(Has(text, "{server=\"a\"} 0.1")) << text;
    EXPECT_TRUE(Has(text, "quorvel_host_cpu_busy_ratio{server=\"a\"} 0.3\n")) << text;
    EXPECT_TRUE(Has(text, "quorvel_host_cpu_busy_ratio{server=\"b\"} 0.2\n")) << text;
    EXPECT_TRUE(Has(text, "quorvel_threads{system=\"QAS\",kind=\"host\"} 2\n")) << text;

    registry.Leave(a);
    registry.Publish(a, Busy("a", 0.9));  // too late: ignored
    text = registry.Scrape(Format::Prometheus);
    EXPECT_FALSE(Has(text, "server=\"a\"")) << text;
    EXPECT_TRUE(Has(text, "quorvel_threads{system=\"QAS\",kind=\"host\"} 1\n")) << text;
    EXPECT_EQ(registry.SourceCount(), 1u);
}

TEST(RegistryTest, CollectorFiguresCountServersThreadsAndNameTheBuild) {
    Registry registry;
    std::string text = registry.Scrape(Format::OpenMetrics);
    EXPECT_TRUE(Has(text, "# TYPE quorvel_build info\n")) << text;
    EXPECT_TRUE(Has(text, "quorvel_build_info{version=\"")) << text;
    EXPECT_FALSE(Has(text, "quorvel_servers{")) << text;

    registry.Join("QAS", SourceKind::Instance);
    registry.Join("QAS", SourceKind::Instance);
    registry.Join("QAS", SourceKind::Remote);
    registry.Join("PRD", SourceKind::Instance);
    registry.SetServerCount("QAS", 3);
    registry.SetServerCount("QAS", 2);
    registry.SetServerCount("PRD", 1);
    text = registry.Scrape(Format::OpenMetrics);
    EXPECT_TRUE(Has(text, "quorvel_servers{system=\"QAS\"} 2\n")) << text;
    EXPECT_TRUE(Has(text, "quorvel_servers{system=\"PRD\"} 1\n")) << text;
    EXPECT_TRUE(Has(text, "quorvel_threads{system=\"QAS\",kind=\"instance\"} 2\n")) << text;
    EXPECT_TRUE(Has(text, "quorvel_threads{system=\"QAS\",kind=\"remote\"} 1\n")) << text;
    EXPECT_TRUE(Has(text, "quorvel_threads{system=\"PRD\",kind=\"instance\"} 1\n")) << text;
    registry.ForgetSystem("QAS");
    EXPECT_FALSE(Has(registry.Scrape(Format::OpenMetrics), "quorvel_servers{system=\"QAS\"}"));
}

TEST(RegistryTest, StorageFiguresServeFreeSpaceFolderSizeAndTheGuardUntilForgotten) {
    Registry registry;
    EXPECT_FALSE(Has(registry.Scrape(Format::Prometheus), "quorvel_disk_guard_paused"));
    registry.SetStorage("QAS", {5'000'000'000, 1'234'567, false});
    registry.SetStorage("QAS", {900'000'000, 2'345'678, true});
    std::string text = registry.Scrape(Format::OpenMetrics);
    EXPECT_TRUE(Has(text, "# TYPE quorvel_data_directory_free_bytes gauge\n")) << text;
    EXPECT_TRUE(Has(text, "quorvel_data_directory_free_bytes{system=\"QAS\"} 9e+08\n") ||
                Has(text, "quorvel_data_directory_free_bytes{system=\"QAS\"} 900000000\n"))
        << text;
    EXPECT_TRUE(Has(text, "quorvel_session_folder_bytes{system=\"QAS\"} 2345678\n")) << text;
    EXPECT_TRUE(Has(text, "quorvel_disk_guard_paused{system=\"QAS\"} 1\n")) << text;
    registry.ForgetSystem("QAS");
    EXPECT_FALSE(Has(registry.Scrape(Format::OpenMetrics), "quorvel_session_folder_bytes{"));
}

// Writers and scrapers at once (run under ThreadSanitizer too): every scrape
// sees whole snapshots, one line per source.
TEST(RegistryTest, ConcurrentPublicationsAndScrapesSeeWholeSnapshots) {
    Registry registry;
    constexpr int kSources = 8;
    std::vector<Registry::SourceId> ids;
    for (int i = 0; i < kSources; ++i) ids.push_back(registry.Join("QAS", SourceKind::Host));
    std::atomic<bool> stop{false};
    std::vector<std::thread> writers;
    for (int i = 0; i < kSources; ++i)
        writers.emplace_back([&, i] {
            for (int n = 0; n < 100 || !stop; ++n)
                registry.Publish(ids[i], Busy(std::to_string(i), (n % 100) / 100.0));
        });
    for (int scrape = 0; scrape < 200; ++scrape) {
        const std::string text = registry.Scrape(Format::Prometheus);
        size_t lines = 0;
        for (size_t at = 0;
             (at = text.find("quorvel_host_cpu_busy_ratio{", at)) != std::string::npos; ++at)
            ++lines;
        EXPECT_LE(lines, static_cast<size_t>(kSources));
    }
    stop = true;
    for (auto& w : writers) w.join();
    const std::string text = registry.Scrape(Format::Prometheus);
    for (int i = 0; i < kSources; ++i)
        EXPECT_TRUE(Has(text, "{server=\"" + std::to_string(i) + "\"}")) << text;
}

}  // namespace
}  // namespace metrics
