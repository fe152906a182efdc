// What a scrape of a 100-server session costs, and what a scrape running at
// the same time costs a capture's publication. Every source is a real
// publisher that has read back one server's session files.
//
//   build/default/collect/metrics/bench/metrics_scrape_benchmark
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "collect/metrics/HostMetrics.h"
#include "collect/metrics/InstanceMetrics.h"
#include "collect/metrics/MetricsEndpoint.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"

namespace {

namespace fs = std::filesystem;
using namespace metrics;

constexpr int kServers = 100;

template <typename Record>
void Write(const fs::path& path, const std::vector<Record>& records) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(records.data()),
              static_cast<std::streamsize>(records.size() * sizeof(Record)));
}

// One server's files: 20 work processes, a minute of memory and queues, a
// quarter hour of 1,000 dialog steps in three task types, host records.
struct SessionFiles {
    SessionFiles() {
        char pattern[] = "/tmp/quorvel-scrape-bench-XXXXXX";
        dir = mkdtemp(pattern);
        std::vector<instrec::WorkProcessRecord> wps(20);
        for (size_t i = 0; i < wps.size(); ++i) {
            platform::CopyToField(wps[i].wpTyp, i < 12 ? u"DIA" : i < 16 ? u"BTC" : u"UPD");
            platform::CopyToField(wps[i].wpStatus, i % 3 ? u"waiting" : u"running");
        }
        Write(dir / "s.wp", wps);
        Write(dir / "s.mem", std::vector<instrec::MemoryRecord>(1));
        Write(dir / "s.drq", std::vector<instrec::RequestQueueRecord>(1));
        std::vector<instrec::DialogStepRecord> steps(1000);
        for (size_t i = 0; i < steps.size(); ++i) {
            steps[i].taskType = static_cast<uint8_t>(i % 7 == 0 ? 4 : i % 5 == 0 ? 2 : 1);
            steps[i].responseTime = static_cast<int32_t>(i * 37 % 5000);
            steps[i].cpuTime = static_cast<int32_t>(i * 13 % 900);
            steps[i].databaseTime = static_cast<int32_t>(i * 17 % 2000);
        }
        Write(dir / "s.dss", steps);
        HostControlRecord control{};
        platform::CopyToField(control.name, u"host");
        control.physicalMemoryK = 64000;
        control.swapSizeK = 8000;
        control.fileSystemsK = 900000;
        Write(dir / "host.ctl", std::vector<HostControlRecord>{control});
        Write(dir / "h.cpu", std::vector<HostCpuRecord>(1));
    }
    ~SessionFiles() { fs::remove_all(dir); }
    std::u16string Path(const char* name) const {
        return platform::FromUtf8((dir / name).string());
    }
    fs::path dir;
};

// A registry with an instance and a host publisher per server, each after
// one capture of every kind.
struct Session {
    Session() : registry(std::make_shared<Registry>()) {
        static const char16_t* const kInstanceCaptures[] = {u"C::OpenConnection",
                                                            u"C::GetProfileParameters",
                                                            u"C::GetWorkProcessInformation",
                                                            u"C::CallSaptuneGetStorageInfos",
                                                            u"C::WriteStorageInformation",
                                                            u"C::GetMemoryStatistics",
                                                            u"C::GetRequestQueueStatistics",
                                                            u"C::GetBufferStatistics",
                                                            u"C::GetDialogStepStatistics"};
        for (int i = 0; i < kServers; ++i) {
            const std::u16string server = platform::FromUtf8("host" + std::to_string(i / 2) +
                                                             "_PRD_" + std::to_string(i % 100));
            const std::u16string host = platform::FromUtf8("host" + std::to_string(i / 2));
            auto& instance = instances.emplace_back(std::make_unique<InstanceMetrics>());
            instance->Attach(registry, SourceKind::Instance, {u"PRD", server, host});
            instance->SetFiles({files.Path("s.wp"), files.Path("s.mem"), files.Path("s.drq"),
                                files.Path("s.dss")});
            for (const char16_t* capture : kInstanceCaptures) instance->Timed(capture, [] {})();
            auto& hostMetrics = hosts.emplace_back(std::make_unique<HostMetrics>());
            hostMetrics->Attach(registry, SourceKind::Host, {u"PRD", server, host});
            hostMetrics->SetFiles(files.Path("h.cpu"), files.Path("host.ctl"), u"host");
            hostMetrics->Timed(u"C::OpenConnection", [] {})();
            hostMetrics->Timed(u"C::GetHostStatistics", [] {})();
        }
        registry->SetServerCount("PRD", kServers);
    }
    SessionFiles files;
    std::shared_ptr<Registry> registry;
    std::vector<std::unique_ptr<InstanceMetrics>> instances;
    std::vector<std::unique_ptr<HostMetrics>> hosts;
};

Session& TheSession() {
    static Session session;
    return session;
}

void BM_Scrape(benchmark::State& state) {
    const Format format = state.range(0) ? Format::OpenMetrics : Format::Prometheus;
    Session& session = TheSession();
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = session.registry->Scrape(format);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_Scrape)->Arg(1)->Arg(0)->ArgName("openmetrics")->Unit(benchmark::kMillisecond);

// The whole scrape over loopback HTTP, as Prometheus asks for it.
void BM_HttpScrape(benchmark::State& state) {
    Session& session = TheSession();
    MetricsEndpoint endpoint(session.registry);
    if (!endpoint.Start("127.0.0.1:0").empty()) {
        state.SkipWithError("cannot listen");
        return;
    }
    httplib::Client client("127.0.0.1", endpoint.Port());
    const httplib::Headers accept{
        {"Accept", "application/openmetrics-text;version=1.0.0,text/plain;version=0.0.4;q=0.5"}};
    for (auto _ : state) {
        auto reply = client.Get("/metrics", accept);
        if (!reply || reply->status != 200) {
            state.SkipWithError("scrape failed");
            break;
        }
        benchmark::DoNotOptimize(reply->body.size());
    }
}
BENCHMARK(BM_HttpScrape)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same scrape read by a bare socket client into a buffer it reuses: the
// endpoint's own share, without the HTTP library's client growing a string.
void BM_RawSocketScrape(benchmark::State& state) {
    Session& session = TheSession();
    MetricsEndpoint endpoint(session.registry);
    if (!endpoint.Start("127.0.0.1:0").empty()) {
        state.SkipWithError("cannot listen");
        return;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(endpoint.Port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const std::string request =
        "GET /metrics HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: application/openmetrics-text;"
        "version=1.0.0\r\nConnection: close\r\n\r\n";
    std::vector<char> buffer(1 << 16);
    size_t bytes = 0;
    for (auto _ : state) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) !=
                static_cast<ssize_t>(request.size())) {
            if (fd >= 0) ::close(fd);
            state.SkipWithError("scrape failed");
            break;
        }
        bytes = 0;
        for (ssize_t n; (n = ::recv(fd, buffer.data(), buffer.size(), 0)) > 0;)
            bytes += static_cast<size_t>(n);
        ::close(fd);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_RawSocketScrape)->Unit(benchmark::kMillisecond)->UseRealTime();

// A publication after a capture: the instance's snapshot built and swapped
// in, with no scrape (0) or with scrapes running back to back on another
// thread (1).
void BM_PublishAfterCapture(benchmark::State& state) {
    Session& session = TheSession();
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> scrapes{0};
    std::thread scraper;
    if (state.range(0))
        scraper = std::thread([&] {
            while (!stop) {
                benchmark::DoNotOptimize(session.registry->Scrape(Format::OpenMetrics).size());
                ++scrapes;
            }
        });
    InstanceMetrics& instance = *session.instances[7];
    for (auto _ : state) instance.Timed(u"C::GetBufferStatistics", [] {})();
    stop = true;
    if (scraper.joinable()) scraper.join();
    state.counters["scrapes"] = static_cast<double>(scrapes);
}
BENCHMARK(BM_PublishAfterCapture)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("scraping")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// The registry's part of a publication alone: a finished snapshot swapped
// in under the lock, with no scrape (0) or with scrapes back to back (1).
void BM_SwapSnapshot(benchmark::State& state) {
    Session& session = TheSession();
    const Registry::SourceId id = session.registry->Join("PRD", SourceKind::Instance);
    const auto a = std::make_shared<Snapshot>(), b = std::make_shared<Snapshot>();
    std::atomic<bool> stop{false};
    std::thread scraper;
    if (state.range(0))
        scraper = std::thread([&] {
            while (!stop)
                benchmark::DoNotOptimize(session.registry->Scrape(Format::OpenMetrics).size());
        });
    bool flip = false;
    for (auto _ : state) session.registry->Publish(id, (flip = !flip) ? a : b);
    stop = true;
    if (scraper.joinable()) scraper.join();
    session.registry->Leave(id);
}
BENCHMARK(BM_SwapSnapshot)->Arg(0)->Arg(1)->ArgName("scraping")->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
