// The session driver against the simulated system, with a scripted user
// interface in place of the wizard and the main window.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "collect/CollectionClock.h"
#include "collect/SystemThread.h"
#include "collect/UserInterface.h"
#include "collect/core/CollectorException.h"
#include "collect/records/InstanceRecords.h"
#include "collect/records/SystemRecords.h"
#include "platform/File.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"
#include "platform/tests/support/Eventually.h"
#include "platform/tests/support/FileModes.h"
#include "ScriptedUi.h"
#include "support/SimulatorSession.h"
#include "tools/sessiondump/DecoderRegistry.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class SystemThreadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A data directory of the test's own: the collector's lock lives there,
        // and another test process may run a session at the same time.
        char pattern[] = "/tmp/quorvel-data-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        data_ = pattern;
        folder_ = data_ + "/12071007.QAS";
        fs::create_directories(folder_);
        ui_.settings = SimulatorLogon(data_, folder_);
        SetUserInterface(&ui_);
        MessageChannel::Instance().SetMainWindow(&ui_);
    }
    void TearDown() override {
        MessageChannel::Instance().SetMainWindow(nullptr);
        SetUserInterface(nullptr);
        fs::remove_all(data_);
    }
    std::u16string StartFailure(CSystemThread& session) {
        try {
            session.Start();
        } catch (const CException& e) {
            return e.ReportText();
        }
        return u"started";
    }
    uintmax_t SizeOf(const char* name) {
        std::error_code ec;
        const uintmax_t size = fs::file_size(folder_ + "/" + name, ec);
        return ec ? 0 : size;
    }

    ScriptedUi ui_;
    std::string data_, folder_;
};

using testsupport::Eventually;

// Keeps the module's interface, replaces what it does.
void Override(r3sim::ModuleRegistry& registry, const std::string& name,
              r3sim::ModuleHandler handler) {
    const r3sim::ModuleEntry* entry = registry.Find(name);
    ASSERT_TRUE(entry != nullptr && entry->interface) << name << " is not simulated";
    registry.Register(name, *entry->interface, std::move(handler));
}

// saposcol's form of a collector write time, in GMT.
std::string SaposcolStamp(std::time_t t) {
    std::tm gmt{};
    gmtime_r(&t, &gmt);
    char text[64];
    std::strftime(text, sizeof text, "%a %b %e %H:%M:%S %Y", &gmt);
    return text;
}

void LastWriteAt(r3sim::ModuleRegistry& registry, std::time_t t) {
    Override(registry, "GET_PARAMETER",
             [t](r3sim::CallContext& call) { call.Export(u"FP_LASTCOLLWRT", SaposcolStamp(t)); });
}

TEST_F(SystemThreadTest, ACancelledWizardStartsNothing) {
    SimulatorSession sim;
    ui_.finish = false;
    CSystemThread session;
    EXPECT_NE(StartFailure(session).find(u"connection dialog canceled."), std::u16string::npos);
    EXPECT_FALSE(session.HasWorker());
    EXPECT_TRUE(fs::is_empty(folder_));
    EXPECT_EQ(sim.System().Counters().Snapshot().connections, 0u);
}

TEST_F(SystemThreadTest, EveryAuthorizationIsCheckedAndOneMissingFailsTheStart) {
    SimulatorSession sim;
    ui_.settings.user = u"LIMITED";
    ui_.settings.password = u"LIMITED";
    CSystemThread session;
    EXPECT_NE(StartFailure(session).find(u"authorization test failed."), std::u16string::npos);
    // All 26 objects are asked for; S_LOG_COM is not in this system, so its check is skipped.
    EXPECT_EQ(sim.System().Counters().Calls("OBJECT_EXISTS"), 26u);
    EXPECT_EQ(sim.System().Counters().Calls("AUTHORITY_CHECK"), 25u);
    EXPECT_TRUE(ui_.Saw(u"THFB")) << ui_.Lines();
    EXPECT_FALSE(ui_.Saw(u"connection test started.")) << ui_.Lines();
    EXPECT_EQ(ui_.statuses, (std::vector<std::u16string>{u"Testing authorizations."}));
}

TEST_F(SystemThreadTest, SaposcolTimeWindowIsThirteenHoursEitherSide) {
    const std::time_t now = std::time(nullptr);
    for (const auto& [offset, passes] :
         std::vector<std::pair<long, bool>>{{46790, true}, {-46790, true}, {46805, false}}) {
        const std::time_t lastWrite = now - offset;
        SimulatorSession sim(r3sim::DefaultScenario(), 0,
                             [lastWrite](r3sim::ModuleRegistry& r) { LastWriteAt(r, lastWrite); });
        CSystemThread session;
        const std::u16string failure = StartFailure(session);
        const bool timeFailure =
            failure.find(u"saposcol time not within 13 hours of GMT.") != std::u16string::npos;
        EXPECT_EQ(timeFailure, !passes) << offset << ": " << platform::ToUtf8(failure);
    }
}

TEST_F(SystemThreadTest, StartsOneThreadOfEachKindPerServerAndDispatchesPerHost) {
    testsupport::UmaskScope mask(022);  // before any thread runs
    SimulatorSession sim;
    auto session = std::make_unique<CSystemThread>();
    ASSERT_EQ(StartFailure(*session), u"started") << ui_.Lines();
    EXPECT_EQ(SizeOf("system.ctl"), 2232u);
    EXPECT_EQ(SizeOf("pc.ctl"), 2240u);
    EXPECT_EQ(SizeOf("QAS.cmp") % 220, 0u);
    EXPECT_EQ(SizeOf("QAS.ptc") % 168, 0u);
    EXPECT_TRUE(ui_.Saw(u"data capture started.")) << ui_.Lines();

    session->SetOpenRequest();
    ASSERT_TRUE(Eventually([&] {
        return session->InstanceThreadCount() == 3 && session->HostThreadCount() == 3;
    })) << ui_.Lines();
    r3sim::CallCounters& counters = sim.System().Counters();
    const uint64_t before1 = counters.Calls("qashost1_QAS_00", "GET_CPU_ALL");
    const uint64_t before2 = counters.Calls("qashost2_QAS_02", "GET_CPU_ALL");
    CCollectionClock::SignalMinuteTick(*session, 7);
    // One host thread per distinct host: the first server listed on it.
    EXPECT_TRUE(Eventually([&] {
        return counters.Calls("qashost1_QAS_00", "GET_CPU_ALL") > before1 &&
               counters.Calls("qashost2_QAS_02", "GET_CPU_ALL") > before2;
    })) << ui_.Lines();
    // Nothing marks a request that was rightly not sent: time enough for one that was.
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(counters.Calls("qashost1_QAS_01", "GET_CPU_ALL"), 0u);
    session.reset();
    EXPECT_TRUE(ui_.Saw(u"data capture stopped.")) << ui_.Lines();
    EXPECT_GT(SizeOf("QAS.log"), 0u);
    // Session data names users and transactions: no file is for everyone.
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder_)) {
        EXPECT_EQ(testsupport::ModeOf(entry.path().string()), 0640) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 20u);
}

// An instance that starts while the collector runs gets its threads at the
// next join request; one that stops keeps its threads, idle.
TEST_F(SystemThreadTest, AServerThatJoinsGetsItsThreadsAtTheNextJoinRequest) {
    auto clock = std::make_shared<platform::ManualTimeSource>(std::chrono::system_clock::now());
    platform::SetTimeSource(clock);
    // The system clock again after the session has gone, also when an assertion ends the test.
    struct RestoreClock {
        ~RestoreClock() { platform::SetTimeSource(nullptr); }
    } restore;
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    r3sim::ServerSpec late = scenario.servers[2];
    late.systemNumber = 3;
    late.name = "qashost2_QAS_03";
    late.joinsAfterMinutes = 2;
    scenario.servers.push_back(late);
    scenario.servers[1].leavesAfterMinutes = 3;
    {
        SimulatorSession sim(scenario);
        auto session = std::make_unique<CSystemThread>();
        ASSERT_EQ(StartFailure(*session), u"started") << ui_.Lines();
        session->SetOpenRequest();
        ASSERT_TRUE(Eventually([&] { return session->InstanceThreadCount() == 3; })) << ui_.Lines();

        clock->Advance(std::chrono::minutes(2));
        sim.System().FollowClock();
        session->SetEvent(CSystemThread::kJoinRequest);
        EXPECT_TRUE(Eventually([&] {
            return session->InstanceThreadCount() == 4 && session->HostThreadCount() == 4;
        })) << ui_.Lines();
        EXPECT_TRUE(Eventually([&] {
            return sim.System().Counters().Calls("qashost2_QAS_03", "RFC_SYSTEM_INFO") > 0;
        }));

        clock->Advance(std::chrono::minutes(1));
        sim.System().FollowClock();
        const uint64_t queues =
            sim.System().Counters().Calls("qashost1_QAS_00", "TH_REQUEST_QUEUE");
        session->SetEvent(CSystemThread::kJoinRequest);
        CCollectionClock::SignalMinuteTick(*session, 4);
        // The instance request follows the join on the session's worker.
        EXPECT_TRUE(Eventually([&] {
            return sim.System().Counters().Calls("qashost1_QAS_00", "TH_REQUEST_QUEUE") > queues;
        }));
        EXPECT_EQ(session->InstanceThreadCount(), 4u);
        session.reset();
        EXPECT_TRUE(ui_.Saw(u"data capture stopped.")) << ui_.Lines();
    }
}

r3sim::FaultSpec Fault(const std::string& module, r3sim::FaultAction action,
                       const std::string& server = "") {
    r3sim::FaultSpec fault;
    fault.module = module;
    fault.server = server;
    fault.action = action;
    return fault;
}

// The software-information call drops the line, so the ping after it fails
// while the session is still starting.
TEST_F(SystemThreadTest, AFailedPingWhileStartingReopensOnlyTheSystemConnection) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    scenario.faults.push_back(Fault("OCS_GET_INFO", r3sim::FaultAction::kDrop));
    SimulatorSession sim(scenario);
    auto session = std::make_unique<CSystemThread>();
    const uint64_t logonsBefore = sim.System().Counters().Snapshot().logons;
    ASSERT_EQ(StartFailure(*session), u"started") << ui_.Lines();
    EXPECT_TRUE(ui_.Saw(u"data capture started.")) << ui_.Lines();
    EXPECT_EQ(sim.System().Counters().Calls("RFC_PING"), 0u);  // the broken line fails at once
    // The system connection was opened again; no server thread exists yet.
    EXPECT_GE(sim.System().Counters().Snapshot().logons, logonsBefore + 5);
    EXPECT_EQ(session->InstanceThreadCount(), 0u);
    EXPECT_EQ(session->HostThreadCount(), 0u);
    EXPECT_FALSE(ui_.Saw(u"CSystemThread::OpenConnection")) << ui_.Lines();

    session->SetOpenRequest();
    EXPECT_TRUE(Eventually([&] {
        return session->InstanceThreadCount() == 3 && session->HostThreadCount() == 3;
    })) << ui_.Lines();
}

TEST_F(SystemThreadTest, TheOracleVersionIsKeptWhenTheSizeCallFails) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    scenario.database.version = "10.2.0.4";
    scenario.faults.push_back(Fault("DB02_ORA_FILL_TD110", r3sim::FaultAction::kFail));
    SimulatorSession sim(scenario);
    CSystemThread session;
    ASSERT_EQ(StartFailure(session), u"started") << ui_.Lines();
    EXPECT_TRUE(ui_.Saw(u"DB02_ORA_FILL_TD110")) << ui_.Lines();
    const std::vector<unsigned char> bytes =
        platform::ReadWholeFile(platform::FromUtf8(folder_ + "/system.ctl"));
    ASSERT_EQ(bytes.size(), sizeof(SystemControlRecord));
    SystemControlRecord record;
    std::memcpy(&record, bytes.data(), sizeof record);
    EXPECT_EQ(platform::FieldText(record.dbSystem), u"ORACLE");
    EXPECT_EQ(platform::FieldText(record.dbVersion), u"10.2.0.4");
    EXPECT_EQ(record.dbSize, 0);
}

// Remote entries are keyed D or D(Y); a repeated entry gets no second
// thread; an entry whose gateway has no instance thread is kept but never
// starts; the minute's remote request reaches the started ones.
TEST_F(SystemThreadTest, RemoteThreadsAreKeyedByDestinationAndSystem) {
    SimulatorSession sim;
    ui_.remotes = {MakeRemoteEntry(u"QASDB_SAPCCMSR", u"", u"qashost1_QAS_00"),
                   MakeRemoteEntry(u"QASDB_SAPCCMSR", u"", u"qashost1_QAS_00"),
                   MakeRemoteEntry(u"QASDB_SAPCCMSR", u"QAS", u"qashost1_QAS_00"),
                   MakeRemoteEntry(u"LOSTDB", u"", u"qashost9_QAS_09")};
    auto session = std::make_unique<CSystemThread>();
    ASSERT_EQ(StartFailure(*session), u"started") << ui_.Lines();
    EXPECT_TRUE(ui_.Saw(u"qashost1_QAS_00 : successfully connected to QASDB_SAPCCMSR(QAS)."))
        << ui_.Lines();
    EXPECT_FALSE(ui_.Saw(u"LOSTDB")) << ui_.Lines();  // no server of the list is its gateway

    session->SetOpenRequest();
    ASSERT_TRUE(Eventually([&] { return session->RemoteThreadCount() == 3; })) << ui_.Lines();
    EXPECT_TRUE(session->HasRemoteThread(u"QASDB_SAPCCMSR"));
    EXPECT_TRUE(session->HasRemoteThread(u"QASDB_SAPCCMSR(QAS)"));
    EXPECT_TRUE(session->HasRemoteThread(u"LOSTDB"));

    CCollectionClock::SignalMinuteTick(*session, 7);
    EXPECT_TRUE(Eventually([&] {
        return SizeOf("QASDB_SAPCCMSR.cpu") > 0 && SizeOf("QASDB_SAPCCMSR(QAS).cpu") > 0;
    })) << ui_.Lines();
    session.reset();
    EXPECT_EQ(SizeOf("QASDB_SAPCCMSR.cpu"), SizeOf("QASDB_SAPCCMSR(QAS).cpu"));
    for (const auto& entry : fs::directory_iterator(folder_))
        EXPECT_EQ(entry.path().filename().string().find("LOSTDB"), std::string::npos)
            << entry.path();
}

TEST_F(SystemThreadTest, ADestinationThatCannotBeReachedFailsTheStart) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    r3sim::DestinationSpec silent;
    silent.name = "SILENTDB";
    silent.host = "qasdb";
    silent.answers = false;
    scenario.destinations.push_back(silent);
    SimulatorSession sim(scenario);
    ui_.remotes = {MakeRemoteEntry(u"SILENTDB", u"", u"qashost2_QAS_02")};
    CSystemThread session;
    const std::u16string failure = StartFailure(session);
    EXPECT_NE(failure.find(u"qashost2_QAS_02 : connection to SILENTDB failed."),
              std::u16string::npos)
        << platform::ToUtf8(failure);
    EXPECT_TRUE(ui_.Saw(u"qashost2_QAS_02 : opening connection to SILENTDB.")) << ui_.Lines();
    EXPECT_FALSE(ui_.Saw(u"data capture started.")) << ui_.Lines();
    EXPECT_FALSE(session.HasWorker());
}

// The server list comes back empty at a minute: the join reports it, and
// until the next minute's join no statistics are requested.
TEST_F(SystemThreadTest, AnEmptyServerListAtAMinuteIsReportedAndRequestsNothing) {
    auto empty = std::make_shared<std::atomic<bool>>(false);
    SimulatorSession sim(r3sim::DefaultScenario(), 0, [empty](r3sim::ModuleRegistry& r) {
        const r3sim::ModuleHandler full = r.Find("TH_SERVER_LIST")->handler;
        Override(r, "TH_SERVER_LIST", [empty, full](r3sim::CallContext& call) {
            if (!*empty) full(call);
        });
    });
    auto session = std::make_unique<CSystemThread>();
    ASSERT_EQ(StartFailure(*session), u"started") << ui_.Lines();
    session->SetOpenRequest();
    ASSERT_TRUE(Eventually([&] { return session->InstanceThreadCount() == 3; })) << ui_.Lines();
    r3sim::CallCounters& counters = sim.System().Counters();
    const uint64_t before = counters.Calls("qashost1_QAS_00", "TH_REQUEST_QUEUE");

    *empty = true;
    CCollectionClock::SignalMinuteTick(*session, 8);
    EXPECT_TRUE(Eventually([&] {
        return ui_.Saw(u" : Collector Exception: no entries in server list.");
    })) << ui_.Lines();
    *empty = false;
    CCollectionClock::SignalMinuteTick(*session, 9);
    EXPECT_TRUE(Eventually([&] {
        return counters.Calls("qashost1_QAS_00", "TH_REQUEST_QUEUE") > before;
    })) << ui_.Lines();
    // One capture: that of minute 9; minute 8 found the list empty.
    EXPECT_EQ(counters.Calls("qashost1_QAS_00", "TH_REQUEST_QUEUE"), before + 1);
    EXPECT_EQ(session->InstanceThreadCount(), 3u);
}

// Too little free space pauses the quarter hour's dialog steps and nothing
// else; when space returns they catch up from the last captured time.
TEST_F(SystemThreadTest, TheDiskGuardPausesTheDialogStepsAndTheyCatchUpWhenSpaceReturns) {
    auto clock = std::make_shared<platform::ManualTimeSource>(platform::TimePoint{}, 3600);
    clock->SetLocal(platform::MakeDateTime(2026, 12, 7, 10, 7, 0));
    platform::SetTimeSource(clock);
    struct RestoreClock {
        ~RestoreClock() { platform::SetTimeSource(nullptr); }
    } restore;
    SimulatorSession sim;
    auto session = std::make_unique<CSystemThread>();
    session->SetMinimumFreeBytes(uint64_t{1} << 62);
    ASSERT_EQ(StartFailure(*session), u"started") << ui_.Lines();
    session->SetOpenRequest();
    ASSERT_TRUE(Eventually([&] { return session->InstanceThreadCount() == 3; })) << ui_.Lines();
    r3sim::CallCounters& counters = sim.System().Counters();
    const uint64_t queues = counters.Calls("qashost1_QAS_00", "TH_REQUEST_QUEUE");

    clock->SetLocal(platform::MakeDateTime(2026, 12, 7, 10, 15, 0));
    sim.System().FollowClock();
    CCollectionClock::SignalMinuteTick(*session, 15);
    EXPECT_TRUE(Eventually([&] {
        return counters.Calls("qashost1_QAS_00", "TH_REQUEST_QUEUE") > queues;
    })) << ui_.Lines();
    EXPECT_TRUE(ui_.Saw(u"dialog step capture paused: ")) << ui_.Lines();
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(ui_.Saw(u"capturing dialog step statistics")) << ui_.Lines();
    EXPECT_EQ(SizeOf("qashost1_QAS_00.dss"), 0u);

    session->SetMinimumFreeBytes(0);
    clock->SetLocal(platform::MakeDateTime(2026, 12, 7, 10, 30, 0));
    sim.System().FollowClock();
    CCollectionClock::SignalMinuteTick(*session, 30);
    ASSERT_TRUE(Eventually([&] { return SizeOf("qashost1_QAS_00.dss") > 0; })) << ui_.Lines();
    EXPECT_TRUE(ui_.Saw(u"dialog step capture resumed: ")) << ui_.Lines();
    session.reset();
    // The one window reaches back over the paused quarter hour.
    const auto bytes =
        platform::ReadWholeFile(platform::FromUtf8(folder_ + "/qashost1_QAS_00.dss"));
    ASSERT_GT(bytes.size(), 0u);
    ASSERT_EQ(bytes.size() % sizeof(instrec::DialogStepRecord), 0u);
    double earliest = 1e9;
    for (size_t at = 0; at < bytes.size(); at += sizeof(instrec::DialogStepRecord)) {
        instrec::DialogStepRecord r;
        std::memcpy(&r, bytes.data() + at, sizeof r);
        earliest = std::min<double>(earliest, r.end);
    }
    const double quarter =
        platform::OleDate::FromDateTime(platform::MakeDateTime(2026, 12, 7, 10, 15, 0)).Value();
    EXPECT_LT(earliest, quarter);
}

// A daily session across midnight on the manual clock: the 00:00 tick's
// captures go to a new folder that holds every file of its own, both
// folders decode whole, the logs hand over, and the dialog steps of both
// folders together are those of one read of the whole time, each once.
TEST_F(SystemThreadTest, ADailySessionHandsOverAtMidnightWithNothingLostOrDoubled) {
    const std::string data = folder_ + "/DATA";
    const std::string first = data + "/12072337.QAS";
    const std::string second = data + "/12080000.QAS";
    fs::create_directories(first);
    ui_.settings.sessionPath = platform::FromUtf8(first + "/");
    auto clock = std::make_shared<platform::ManualTimeSource>(platform::TimePoint{}, 3600);
    const auto setClock = [&](int day, int hour, int minute) {
        clock->SetLocal(platform::MakeDateTime(2026, 12, day, hour, minute, 0));
    };
    setClock(7, 23, 37);
    platform::SetTimeSource(clock);
    struct RestoreClock {
        ~RestoreClock() { platform::SetTimeSource(nullptr); }
    } restore;
    // Few steps a minute: the simulated statistics file of a day is walked from 00:00 at each read.
    r3sim::Scenario quiet = r3sim::DefaultScenario();
    for (r3sim::ServerSpec& server : quiet.servers) server.dialogStepsPerMinute = 4;
    SimulatorSession sim(quiet);
    auto session = std::make_unique<CSystemThread>();
    session->SetRotation(RotationPeriod::Daily);
    ASSERT_EQ(StartFailure(*session), u"started") << ui_.Lines();
    session->SetOpenRequest();
    ASSERT_TRUE(Eventually([&] { return session->InstanceThreadCount() == 3; })) << ui_.Lines();
    const char* const kInstances[] = {"qashost1_QAS_00", "qashost1_QAS_01", "qashost2_QAS_02"};
    // Each instance has written its start files: the hand-over cannot overtake them.
    ASSERT_TRUE(Eventually([&] {
        for (const char* name : kInstances)
            if (!fs::exists(first + "/" + name + ".stg")) return false;
        return true;
    })) << ui_.Lines();
    // Every instance has written its window: its log's last line says so at the tick's time.
    const auto tick = [&](int day, int hour, int minute, const std::string& folder,
                          const std::string& stamp) {
        setClock(day, hour, minute);
        sim.System().FollowClock();
        CCollectionClock::SignalMinuteTick(*session, minute);
        for (const char* instance : kInstances)
            EXPECT_TRUE(Eventually([&] {
                const auto lines = TextLines(folder + "/" + instance + ".log");
                return !lines.empty() && lines.back().starts_with(stamp) &&
                       lines.back().find("captured statistics for") != std::string::npos;
            })) << instance
                << " at " << stamp << "\n"
                << ui_.Lines();
    };
    tick(7, 23, 45, first, "  11:45 PM");
    EXPECT_FALSE(fs::exists(second));
    if (HasFailure()) return;
    tick(8, 0, 0, second, "  12:00 AM");
    if (HasFailure()) return;
    tick(8, 0, 15, second, "  12:15 AM");
    session.reset();

    for (const std::string& folder : {first, second}) {
        for (const char* name :
             {"pc.ctl", "system.ctl", "QAS.log", "instance.ctl", "host.ctl", "disk.ctl",
              "qashost1_QAS_00.pfl", "qashost1_QAS_00.wp", "qashost1_QAS_00.stg",
              "qashost1_QAS_00.dss", "qashost1.hw", "qashost1.env", "qashost1.cpu"})
            EXPECT_TRUE(fs::exists(folder + "/" + name)) << folder << " " << name;
        std::string dump;
        for (const std::string& line : sessiondump::DumpFolder(folder)) dump += line + "\n";
        EXPECT_EQ(dump.find("incomplete"), std::string::npos) << dump;
        EXPECT_EQ(dump.find("cannot be read"), std::string::npos) << dump;
    }
    // Both folders together: every step from the start to 00:15 once.
    const uintmax_t records = fs::file_size(first + "/qashost1_QAS_00.dss") +
                              fs::file_size(second + "/qashost1_QAS_00.dss");
    EXPECT_EQ(records / sizeof(instrec::DialogStepRecord),
              static_cast<uintmax_t>(SimulatorSession::DialogStepsBetween(u"20261207", u"233700",
                                                                          u"20261208", u"001500")));
    EXPECT_GT(fs::file_size(second + "/qashost1_QAS_00.dss"), 0u);
    // The first folder's logs end where the second's begin.
    for (const char* log : {"QAS.log", "qashost1_QAS_00.log", "qashost1.log"}) {
        const auto before = TextLines(first + "/" + log);
        const auto after = TextLines(second + "/" + log);
        ASSERT_FALSE(before.empty()) << log;
        ASSERT_FALSE(after.empty()) << log;
        EXPECT_NE(before.back().find("continued in " + second + "/"), std::string::npos)
            << log << ": " << before.back();
        EXPECT_NE(before.back().find("12:00 AM   Tue, Dec 8, 2026"), std::string::npos)
            << before.back();
        EXPECT_NE(after.front().find("12:00 AM   Tue, Dec 8, 2026"), std::string::npos)
            << after.front();
    }
    EXPECT_NE(TextLines(second + "/QAS.log").front().find("created directory  " + second + "/"),
              std::string::npos);
}

// Deleting the session cancels a child's call that never ends: the session
// is gone at once, the child says so once, and every connection not in a
// call still logs off.
TEST_F(SystemThreadTest, StopCancelsAChildsRunningCallAndTheOthersLogOff) {
    struct Probe {
        std::atomic<bool> entered{false};
        std::atomic<bool> released{false};
    };
    auto probe = std::make_shared<Probe>();
    SimulatorSession sim(r3sim::DefaultScenario(), 0, [probe](r3sim::ModuleRegistry& r) {
        const r3sim::ModuleHandler real = r.Find("TH_REQUEST_QUEUE")->handler;
        Override(r, "TH_REQUEST_QUEUE", [probe, real](r3sim::CallContext& call) {
            if (call.Server().name == "qashost1_QAS_00" && !probe->entered.exchange(true))
                Eventually([&] { return probe->released.load(); });  // as good as never
            real(call);
        });
    });
    auto session = std::make_unique<CSystemThread>();
    ASSERT_EQ(StartFailure(*session), u"started") << ui_.Lines();
    session->SetOpenRequest();
    ASSERT_TRUE(Eventually([&] {
        return session->InstanceThreadCount() == 3 && session->HostThreadCount() == 3;
    })) << ui_.Lines();
    CCollectionClock::SignalMinuteTick(*session, 7);
    ASSERT_TRUE(Eventually([&] { return probe->entered.load(); })) << ui_.Lines();
    const uint64_t logoffs = sim.System().Counters().Snapshot().logoffs;
    const auto started = std::chrono::steady_clock::now();
    session.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    probe->released = true;
    // A thread says its cancelled call once at most, and the hanging call is
    // among those said.
    const std::string lines = ui_.Lines();
    std::set<std::string> reporters;
    uint64_t cancelled = 0;
    for (size_t at = 0; (at = lines.find("cancelled: stopping", at)) != std::string::npos; ++at) {
        const size_t begin = lines.rfind('\n', at) == std::string::npos ? 0 : lines.rfind('\n', at) + 1;
        const std::string line = lines.substr(begin, at - begin);
        EXPECT_TRUE(reporters.insert(line.substr(0, line.find(" : RFC Exception"))).second) << lines;
        ++cancelled;
    }
    EXPECT_NE(lines.find("qashost1_QAS_00 : RFC Exception: CBaseRfc::CallFunctionModule - "
                         "RfcReceive(TH_REQUEST_QUEUE): call to partner"),
              std::string::npos)
        << lines;
    // Connections that were idle are not cut: they log off.
    EXPECT_TRUE(Eventually([&] { return sim.System().Counters().Snapshot().logoffs > logoffs; }))
        << lines;
    EXPECT_LE(cancelled, 7u);
    EXPECT_TRUE(ui_.Saw(u"data capture stopped.")) << lines;
}

// A server that fails its connection test fails the start by default; with
// the option the start goes on without it, names it, and joins it at the
// first minute it answers.
TEST_F(SystemThreadTest, AServerThatFailsItsTestJoinsWhenItAnswersWithTheOption) {
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    r3sim::FaultSpec fault;  // its saposcol time cannot be read, twice
    fault.module = "GET_PARAMETER";
    fault.server = "qashost2_QAS_02";
    fault.times = 2;
    fault.action = r3sim::FaultAction::kRaise;
    fault.exception = "NOT_AVAILABLE";
    scenario.faults.push_back(fault);
    SimulatorSession sim(scenario);
    {
        CSystemThread refused;
        EXPECT_NE(StartFailure(refused), u"started");
    }
    EXPECT_FALSE(fs::exists(folder_)) << "a failed start takes its empty folder away";
    fs::create_directories(folder_);
    auto session = std::make_unique<CSystemThread>();
    session->SetStartWithoutUnreachable(true);
    ASSERT_EQ(StartFailure(*session), u"started") << ui_.Lines();
    EXPECT_TRUE(ui_.Saw(u"qashost2_QAS_02 does not answer: the session starts without it and "
                        u"joins it when it answers."))
        << ui_.Lines();
    session->SetOpenRequest();
    ASSERT_TRUE(Eventually([&] { return session->InstanceThreadCount() == 2; })) << ui_.Lines();
    int minute = 7;
    EXPECT_TRUE(Eventually([&] {
        CCollectionClock::SignalMinuteTick(*session, minute++ % 60);
        std::this_thread::sleep_for(50ms);
        return session->InstanceThreadCount() == 3;
    })) << ui_.Lines();
    EXPECT_TRUE(ui_.Saw(u"qashost2_QAS_02 answers now: joining it.")) << ui_.Lines();
    EXPECT_TRUE(Eventually([&] { return session->HostThreadCount() == 3; }));
}

class ClavernSession : public CSystemThread {
  public:
    using CSystemThread::GetSystemID;
};

TEST_F(SystemThreadTest, ClavernMemberListGivesTheSystemId) {
    SimulatorSession sim(r3sim::DefaultScenario(), 0, [](r3sim::ModuleRegistry& r) {
        Override(r, "CONTROL_PERF_REQUEST", [](r3sim::CallContext& call) {
            call.Export(u"REQUEST_PARAM1", "header;SYSA;3;SYSB;7");
        });
    });
    ClavernSession session;
    SimulatorSession::LogOn(session.Connection());
    session.Connection().CallRfcOpen();
    EXPECT_EQ(session.GetSystemID(u"REMOTE", u"DBDEST", u"SYSB"), 7);
    EXPECT_EQ(session.GetSystemID(u"REMOTE", u"DBDEST", u"SYSC"), 0);
}

TEST(CollectionClockTest, OneTickWithinSecondZeroAndQuarterHours) {
    CCollectionClock clock;
    platform::DateTime t = platform::MakeDateTime(2026, 12, 7, 10, 14, 59);
    EXPECT_EQ(clock.Poll(&t), -1);
    t.minute = 15;
    t.second = 0;
    EXPECT_EQ(clock.Poll(&t), 15);
    EXPECT_EQ(clock.Poll(&t), -1);  // the second 500 ms event of the same second
    t.second = 1;
    EXPECT_EQ(clock.Poll(&t), -1);
    EXPECT_EQ(clock.Poll(nullptr), -1);
    t.minute = 16;
    t.second = 0;
    EXPECT_EQ(clock.Poll(&t), 16);
}

}  // namespace
