// Whole sessions through SAP's NetWeaver RFC library (our own
// implementation of its interface over the simulated system's protocol)
// write the same files, byte for byte, as sessions through our own
// protocol at the same simulated time.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "ScriptedUi.h"
#include "collect/CollectionClock.h"
#include "collect/ServerList.h"
#include "collect/SystemThread.h"
#include "collect/records/SystemRecords.h"
#include "platform/DateTime.h"
#include "platform/TextCodec.h"
#include "platform/tests/support/Eventually.h"
#include "r3sim/Scenario.h"
#include "rfc32u.h"
#include "support/SimulatorSession.h"

namespace {

namespace fs = std::filesystem;
using testsupport::Eventually;
using Files = std::map<std::string, std::string>;

struct SessionSpec {
    std::string name;
    r3sim::Scenario scenario;
    std::u16string host, systemNumber, client, systemId;
    std::vector<tagREMOTELIST> remotes;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// pc.ctl describes this workstation; its memory figures change from one
// moment to the next, whichever library the session went through.
void ForgetMemoryFigures(std::string& pc) {
    if (pc.size() != sizeof(PcControlRecord)) return;
    std::fill_n(pc.begin() + offsetof(PcControlRecord, memoryLoad), sizeof(uint32_t), '\0');
    std::fill_n(pc.begin() + offsetof(PcControlRecord, physicalAvailable), sizeof(uint32_t), '\0');
}

// Every file of the folders below dir except the thread logs, whose lines
// carry the wall clock's own words.
Files FilesBelow(const fs::path& dir) {
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".log") continue;
        std::string bytes = ReadAll(entry.path());
        if (entry.path().filename() == "pc.ctl") ForgetMemoryFigures(bytes);
        files[fs::relative(entry.path(), dir).string()] = std::move(bytes);
    }
    return files;
}

std::string Fingerprint(const fs::path& dir) {
    std::string print;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            print += entry.path().string() + ":" + std::to_string(entry.file_size()) + ";";
    return print;
}

// Waits until the folder has not changed for a while: the captures of a
// tick have all been written.
bool Settled(const fs::path& dir) {
    std::string last = Fingerprint(dir);
    auto quietSince = std::chrono::steady_clock::now();
    return Eventually([&] {
        const std::string now = Fingerprint(dir);
        if (now != last) {
            last = now;
            quietSince = std::chrono::steady_clock::now();
        }
        return std::chrono::steady_clock::now() - quietSince > std::chrono::milliseconds(1500);
    });
}

class NetWeaverSessionTest : public ::testing::TestWithParam<int> {
  protected:
    void TearDown() override {
        RFC_ERROR_INFO_EX info{};
        RfcUseNetWeaverLibraryU(nullptr, nullptr, &info);
        platform::SetTimeSource(nullptr);
        for (const fs::path& dir : dirs_) fs::remove_all(dir);
    }

    static SessionSpec Spec(int which) {
        SessionSpec s;
        const std::string scenarios = R3SIM_SCENARIO_DIR;
        switch (which) {
            case 0:
                s = {"default", r3sim::DefaultScenario(), u"qashost1", u"00", u"100", u"QAS", {}};
                s.remotes = {MakeRemoteEntry(u"QASDB_SAPCCMSR", u"", u"qashost1_QAS_00")};
                break;
            case 1:
                s = {"nonunicode-46c", r3sim::LoadScenarioFile(scenarios + "/nonunicode-46c.json"),
                     u"p46ci", u"00", u"300", u"P46", {}};
                break;
            default:
                s = {"ombrith-quillet",
                     r3sim::LoadScenarioFile(scenarios + "/ombrith-quillet.json"), u"qbrsys1",
                     u"00", u"100", u"QBR", {}};
                s.remotes = {MakeRemoteEntry(u"SAPCCMSR.QBRDB.99", u"", u"qbrsys1_QBR_00")};
                break;
        }
        return s;
    }

    // One session of three minutes across a quarter hour, stopped; its files.
    Files RunSession(const SessionSpec& spec, bool throughNetWeaver) {
        char pattern[] = "/tmp/quorvel-nwsession-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return {};
        const fs::path data = pattern;
        dirs_.push_back(data);
        auto clock = std::make_shared<platform::ManualTimeSource>(platform::TimePoint{}, 3600);
        clock->SetLocal(platform::MakeDateTime(2026, 12, 7, 10, 13, 30));
        platform::SetTimeSource(clock);
        {
            RFC_ERROR_INFO_EX info{};
            EXPECT_EQ(RfcUseNetWeaverLibraryU(throughNetWeaver ? QUORVEL_NWRFC_LIBRARY : nullptr,
                                              nullptr, &info),
                      RFC_OK)
                << platform::ToUtf8(info.message);
        }
        {
            SimulatorSession sim(spec.scenario);
            ScriptedUi ui;
            const fs::path folder = data / "session";
            fs::create_directories(folder);
            ui.settings = {spec.host,     spec.systemNumber, spec.client, u"COLLECTOR",
                           u"SECRET",     u"EN",             u"",         u"",
                           spec.systemId, u"",               u"",
                           platform::FromUtf8(data.string() + "/"),
                           platform::FromUtf8(folder.string() + "/")};
            ui.remotes = spec.remotes;
            SetUserInterface(&ui);
            MessageChannel::Instance().SetMainWindow(&ui);
            auto session = std::make_unique<CSystemThread>();
            try {
                session->Start();
            } catch (const CException& e) {
                ADD_FAILURE() << platform::ToUtf8(e.ReportText()) << ui.Lines();
            }
            session->SetOpenRequest();
            EXPECT_TRUE(Eventually([&] { return session->InstanceThreadCount() > 0; }))
                << ui.Lines();
            EXPECT_TRUE(Settled(data));
            for (int minute : {14, 15, 16}) {
                clock->SetLocal(platform::MakeDateTime(2026, 12, 7, 10, minute, 0));
                sim.System().FollowClock();
                CCollectionClock::SignalMinuteTick(*session, minute);
                EXPECT_TRUE(Settled(data)) << minute;
            }
            session.reset();
            MessageChannel::Instance().SetMainWindow(nullptr);
            SetUserInterface(nullptr);
            lines_ = ui.Lines();
        }
        RFC_ERROR_INFO_EX info{};
        RfcUseNetWeaverLibraryU(nullptr, nullptr, &info);
        platform::SetTimeSource(nullptr);
        return FilesBelow(data);
    }

    std::vector<fs::path> dirs_;
    std::string lines_;
};

TEST_P(NetWeaverSessionTest, FilesEqualThoseThroughOurOwnProtocol) {
    const SessionSpec spec = Spec(GetParam());
    const Files own = RunSession(spec, false);
    const std::string ownLines = lines_;
    const Files netweaver = RunSession(spec, true);
    ASSERT_GT(own.size(), 10u) << ownLines;
    std::vector<std::string> names, differing;
    for (const auto& [name, bytes] : own) {
        names.push_back(name);
        const auto other = netweaver.find(name);
        if (other == netweaver.end())
            differing.push_back(name + " (missing)");
        else if (other->second != bytes)
            differing.push_back(name);
    }
    for (const auto& [name, bytes] : netweaver)
        if (!own.count(name)) differing.push_back(name + " (only through NetWeaver)");
    EXPECT_TRUE(differing.empty()) << ::testing::PrintToString(differing) << "\n"
                                   << lines_;
    // The session captured something of every kind.
    auto has = [&](const std::string& ext) {
        for (const std::string& n : names)
            if (n.size() > ext.size() && n.ends_with(ext)) return true;
        return false;
    };
    for (const char* ext : {".mem", ".drq", ".cpu", ".dss", "system.ctl", "pc.ctl"})
        EXPECT_TRUE(has(ext)) << ext << " " << ::testing::PrintToString(names);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, NetWeaverSessionTest, ::testing::Values(0, 1, 2),
                         [](const auto& info) {
                             return std::string(info.param == 0   ? "Default"
                                                : info.param == 1 ? "NonUnicode46C"
                                                                  : "OmbrithQuillet");
                         });

}  // namespace
