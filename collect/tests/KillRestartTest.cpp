// A collector killed with SIGKILL in the middle of a quarter hour's
// dialog-step capture, and started again: the killed session runs in a child
// process (this test program, started again on its victim test), the restart
// here. Both run the whole session driver against a simulated system of
// their own with the same scenario, on manual clocks.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "collect/CollectionClock.h"
#include "collect/SystemThread.h"
#include "collect/UserInterface.h"
#include "collect/core/CollectorException.h"
#include "collect/records/InstanceRecords.h"
#include "platform/DateTime.h"
#include "platform/File.h"
#include "platform/TextCodec.h"
#include "platform/tests/support/Eventually.h"
#include "ScriptedUi.h"
#include "support/SimulatorSession.h"
#include "tools/sessiondump/DecoderRegistry.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::Eventually;

constexpr const char* kVictimData = "QUORVEL_TEST_KILLED_SESSION_DATA";
constexpr const char* kInstances[] = {"qashost1_QAS_00", "qashost1_QAS_01", "qashost2_QAS_02"};

// Few steps a minute: the simulated statistics file of a day is walked from
// 00:00 at each read. The same seed in both processes gives the same steps.
r3sim::Scenario Quiet() {
    r3sim::Scenario quiet = r3sim::DefaultScenario();
    for (r3sim::ServerSpec& server : quiet.servers) server.dialogStepsPerMinute = 4;
    return quiet;
}

// A whole session driver on a manual clock of 7 December 2026.
class ClockedSession {
  public:
    ClockedSession(const std::string& data, const std::string& folder,
                   const SimulatorSession::ExtraModules& extra = {})
        : clock_(std::make_shared<platform::ManualTimeSource>(platform::TimePoint{}, 3600)) {
        fs::create_directories(folder);
        ui_.settings = SimulatorLogon(data, folder);
        SetUserInterface(&ui_);
        MessageChannel::Instance().SetMainWindow(&ui_);
        const std::string name = fs::path(folder).filename().string();  // MMDDhhmm.QAS
        Set(std::stoi(name.substr(4, 2)), std::stoi(name.substr(6, 2)));
        platform::SetTimeSource(clock_);
        sim_ = std::make_unique<SimulatorSession>(Quiet(), 0, extra);
    }
    ~ClockedSession() {
        session_.reset();
        sim_.reset();
        platform::SetTimeSource(nullptr);
        MessageChannel::Instance().SetMainWindow(nullptr);
        SetUserInterface(nullptr);
    }

    // The start as the main window runs it; false with the reason in Lines().
    bool Start() {
        session_ = std::make_unique<CSystemThread>();
        try {
            session_->Start();
        } catch (const CException& e) {
            ADD_FAILURE() << platform::ToUtf8(e.ReportText()) << "\n" << ui_.Lines();
            return false;
        }
        session_->SetOpenRequest();
        return Eventually([&] { return session_->InstanceThreadCount() == 3; });
    }

    void Tick(int hour, int minute) {
        Set(hour, minute);
        sim_->System().FollowClock();
        CCollectionClock::SignalMinuteTick(*session_, minute);
    }

    // Every instance's log ends with its window's line at the tick's time.
    bool Captured(const std::string& folder, const std::string& stamp) {
        return Eventually([&] {
            for (const char* instance : kInstances) {
                const auto lines = TextLines(folder + "/" + instance + ".log");
                if (lines.empty() || !lines.back().starts_with(stamp) ||
                    lines.back().find("captured statistics for") == std::string::npos)
                    return false;
            }
            return true;
        });
    }

    std::string Lines() { return ui_.Lines(); }
    void Stop() { session_.reset(); }

  private:
    void Set(int hour, int minute) {
        clock_->SetLocal(platform::MakeDateTime(2026, 12, 7, hour, minute, 0));
    }

    ScriptedUi ui_;
    std::shared_ptr<platform::ManualTimeSource> clock_;
    std::unique_ptr<SimulatorSession> sim_;
    std::unique_ptr<CSystemThread> session_;
};

// The dialog-step module as the scenario serves it, except that a window
// reaching 10:30 announces itself in a file and never answers.
SimulatorSession::ExtraModules HangAtTheHalfHour(const std::string& announce) {
    return [announce](r3sim::ModuleRegistry& registry) {
        const r3sim::ModuleEntry* entry = registry.Find("SAPWL_STATREC_READ_FILE");
        ASSERT_TRUE(entry != nullptr && entry->interface);
        r3sim::ModuleHandler served = entry->handler;
        registry.Register("SAPWL_STATREC_READ_FILE", *entry->interface,
                          [served, announce](r3sim::CallContext& call) {
                              if (call.ImportText(u"READ_END_TIME") < "103000")
                                  return served(call);
                              std::ofstream(announce) << "in the call\n";
                              std::this_thread::sleep_for(120s);  // the kill comes first
                          });
    };
}

std::vector<instrec::DialogStepRecord> Steps(const std::string& path) {
    const auto bytes = platform::ReadWholeFile(platform::FromUtf8(path));
    EXPECT_EQ(bytes.size() % sizeof(instrec::DialogStepRecord), 0u) << path;
    std::vector<instrec::DialogStepRecord> steps(bytes.size() / sizeof(instrec::DialogStepRecord));
    if (!steps.empty()) std::memcpy(steps.data(), bytes.data(), steps.size() * sizeof steps[0]);
    return steps;
}

double Ole(int hour, int minute) {
    return platform::OleDate::FromDateTime(platform::MakeDateTime(2026, 12, 7, hour, minute, 0))
        .Value();
}

// Run only as the child of the test below: the session that is killed.
TEST(KilledSession, DISABLED_RunsUntilKilledInTheHalfHoursCapture) {
    const char* data = std::getenv(kVictimData);
    ASSERT_NE(data, nullptr) << "started by KillRestartTest only";
    const std::string folder = std::string(data) + "/12071007.QAS";
    ClockedSession session(data, folder, HangAtTheHalfHour(std::string(data) + "/in-call"));
    ASSERT_TRUE(session.Start()) << session.Lines();
    for (const char* instance : kInstances)
        ASSERT_TRUE(Eventually([&] { return fs::exists(folder + "/" + instance + ".stg"); }));
    session.Tick(10, 15);
    ASSERT_TRUE(session.Captured(folder, "  10:15 AM")) << session.Lines();
    session.Tick(10, 30);
    std::this_thread::sleep_for(180s);
    FAIL() << "not killed";
}

class KillRestartTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvel-kill-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        data_ = pattern;
    }
    void TearDown() override {
        if (victim_ > 0) {
            ::kill(victim_, SIGKILL);
            ::waitpid(victim_, nullptr, 0);
        }
        fs::remove_all(data_);
    }

    // This program again, on the victim test alone, with its output in a file.
    void StartVictim() {
        const std::string self = fs::read_symlink("/proc/self/exe").string();
        const std::string filter = "--gtest_filter=KilledSession.*";
        const std::string disabled = "--gtest_also_run_disabled_tests";
        char* const argv[] = {const_cast<char*>(self.c_str()), const_cast<char*>(filter.c_str()),
                              const_cast<char*>(disabled.c_str()), nullptr};
        setenv(kVictimData, data_.c_str(), 1);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string output = data_ + "/victim.out";
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        const int rc = posix_spawn(&victim_, self.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        unsetenv(kVictimData);
        ASSERT_EQ(rc, 0) << "cannot start " << self;
    }

    std::string VictimOutput() const {
        std::ifstream in(data_ + "/victim.out");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string data_;
    pid_t victim_ = -1;
};

// Every step from the session's start to 10:45 lies once across the killed
// folder and the new one: the killed folder keeps its whole 10:15 window and
// is marked unfinished, the new one reads from 10:15 on.
TEST_F(KillRestartTest, AKillDuringTheQuarterHoursCaptureLosesAndDoublesNoStep) {
    const std::string killed = data_ + "/12071007.QAS", restarted = data_ + "/12071037.QAS";
    StartVictim();
    ASSERT_TRUE(Eventually([&] {
        int status = 0;
        return fs::exists(data_ + "/in-call") || ::waitpid(victim_, &status, WNOHANG) != 0;
    })) << VictimOutput();
    ASSERT_TRUE(fs::exists(data_ + "/in-call")) << VictimOutput();
    ASSERT_EQ(::kill(victim_, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(victim_, &status, 0), victim_);
    victim_ = -1;
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << VictimOutput();
    ASSERT_TRUE(fs::exists(killed + "/QAS.run")) << "a kill leaves the running sign behind";
    std::map<std::string, size_t> before;
    for (const char* instance : kInstances)
        before[instance] = Steps(killed + "/" + instance + ".dss").size();

    {
        ClockedSession session(data_, restarted);
        ASSERT_TRUE(session.Start()) << session.Lines();
        session.Tick(10, 45);
        ASSERT_TRUE(session.Captured(restarted, "  10:45 AM")) << session.Lines();
        session.Stop();
        EXPECT_FALSE(fs::exists(killed + "/QAS.run"));
        EXPECT_TRUE(fs::exists(killed + "/QAS.unfinished"));
        EXPECT_FALSE(fs::exists(restarted + "/QAS.run")) << "a clean stop removes it";

        for (size_t i = 0; i < std::size(kInstances); ++i) {
            const std::string instance = kInstances[i];
            const auto first = Steps(killed + "/" + instance + ".dss");
            const auto second = Steps(restarted + "/" + instance + ".dss");
            EXPECT_EQ(first.size(), before[instance]) << instance << ": the killed folder is left";
            ASSERT_FALSE(first.empty()) << instance;
            ASSERT_FALSE(second.empty()) << instance;
            EXPECT_LE(+first.back().end, Ole(10, 15) + 1e-9) << instance;
            for (const auto& step : second) ASSERT_GE(+step.end, Ole(10, 15) - 1e-9) << instance;
            const std::u16string server = platform::FromUtf8(instance.substr(0, 8));
            const std::u16string number = platform::FromUtf8(instance.substr(13, 2));
            EXPECT_EQ(first.size() + second.size(),
                      static_cast<size_t>(SimulatorSession::DialogStepsBetween(
                          u"20261207", u"100700", u"20261207", u"104500", server, number)))
                << instance;
        }
    }
    for (const std::string& folder : {killed, restarted}) {
        std::string dump;
        for (const std::string& line : sessiondump::DumpFolder(folder)) dump += line + "\n";
        EXPECT_EQ(dump.find("incomplete"), std::string::npos) << dump;
        EXPECT_EQ(dump.find("cannot be read"), std::string::npos) << dump;
    }
}

}  // namespace
