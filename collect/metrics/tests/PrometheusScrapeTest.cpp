// The collector against the simulated system with the endpoint on loopback,
// scraped by a real Prometheus: what Prometheus stored equals what the
// session folder holds, and promtool finds nothing to complain about.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <thread>

#include "EndpointSupport.h"
#include "collect/CollectionClock.h"
#include "collect/SystemThread.h"
#include "collect/UserInterface.h"
#include "collect/host/HostPaths.h"
#include "collect/metrics/MetricsEndpoint.h"
#include "collect/records/HostRecords.h"
#include "collect/records/InstanceRecords.h"
#include "platform/File.h"
#include "platform/TextCodec.h"
#include "support/SimulatorSession.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The wizard's answers for the default scenario; everything else silent.
class UnattendedUi : public IUserInterface {
  public:
    explicit UnattendedUi(std::u16string sessionPath) {
        settings_ = {
            u"qashost1", u"00", u"100", u"COLLECTOR",          u"SECRET", u"EN", u"", u"", u"QAS",
            u"Linux",    u"",   u"",    std::move(sessionPath)};
    }
    bool RunConnectionWizard(ConnectionSettings& out, std::vector<tagSERVERLIST>&,
                             std::vector<tagREMOTELIST>&) override {
        out = settings_;
        return true;
    }
    std::unique_ptr<IConnectionTestDialog> OpenConnectionTestDialog() override {
        struct Silent : IConnectionTestDialog {
            void SetStatus(std::u16string_view) override {}
        };
        return std::make_unique<Silent>();
    }
    void RepaintMainWindow() override {}
    bool PostMessage(unsigned, uintptr_t, intptr_t) override { return true; }

  private:
    ConnectionSettings settings_;
};

// A Prometheus of its own: temporary configuration and storage, loopback
// only, stopped by its process id however the test ends.
class PrometheusProcess {
  public:
    PrometheusProcess(const fs::path& dir, int targetPort) : port_(FreeLoopbackPort()) {
        std::ofstream(dir / "prometheus.yml")
            << "global:\n  scrape_interval: 1s\n  scrape_timeout: 1s\n"
               "scrape_configs:\n  - job_name: quorvel\n    static_configs:\n"
               "      - targets: ['127.0.0.1:"
            << targetPort << "']\n";
        const std::string config = "--config.file=" + (dir / "prometheus.yml").string();
        const std::string storage = "--storage.tsdb.path=" + (dir / "data").string();
        const std::string listen = "--web.listen-address=127.0.0.1:" + std::to_string(port_);
        const std::string log = (dir / "prometheus.log").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        const char* argv[] = {QUORVEL_PROMETHEUS, config.c_str(),     storage.c_str(),
                              listen.c_str(),     "--log.level=warn", nullptr};
        if (posix_spawn(&pid_, QUORVEL_PROMETHEUS, &actions, nullptr, const_cast<char**>(argv),
                        environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        log_ = log;
    }
    ~PrometheusProcess() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        const auto deadline = Clock::now() + 10s;
        while (waitpid(pid_, nullptr, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                kill(pid_, SIGKILL);
                waitpid(pid_, nullptr, 0);
                break;
            }
            std::this_thread::sleep_for(20ms);
        }
    }
    bool Started() const { return pid_ > 0; }
    int Port() const { return port_; }
    std::string Log() const {
        std::ifstream in(log_);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The result vector of an instant query, or null on any failure.
    nlohmann::json Query(const std::string& promql) const {
        httplib::Client client("127.0.0.1", port_);
        client.set_read_timeout(5, 0);
        const httplib::Params params{{"query", promql}};
        auto reply = client.Get("/api/v1/query", params, httplib::Headers{});
        if (!reply || reply->status != 200) return nullptr;
        const auto json = nlohmann::json::parse(reply->body, nullptr, false);
        if (json.is_discarded() || json.value("status", "") != "success") return nullptr;
        return json["data"]["result"];
    }
    // Waits until the query's first value reaches at least; false at the deadline.
    bool WaitFor(const std::string& promql, double atLeast, std::chrono::seconds limit) const {
        const auto deadline = Clock::now() + limit;
        while (Clock::now() < deadline) {
            const nlohmann::json result = Query(promql);
            if (result.is_array() && !result.empty() &&
                std::stod(result[0]["value"][1].get<std::string>()) >= atLeast)
                return true;
            std::this_thread::sleep_for(250ms);
        }
        return false;
    }

  private:
    int port_;
    pid_t pid_ = -1;
    std::string log_;
};

template <typename Record>
std::vector<Record> Records(const fs::path& path) {
    const auto bytes = platform::ReadWholeFile(platform::FromUtf8(path.string()));
    std::vector<Record> records(bytes.size() / sizeof(Record));
    std::memcpy(records.data(), bytes.data(), records.size() * sizeof(Record));
    return records;
}

bool WaitUntil(std::chrono::seconds limit, const std::function<bool()>& done) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

// Sources whose latest capture of kind succeeded.
size_t Succeeded(const std::string& text, const std::string& kind) {
    const std::string family = "\nquorvel_capture_last_success_timestamp_seconds{";
    const std::string label = "capture=\"" + kind + "\"}";
    size_t n = 0;
    for (size_t at = text.find(family); at != std::string::npos; at = text.find(family, at + 1)) {
        const size_t end = text.find('\n', at + 1);
        if (text.substr(at, end - at).find(label) != std::string::npos) ++n;
    }
    return n;
}

class PrometheusScrapeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvel-prometheus-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        fs::create_directories(dir_ / "session");
        clock_ = std::make_shared<platform::ManualTimeSource>(platform::TimePoint{}, 3600);
        clock_->SetLocal(platform::MakeDateTime(2026, 12, 7, 10, 7, 0));
        platform::SetTimeSource(clock_);
        ui_ = std::make_unique<UnattendedUi>(platform::FromUtf8((dir_ / "session").string() + "/"));
        SetUserInterface(ui_.get());
        MessageChannel::Instance().SetMainWindow(ui_.get());
    }
    void TearDown() override {
        MessageChannel::Instance().SetMainWindow(nullptr);
        SetUserInterface(nullptr);
        platform::SetTimeSource(nullptr);
        fs::remove_all(dir_);
    }

    // A session on the simulated system publishing to registry, once the
    // threads of its three servers have started; null when they do not.
    static std::unique_ptr<CSystemThread> StartSession(
        const std::shared_ptr<metrics::Registry>& registry) {
        auto session = std::make_unique<CSystemThread>();
        session->SetMetricsRegistry(registry);
        session->Start();
        session->SetOpenRequest();
        if (!WaitUntil(30s, [&] {
                return session->InstanceThreadCount() == 3 && session->HostThreadCount() == 3;
            }))
            return nullptr;
        return session;
    }

    fs::path dir_;
    std::shared_ptr<platform::ManualTimeSource> clock_;
    std::unique_ptr<UnattendedUi> ui_;
};

// Another process holding idle connections to the endpoint; it ends when
// its pipe closes or, at the latest, after two minutes.
class IdleScrapers {
  public:
    IdleScrapers(int port, int count) {
        int ready[2], release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            ::alarm(120);
            rlimit limit{};
            ::getrlimit(RLIMIT_NOFILE, &limit);
            limit.rlim_cur = limit.rlim_max;
            ::setrlimit(RLIMIT_NOFILE, &limit);
            int held = 0;
            for (int i = 0; i < count; ++i)
                if (ConnectSmallWindow(port) >= 0) ++held;
            const char done = held == count ? 'r' : 'f';
            if (::write(ready[1], &done, 1) != 1) ::_exit(1);
            char ignored;
            while (::read(release[0], &ignored, 1) > 0) {
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        readyFd_ = ready[0];
        releaseFd_ = release[1];
    }
    ~IdleScrapers() {
        if (releaseFd_ >= 0) ::close(releaseFd_);
        if (readyFd_ >= 0) ::close(readyFd_);
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    // True once every connection is made.
    bool Ready() {
        char answer = 0;
        return pid_ > 0 && ::read(readyFd_, &answer, 1) == 1 && answer == 'r';
    }

  private:
    pid_t pid_ = -1;
    int readyFd_ = -1, releaseFd_ = -1;
};

// 2,000 idle connections, under the soft descriptor limit systemd gives:
// every server's capture of the minute still happens and a scrape answers.
TEST_F(PrometheusScrapeTest, TwoThousandIdleConnectionsStarveNoCaptureAndNoScrape) {
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    if (saved.rlim_max < 2200) GTEST_SKIP() << "a hard descriptor limit below 2,200";
    rlimit systemdLike = saved;
    systemdLike.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &systemdLike), 0);
    struct Restore {
        rlimit limit;
        ~Restore() { ::setrlimit(RLIMIT_NOFILE, &limit); }
    } restore{saved};

    SimulatorSession sim;
    auto registry = std::make_shared<metrics::Registry>();
    metrics::MetricsEndpoint endpoint(registry);
    ASSERT_EQ(endpoint.Start("127.0.0.1:0"), "");
    std::unique_ptr<CSystemThread> session = StartSession(registry);
    ASSERT_TRUE(session) << "the server threads did not start";

    IdleScrapers scrapers(endpoint.Port(), 2000);
    ASSERT_TRUE(scrapers.Ready());
    EXPECT_LE(endpoint.Connections(), metrics::MetricsEndpoint::kMaxConnections);

    const auto& counters = sim.System().Counters();
    const char* servers[] = {"qashost1_QAS_00", "qashost1_QAS_01", "qashost2_QAS_02"};
    std::map<std::string, uint64_t> before;
    for (const char* server : servers) before[server] = counters.Calls(server, "TH_REQUEST_QUEUE");
    clock_->SetLocal(platform::MakeDateTime(2026, 12, 7, 10, 8, 0));
    sim.System().FollowClock();
    CCollectionClock::SignalMinuteTick(*session, 8);
    for (const char* server : servers)
        EXPECT_TRUE(WaitUntil(60s, [&] { return counters.Calls(server, "TH_REQUEST_QUEUE") > before[server]; }))
            << server;
    ASSERT_TRUE(WaitUntil(60s, [&] {
        return Succeeded(registry->Scrape(metrics::Format::Prometheus), "request_queue_statistics") == 3;
    }));

    httplib::Client client("127.0.0.1", endpoint.Port());
    client.set_read_timeout(5, 0);
    const auto started = Clock::now();
    auto scrape = client.Get("/metrics");
    ASSERT_TRUE(scrape) << httplib::to_string(scrape.error());
    EXPECT_EQ(scrape->status, 200);
    EXPECT_LT(Clock::now() - started, 1s);
}

TEST_F(PrometheusScrapeTest, PrometheusStoresWhatTheSessionFolderHolds) {
    if (!IsExecutable(QUORVEL_PROMETHEUS))
        GTEST_SKIP() << "prometheus is not installed (Debian package prometheus; "
                        "scripts/install-deps.sh installs it)";

    SimulatorSession sim;
    auto registry = std::make_shared<metrics::Registry>();
    metrics::MetricsEndpoint endpoint(registry);
    ASSERT_EQ(endpoint.Start("127.0.0.1:0"), "");

    std::unique_ptr<CSystemThread> session = StartSession(registry);
    ASSERT_TRUE(session) << "the server threads did not start";

    // A quarter-hour tick: instance, host, buffer and dialog-step captures.
    clock_->SetLocal(platform::MakeDateTime(2026, 12, 7, 10, 15, 0));
    sim.System().FollowClock();
    CCollectionClock::SignalMinuteTick(*session, 15);
    ASSERT_TRUE(WaitUntil(60s, [&] {
        const std::string text = registry->Scrape(metrics::Format::Prometheus);
        return Succeeded(text, "dialog_step_statistics") == 3 &&
               Succeeded(text, "host_statistics") == 2;
    })) << registry->Scrape(metrics::Format::Prometheus);

    // promtool on a real scrape.
    if (IsExecutable(QUORVEL_PROMTOOL)) {
        httplib::Client client("127.0.0.1", endpoint.Port());
        auto scrape = client.Get("/metrics");
        ASSERT_TRUE(scrape);
        std::ofstream(dir_ / "scrape.txt") << scrape->body;
        std::string lint;
        EXPECT_EQ(RunCommand(std::string(QUORVEL_PROMTOOL) + " check metrics < " +
                                 (dir_ / "scrape.txt").string(),
                             lint),
                  0)
            << lint;
        EXPECT_EQ(lint, "");
    }

    PrometheusProcess prometheus(dir_, endpoint.Port());
    ASSERT_TRUE(prometheus.Started());
    ASSERT_TRUE(prometheus.WaitFor("count_over_time(up{job=\"quorvel\"}[5m])", 2, 60s))
        << "no two scrapes: " << prometheus.Log();
    ASSERT_TRUE(prometheus.WaitFor("min(up{job=\"quorvel\"})", 1, 5s)) << prometheus.Log();

    // Each host's CPU busy figure is that of the last record in its .cpu file.
    const fs::path folder = dir_ / "session";
    const nlohmann::json busy = prometheus.Query("quorvel_host_cpu_busy_ratio");
    ASSERT_TRUE(busy.is_array()) << prometheus.Log();
    ASSERT_EQ(busy.size(), 2u) << busy.dump();
    for (const auto& series : busy) {
        const std::string host = series["metric"]["host"];
        EXPECT_EQ(series["metric"]["system"], "QAS");
        const HostPaths paths =
            MakeHostPaths(platform::FromUtf8(folder.string() + "/"), platform::FromUtf8(host));
        const auto cpu = Records<HostCpuRecord>(platform::ToUtf8(paths.cpu));
        ASSERT_FALSE(cpu.empty()) << host;
        const double stored = std::stod(series["value"][1].get<std::string>());
        EXPECT_EQ(std::lround(stored * 100), cpu.back().cpuBusyPercent) << host;
    }

    // The dialog-step counter is the number of records appended to the .dss files.
    size_t records = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".dss")
            records += Records<instrec::DialogStepRecord>(entry.path()).size();
    EXPECT_GT(records, 0u);
    const nlohmann::json steps = prometheus.Query("sum(quorvel_dialog_steps_total)");
    ASSERT_TRUE(steps.is_array() && steps.size() == 1) << steps.dump();
    EXPECT_EQ(std::stod(steps[0]["value"][1].get<std::string>()), static_cast<double>(records));
    const nlohmann::json histogram =
        prometheus.Query("sum(quorvel_dialog_step_response_time_seconds_count)");
    ASSERT_TRUE(histogram.is_array() && histogram.size() == 1) << histogram.dump();
    EXPECT_EQ(std::stod(histogram[0]["value"][1].get<std::string>()), static_cast<double>(records));

    const nlohmann::json threads = prometheus.Query("sum(quorvel_threads{system=\"QAS\"})");
    ASSERT_TRUE(threads.is_array() && threads.size() == 1) << threads.dump();
    EXPECT_EQ(threads[0]["value"][1], "6");
    const nlohmann::json build = prometheus.Query("quorvel_build_info");
    ASSERT_TRUE(build.is_array() && build.size() == 1) << build.dump();
    EXPECT_FALSE(build[0]["metric"]["version"].get<std::string>().empty());
    session.reset();
}

}  // namespace

namespace {

// The picture of the README: a session whose clock runs a minute per half
// second, scraped every second, and the graph page of host CPU busy taken
// by headless Chromium. Runs only when QUORVEL_METRICS_SCREENSHOT names the
// picture to write.
TEST_F(PrometheusScrapeTest, GraphPagePicture) {
    const char* picture = std::getenv("QUORVEL_METRICS_SCREENSHOT");
    if (picture == nullptr) GTEST_SKIP() << "set QUORVEL_METRICS_SCREENSHOT=FILE.png to take it";
    if (!IsExecutable(QUORVEL_PROMETHEUS) || !IsExecutable("/usr/bin/chromium"))
        GTEST_SKIP() << "needs prometheus and chromium";

    SimulatorSession sim;
    auto registry = std::make_shared<metrics::Registry>();
    metrics::MetricsEndpoint endpoint(registry);
    ASSERT_EQ(endpoint.Start("127.0.0.1:0"), "");
    std::unique_ptr<CSystemThread> session = StartSession(registry);
    ASSERT_TRUE(session) << "the server threads did not start";
    PrometheusProcess prometheus(dir_, endpoint.Port());
    ASSERT_TRUE(prometheus.Started());
    for (int minute = 8; minute < 8 + 120; ++minute) {
        clock_->SetLocal(platform::MakeDateTime(2026, 12, 7, 10 + minute / 60, minute % 60, 0));
        sim.System().FollowClock();
        CCollectionClock::SignalMinuteTick(*session, minute % 60);
        std::this_thread::sleep_for(500ms);
    }
    std::string output;
    const std::string url = "http://127.0.0.1:" + std::to_string(prometheus.Port()) +
                            "/graph?g0.expr=quorvel_host_cpu_busy_ratio&g0.tab=0&g0.range_input=1m";
    EXPECT_EQ(RunCommand("/usr/bin/chromium --headless --no-sandbox --disable-gpu "
                         "--hide-scrollbars --window-size=1280,960 --virtual-time-budget=8000 "
                         "--screenshot=" +
                             std::string(picture) + " '" + url + "'",
                         output),
              0)
        << output;
    session.reset();
}

}  // namespace
