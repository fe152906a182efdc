// Remote threads against the simulated system: standalone database servers
// reached through RFC destinations of the gateway instance.
#include <gtest/gtest.h>

#include <thread>

#include "HostSimulatorSupport.h"
#include "platform/tests/support/Eventually.h"

namespace {

using platform::ToUtf8;

constexpr char kCcms[] = "DBHOST_SAPCCMSR.99";

class RemoteSimulatorTest : public ::testing::Test {
  protected:
    static r3sim::Scenario BaseScenario() {
        r3sim::Scenario s = r3sim::DefaultScenario();
        r3sim::HostSpec db = HostWith("dbhost", {{"USR_TOTAL", 20}, {"SYS_TOTAL", 5}});
        db.operatingSystemText = "VESSANE 8.1 build 2600";
        db.disks = {Disk("/dev/md0", 40)};
        s.hosts.push_back(db);
        r3sim::HostSpec hp = HostWith("hpdb", {});
        hp.operatingSystemText = "HP-UX B.11.31";
        s.hosts.push_back(hp);
        r3sim::DestinationSpec ccms;
        ccms.name = kCcms;
        ccms.host = "dbhost";
        ccms.mode = "INTERN";
        ccms.clavernReply = "PLEX1;SYSA;1;SYSB;2";
        s.destinations.push_back(ccms);
        s.destinations.push_back(r3sim::DestinationSpec{"HPDB", "hpdb", "REMOTE", true, 0, ""});
        return s;
    }

    void Start(r3sim::Scenario scenario) {
        sim_ = std::make_unique<SimulatorSession>(
            std::move(scenario), 0, [this](r3sim::ModuleRegistry& r) { probe_.Install(r); });
    }
    r3sim::CallCounters& Counters() { return sim_->System().Counters(); }

    std::unique_ptr<CRemoteThread> Remote(const std::u16string& destination,
                                          const std::u16string& system) {
        auto t = std::make_unique<CRemoteThread>();
        LogOnTo(t->Connection(), u"qashost1", u"00");
        t->Configure(folder_.Dir(), u"qashost1_QAS_00", destination, system, u"00");
        return t;
    }
    std::unique_ptr<CRemoteThread> Initialized(const std::u16string& destination,
                                               const std::u16string& system) {
        auto t = Remote(destination, system);
        t->Initialize();
        return t;
    }
    std::string Log(const std::u16string& name) {
        if (!folder_.Exists(name)) return {};
        const auto bytes = platform::ReadWholeFile(folder_.File(name));
        return std::string(bytes.begin(), bytes.end());
    }

    SharedClock clock_;
    ScratchSessionFolder folder_;
    SaposcolProbe probe_;
    std::unique_ptr<SimulatorSession> sim_;
};

TEST_F(RemoteSimulatorTest, CcmsDestinationsAreReadInternallyWithTheDestinationBound) {
    Start(BaseScenario());
    auto t = Initialized(u"DBHOST_SAPCCMSR.99", u"SYSB");
    EXPECT_EQ(t->LocalRemote(), u"INTERN");
    EXPECT_EQ(t->OpSys(), u"VESSANE");
    EXPECT_EQ(t->DbSys(), u"ORACLE");
    EXPECT_EQ(t->SystemId(), 2);
    t->GetHostStatistics();

    // The destination answers only in mode INTERN, so figures prove the mode.
    const auto cpu = ReadRecords<HostCpuRecord>(folder_.File(u"DBHOST_SAPCCMSR.99(SYSB).cpu"));
    ASSERT_EQ(cpu.size(), 1u);
    EXPECT_EQ(+cpu[0].cpuBusyPercent, 25);
    EXPECT_EQ(+cpu[0].diskUtilAverage, 40);
    EXPECT_EQ(ReadRecords<HostDiskRecord>(folder_.File(u"DBHOST_SAPCCMSR.99_devmd0.dsk")).size(),
              1u);
    EXPECT_EQ(ReadRecords<tagPS_STAT>(folder_.File(u"DBHOST_SAPCCMSR.99(SYSB).ps")).size(), 8u);
    EXPECT_TRUE(folder_.Exists(u"DBHOST_SAPCCMSR.99(SYSB).log"));

    // Every saposcol call went through the destination.
    const auto calls = probe_.Calls();
    ASSERT_FALSE(calls.empty());
    for (const SaposcolCall& c : calls) {
        EXPECT_EQ(c.localRemote, "INTERN") << c.module;
        EXPECT_EQ(c.destination, kCcms) << c.module;
    }

    // The record names the destination and system; the application
    // server's identity does not describe the database server.
    const auto hosts = ReadRecords<HostControlRecord>(folder_.File(u"host.ctl"));
    ASSERT_EQ(hosts.size(), 1u);
    EXPECT_EQ(FieldUtf8(hosts[0].name), "DBHOST_SAPCCMSR.99(S");
    EXPECT_EQ(FieldUtf8(hosts[0].opSys), "VESSANE");
    EXPECT_EQ(FieldUtf8(hosts[0].vendor), "Ostrel");
    EXPECT_EQ(FieldUtf8(hosts[0].ipAddress), "");
    EXPECT_EQ(FieldUtf8(hosts[0].charType), "");
    EXPECT_EQ(+hosts[0].timeZone, 0);
    EXPECT_EQ(+hosts[0].physicalMemoryK, 8388);  // the default 8388608 KB
    const auto disks = ReadRecords<DiskControlRecord>(folder_.File(u"disk.ctl"));
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_EQ(FieldUtf8(disks[0].host), "DBHOST_SAPCCMSR.99");
    EXPECT_EQ(FieldUtf8(disks[0].diskName), "devmd0");

    // A second system behind the same destination adds nothing to the disks.
    auto sibling = Initialized(u"DBHOST_SAPCCMSR.99", u"SYSA");
    EXPECT_EQ(sibling->SystemId(), 1);
    EXPECT_EQ(ReadRecords<DiskControlRecord>(folder_.File(u"disk.ctl")).size(), 1u);
}

TEST_F(RemoteSimulatorTest, OtherDestinationsAreReadRemotelyAndNamedWithoutSystem) {
    Start(BaseScenario());
    auto t = Initialized(u"HPDB", u"");
    EXPECT_EQ(t->LocalRemote(), u"REMOTE");
    EXPECT_EQ(t->OpSys(), u"HP-UX");
    EXPECT_EQ(t->SystemId(), 0);  // a destination outside any clavern
    t->GetHostStatistics();
    EXPECT_EQ(ReadRecords<HostCpuRecord>(folder_.File(u"HPDB.cpu")).size(), 1u);
    EXPECT_TRUE(folder_.Exists(u"HPDB_sda.dsk"));
    EXPECT_TRUE(folder_.Exists(u"HPDB.ps"));
    const auto hosts = ReadRecords<HostControlRecord>(folder_.File(u"host.ctl"));
    ASSERT_EQ(hosts.size(), 1u);
    EXPECT_EQ(FieldUtf8(hosts[0].name), "HPDB");
    EXPECT_EQ(FieldUtf8(hosts[0].vendor), "HP");
    for (const SaposcolCall& c : probe_.Calls()) EXPECT_EQ(c.localRemote, "REMOTE") << c.module;
}

TEST_F(RemoteSimulatorTest, OperatingSystemTextsAreNormalised) {
    r3sim::Scenario s = BaseScenario();
    auto add = [&s](const std::string& name, const std::string& text) {
        r3sim::HostSpec h = HostWith(name, {});
        h.operatingSystemText = text;
        s.hosts.push_back(h);
        s.destinations.push_back(r3sim::DestinationSpec{name, name, "REMOTE", true, 0, ""});
    };
    add("BEOS", "BeOS 5.0");
    // Longer than the export field: only what fits is compared.
    add("LONG1", "SunOS 5.10 Generic_147440-01 sun4v sparc SUNW,T5240 and more text");
    add("LONG2", std::string(40, 'x') + " Linux");
    Start(s);
    EXPECT_EQ(Initialized(u"BEOS", u"")->OpSys(), u"Other");
    EXPECT_EQ(Initialized(u"LONG1", u"")->OpSys(), u"SunOS");
    EXPECT_EQ(Initialized(u"LONG2", u"")->OpSys(), u"Other");
    const auto hosts = ReadRecords<HostControlRecord>(folder_.File(u"host.ctl"));
    ASSERT_EQ(hosts.size(), 3u);
    EXPECT_EQ(FieldUtf8(hosts[1].vendor), "SUN");
    EXPECT_EQ(FieldUtf8(hosts[1].opSys), "SunOS");
}

TEST_F(RemoteSimulatorTest, ASilentConfigurationOnAQuilletDatabaseMeansOmbrith) {
    r3sim::Scenario s = BaseScenario();
    s.database.system = "QUILLET";
    r3sim::HostSpec plex = HostWith("plexhost", {{"AVGPROCUTL", 61}, {"AVGSYSPGRT", 9}});
    plex.operatingSystem = "OMBRITH";
    s.hosts.push_back(plex);
    s.destinations.push_back(r3sim::DestinationSpec{"PLEX_SAPCCMSR", "plexhost", "INTERN", true, 0,
                                                    ";;PLEX1;;SYSA;;1;;SYSB;;2;"});
    r3sim::FaultSpec fault;
    fault.module = "GET_CONFIG_DEFINED";
    fault.action = r3sim::FaultAction::kRaise;
    fault.exception = "INTERNAL_ERROR_ADRESS_FAILED";
    s.faults.push_back(fault);
    Start(s);

    auto t = Initialized(u"PLEX_SAPCCMSR", u"SYSB");
    EXPECT_EQ(t->OpSys(), u"OMBRITH");
    EXPECT_EQ(t->SystemId(), 2);  // empty tokens skipped
    t->GetHostStatistics();
    const auto cpu = ReadRecords<HostCpuRecord>(folder_.File(u"PLEX_SAPCCMSR(SYSB).cpu"));
    ASSERT_EQ(cpu.size(), 1u);
    EXPECT_EQ(+cpu[0].cpuBusyPercent, 61);
    EXPECT_EQ(+cpu[0].pagesInPerSecond, 9);
    EXPECT_TRUE(ReadRecords<tagPS_STAT>(folder_.File(u"PLEX_SAPCCMSR(SYSB).ps")).empty());
    for (const std::string& name : folder_.Names()) EXPECT_FALSE(name.ends_with(".dsk")) << name;
    // The paging call carries the member's system id.
    bool spag = false;
    for (const SaposcolCall& c : probe_.Calls())
        if (c.module == "GET_OMBRITH_SPAG_ALL") {
            spag = true;
            EXPECT_EQ(+c.systemId, 2);
            EXPECT_EQ(c.destination, "PLEX_SAPCCMSR");
        }
    EXPECT_TRUE(spag);
    // A failing configuration call is silent: no message in the log.
    EXPECT_EQ(Log(u"PLEX_SAPCCMSR(SYSB).log").find("INTERNAL_ERROR"), std::string::npos);
}

TEST_F(RemoteSimulatorTest, ClavernRepliesGiveTheMembersSystemId) {
    r3sim::Scenario s = BaseScenario();
    const std::vector<std::pair<std::string, std::string>> replies = {
        {"EMPTY", ""},
        {"SEPARATORS", ";;;"},
        {"NOID", "PLEX1;SYSB"},
        {"LETTERS", "P;SYSB;x7"},
        {"DIGITS", "P;SYSB;12abc;SYSB;3"}};
    for (const auto& [name, reply] : replies)
        s.destinations.push_back(r3sim::DestinationSpec{name, "dbhost", "REMOTE", true, 0, reply});
    Start(s);
    EXPECT_EQ(Initialized(u"DBHOST_SAPCCMSR.99", u"SYSC")->SystemId(), 0);   // not a member
    EXPECT_EQ(Initialized(u"DBHOST_SAPCCMSR.99", u"PLEX1")->SystemId(), 0);  // the plex name
    EXPECT_EQ(Initialized(u"DBHOST_SAPCCMSR.99", u"")->SystemId(), 0);
    EXPECT_EQ(Initialized(u"EMPTY", u"SYSB")->SystemId(), 0);
    EXPECT_EQ(Initialized(u"SEPARATORS", u"SYSB")->SystemId(), 0);
    EXPECT_EQ(Initialized(u"NOID", u"SYSB")->SystemId(), 0);
    EXPECT_EQ(Initialized(u"LETTERS", u"SYSB")->SystemId(), 0);
    EXPECT_EQ(Initialized(u"DIGITS", u"SYSB")->SystemId(), 12);  // the first match ends the scan
}

TEST_F(RemoteSimulatorTest, ALongDestinationIsCutToTwentyInTheNameFields) {
    r3sim::Scenario s = BaseScenario();
    const std::string destination = "DATABASE_SERVER_01_SAPCCMSR.9901";
    ASSERT_EQ(destination.size(), 32u);
    s.destinations.push_back(r3sim::DestinationSpec{destination, "dbhost", "INTERN", true, 0, ""});
    Start(s);
    auto t = Initialized(platform::FromUtf8(destination), u"SYSB");
    EXPECT_EQ(t->LocalRemote(), u"INTERN");
    const auto hosts = ReadRecords<HostControlRecord>(folder_.File(u"host.ctl"));
    ASSERT_EQ(hosts.size(), 1u);
    EXPECT_EQ(FieldUtf8(hosts[0].name), destination.substr(0, 20));
    const auto disks = ReadRecords<DiskControlRecord>(folder_.File(u"disk.ctl"));
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_EQ(FieldUtf8(disks[0].host), destination.substr(0, 20));
    for (const SaposcolCall& c : probe_.Calls()) EXPECT_EQ(c.destination, destination);

    // Found again by its first 20 characters: a restart adds nothing.
    auto again = Initialized(platform::FromUtf8(destination), u"SYSA");
    EXPECT_EQ(ReadRecords<HostControlRecord>(folder_.File(u"host.ctl")).size(), 1u);
    EXPECT_EQ(ReadRecords<DiskControlRecord>(folder_.File(u"disk.ctl")).size(), 1u);
}

TEST_F(RemoteSimulatorTest, ADestinationThatNeverAnswersStillStartsAndReportsEachMinute) {
    r3sim::Scenario s = BaseScenario();
    s.destinations.push_back(r3sim::DestinationSpec{"DEADDB", "dbhost", "REMOTE", false, 50, ""});
    Start(s);
    CRemoteThread t;
    LogOnTo(t.Connection(), u"qashost1", u"00");
    t.Configure(folder_.Dir(), u"qashost1_QAS_00", u"DEADDB", u"", u"00");
    ASSERT_NO_THROW(t.Start());
    EXPECT_EQ(t.OpSys(), u"Other");
    EXPECT_EQ(t.SystemId(), 0);
    const auto hosts = ReadRecords<HostControlRecord>(folder_.File(u"host.ctl"));
    ASSERT_EQ(hosts.size(), 1u);
    EXPECT_EQ(FieldUtf8(hosts[0].name), "DEADDB");
    EXPECT_EQ(+hosts[0].physicalMemoryK, 0);

    t.SetOpenRequest();
    t.SetEvent(CHostThread::kHostStatsRequest);
    EXPECT_TRUE(testsupport::Eventually(
        [&] { return Log(u"DEADDB.log").find("not reached") != std::string::npos; }));
    t.SetEvent(CHostThread::kHostStatsRequest);
    testsupport::Eventually([&] {
        const std::string log = Log(u"DEADDB.log");
        return log.find("not reached") != log.rfind("not reached");
    });
    const std::string log = Log(u"DEADDB.log");
    EXPECT_NE(log.find(" : DEADDB : RFC Exception: "), std::string::npos) << log;
    EXPECT_NE(log.find("not reached"), log.rfind("not reached")) << log;
    EXPECT_TRUE(t.HasWorker());
    EXPECT_FALSE(folder_.Exists(u"DEADDB.cpu"));
    EXPECT_FALSE(folder_.Exists(u"DEADDB.ps"));
}

TEST_F(RemoteSimulatorTest, AnUnknownDestinationFallsBackLikeASilentOne) {
    Start(BaseScenario());
    auto t = Initialized(u"NOSUCHDEST", u"SYSB");
    EXPECT_EQ(t->OpSys(), u"Other");
    EXPECT_EQ(t->SystemId(), 0);
    t->GetHostStatistics();
    EXPECT_FALSE(folder_.Exists(u"NOSUCHDEST(SYSB).cpu"));
    EXPECT_NE(Log(u"NOSUCHDEST(SYSB).log").find("does not exist"), std::string::npos);
}

}  // namespace
