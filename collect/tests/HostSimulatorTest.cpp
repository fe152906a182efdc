// Host threads against the simulated system: what saposcol reports becomes
// host.ctl, disk.ctl and the minute records, decoded with the shared record
// structs and with the session dump.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "HostSimulatorSupport.h"
#include "platform/tests/support/Eventually.h"
#include "tools/sessiondump/DecoderRegistry.h"

namespace {

using platform::ToUtf8;

class HostSimulatorTest : public ::testing::Test {
  protected:
    // qashost1: figures held at the values the minute record's rules are
    // tested with; its three disks have names no file name may hold.
    static r3sim::Scenario FixedScenario() {
        r3sim::Scenario s = r3sim::DefaultScenario();
        r3sim::HostSpec host = HostWith("qashost1", {{"USR_TOTAL", 70},
                                                     {"SYS_TOTAL", 45},
                                                     {"PHYS_MEM", 1000},
                                                     {"FREE_MEM", 333},
                                                     {"SWAP_SIZE", 4000},
                                                     {"SWAP_FREE", 1000},
                                                     {"IN_PG_SEC", 7},
                                                     {"OUT_PG_SEC", 3}});
        host.disks = {Disk("/dev/sda", 100), Disk("c0t0d0:1", 120), Disk("vg01/lv data", -5)};
        host.fileSystems = {{"/", 1024 * 3000}, {"/usr/sap", 1024 * 2500}};
        host.hardwareDescrFile = "/usr/sap/tmp/hw.txt";
        s.hosts.push_back(host);
        return s;
    }

    void Start(r3sim::Scenario scenario) {
        sim_ = std::make_unique<SimulatorSession>(std::move(scenario));
    }
    r3sim::CallCounters& Counters() { return sim_->System().Counters(); }

    // A host thread of a server of the default scenario, initialised.
    std::unique_ptr<CHostThread> Initialized(const std::u16string& name, const std::u16string& host,
                                             const std::u16string& number) {
        auto t = std::make_unique<CHostThread>();
        LogOnTo(t->Connection(), host, number);
        t->Configure(folder_.Dir(), name, host, number);
        t->Initialize();
        return t;
    }

    SharedClock clock_;
    ScratchSessionFolder folder_;
    std::unique_ptr<SimulatorSession> sim_;
};

TEST_F(HostSimulatorTest, MinuteRecordsFollowTheLimitsAndTruncations) {
    Start(FixedScenario());
    auto t = Initialized(u"qashost1_QAS_00", u"qashost1", u"00");
    t->GetHostStatistics();

    const auto cpu = ReadRecords<HostCpuRecord>(folder_.File(u"qashost1.cpu"));
    ASSERT_EQ(cpu.size(), 1u);
    const double now = platform::OleDate::FromDateTime(platform::CurrentLocalTime()).Value();
    EXPECT_DOUBLE_EQ(+cpu[0].time, now);
    EXPECT_EQ(+cpu[0].cpuBusyPercent, 100);  // 70 + 45
    EXPECT_EQ(+cpu[0].pagesInPerSecond, 7);
    EXPECT_EQ(+cpu[0].pagesOutPerSecond, 3);
    EXPECT_EQ(+cpu[0].memoryUsedPercent, 66);  // 66.7 truncated
    EXPECT_EQ(+cpu[0].swapUsedPercent, 75);
    EXPECT_EQ(+cpu[0].diskUtilAverage, 66);  // (100 + 100 + 0) / 3
    EXPECT_EQ(+cpu[0].diskKbPerSecond, 300);
    EXPECT_EQ(+cpu[0].diskOpsPerSecond, 30);

    // One file per disk, named without the characters a file name may not
    // hold, each record with the minute's time and its limited UTIL.
    const std::vector<std::pair<std::u16string, int32_t>> disks = {{u"qashost1_devsda.dsk", 100},
                                                                   {u"qashost1_c0t0d01.dsk", 100},
                                                                   {u"qashost1_vg01lvdata.dsk", 0}};
    for (const auto& [file, util] : disks) {
        const auto records = ReadRecords<HostDiskRecord>(folder_.File(file));
        ASSERT_EQ(records.size(), 1u) << ToUtf8(file);
        EXPECT_DOUBLE_EQ(+records[0].time, cpu[0].time);
        EXPECT_EQ(+records[0].utilisation, util) << ToUtf8(file);
        EXPECT_EQ(+records[0].kbPerSecond, 100);
        EXPECT_EQ(+records[0].opsPerSecond, 10);
        EXPECT_EQ(+records[0].response, records[0].averageWait + records[0].averageService);
    }

    // The top processes as saposcol sent them, texts cut to the record.
    const auto ps = ReadRecords<tagPS_STAT>(folder_.File(u"qashost1.ps"));
    ASSERT_EQ(ps.size(), 8u);
    EXPECT_EQ(FieldUtf8(ps[0].userName), "qasadm");
    EXPECT_EQ(FieldUtf8(ps[0].command), "dw.sapQAS_DVEBMGS00 ");  // cut to 20
    EXPECT_GT(+ps[0].procId, 0);
    EXPECT_GE(+ps[0].residentSize, 1024);
    EXPECT_EQ(Counters().RowsSent("GET_TOP_SINGLE", "TF_TOP_SINGLE"), 8u);

    // A second minute appends and rewrites the snapshot.
    clock_.Clock().Advance(std::chrono::minutes(1));
    t->GetHostStatistics();
    EXPECT_EQ(ReadRecords<HostCpuRecord>(folder_.File(u"qashost1.cpu")).size(), 2u);
    EXPECT_EQ(ReadRecords<HostDiskRecord>(folder_.File(u"qashost1_devsda.dsk")).size(), 2u);
    EXPECT_EQ(ReadRecords<tagPS_STAT>(folder_.File(u"qashost1.ps")).size(), 8u);
}

TEST_F(HostSimulatorTest, ZeroAndNegativeTotalsGiveZeroWithoutDisks) {
    r3sim::Scenario s = r3sim::DefaultScenario();
    r3sim::HostSpec host = HostWith("qashost1", {{"USR_TOTAL", -30},
                                                 {"SYS_TOTAL", -20},
                                                 {"PHYS_MEM", 0},
                                                 {"FREE_MEM", 500},
                                                 {"SWAP_SIZE", -4},
                                                 {"SWAP_FREE", -8}});
    host.disks.clear();
    s.hosts.push_back(host);
    Start(s);
    auto t = Initialized(u"qashost1_QAS_00", u"qashost1", u"00");
    t->GetHostStatistics();
    const auto cpu = ReadRecords<HostCpuRecord>(folder_.File(u"qashost1.cpu"));
    ASSERT_EQ(cpu.size(), 1u);
    EXPECT_EQ(+cpu[0].cpuBusyPercent, 0);
    EXPECT_EQ(+cpu[0].memoryUsedPercent, 0);
    EXPECT_EQ(+cpu[0].swapUsedPercent, 0);
    EXPECT_EQ(+cpu[0].diskUtilAverage, 0);
    // The file exists, without a record for this host.
    ASSERT_TRUE(folder_.Exists(u"disk.ctl"));
    EXPECT_TRUE(ReadRecords<DiskControlRecord>(folder_.File(u"disk.ctl")).empty());
    for (const std::string& name : folder_.Names()) EXPECT_FALSE(name.ends_with(".dsk")) << name;
}

TEST_F(HostSimulatorTest, HostAndDiskControlRecordsDescribeTheHostOnce) {
    Start(FixedScenario());
    auto first = Initialized(u"qashost1_QAS_00", u"qashost1", u"00");

    const auto hosts = ReadRecords<HostControlRecord>(folder_.File(u"host.ctl"));
    ASSERT_EQ(hosts.size(), 1u);
    const HostControlRecord& h = hosts[0];
    EXPECT_EQ(FieldUtf8(h.name), "qashost1");
    EXPECT_EQ(FieldUtf8(h.ipAddress), "127.0.0.1");
    EXPECT_EQ(FieldUtf8(h.vendor), "Ostrel");
    EXPECT_EQ(FieldUtf8(h.opSys), "Linux");
    EXPECT_EQ(FieldUtf8(h.charType), "4103");
    EXPECT_EQ(FieldUtf8(h.intType), "LIT");
    EXPECT_EQ(FieldUtf8(h.floatType), "IE3");
    EXPECT_EQ(FieldUtf8(h.machine), "390");  // trimmed
    EXPECT_EQ(+h.timeZone, 3600);
    EXPECT_EQ(+h.physicalMemoryK, 1);  // 1000 / 1000
    EXPECT_EQ(+h.swapSizeK, 4);        // 4000 / 1000
    EXPECT_EQ(+h.fileSystemsK, 5u);    // (3000 + 2500) MB / 1000
    const auto* raw = reinterpret_cast<const unsigned char*>(&h);
    EXPECT_TRUE(std::all_of(raw + 274, raw + sizeof h, [](unsigned char b) { return b == 0; }));

    const auto disks = ReadRecords<DiskControlRecord>(folder_.File(u"disk.ctl"));
    ASSERT_EQ(disks.size(), 3u);
    EXPECT_EQ(FieldUtf8(disks[0].host), "qashost1");
    EXPECT_EQ(FieldUtf8(disks[0].diskName), "devsda");
    EXPECT_EQ(FieldUtf8(disks[1].diskName), "c0t0d01");
    EXPECT_EQ(FieldUtf8(disks[2].diskName), "vg01lvdata");

    // The second application server on the same host adds nothing, and
    // does not even ask for its disks again.
    const uint64_t diskCalls = Counters().Calls("GET_DISK_SINGLE");
    auto second = Initialized(u"qashost1_QAS_01", u"qashost1", u"01");
    EXPECT_EQ(ReadRecords<HostControlRecord>(folder_.File(u"host.ctl")).size(), 1u);
    EXPECT_EQ(ReadRecords<DiskControlRecord>(folder_.File(u"disk.ctl")).size(), 3u);
    EXPECT_EQ(Counters().Calls("GET_DISK_SINGLE"), diskCalls);

    // Another host gets its own records after the first host's.
    auto other = Initialized(u"qashost2_QAS_02", u"qashost2", u"02");
    const auto all = ReadRecords<HostControlRecord>(folder_.File(u"host.ctl"));
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(FieldUtf8(all[1].name), "qashost2");
    EXPECT_EQ(FieldUtf8(all[1].ipAddress), "127.0.0.3");
    EXPECT_EQ(ReadRecords<DiskControlRecord>(folder_.File(u"disk.ctl")).size(), 5u);
}

TEST_F(HostSimulatorTest, OmbrithHostsReportPagingOnly) {
    r3sim::Scenario s = r3sim::DefaultScenario();
    r3sim::HostSpec host = HostWith("qashost2", {{"AVGPROCUTL", 55}, {"AVGSYSPGRT", 12}});
    host.operatingSystem = "OMBRITH";
    s.hosts.push_back(host);
    Start(s);
    auto t = Initialized(u"qashost2_QAS_02", u"qashost2", u"02");
    EXPECT_EQ(t->OpSys(), u"OMBRITH");
    EXPECT_EQ(t->Release(), 70);
    t->GetHostStatistics();
    clock_.Clock().Advance(std::chrono::minutes(1));
    t->GetHostStatistics();

    const auto cpu = ReadRecords<HostCpuRecord>(folder_.File(u"qashost2.cpu"));
    ASSERT_EQ(cpu.size(), 2u);
    HostCpuRecord expected{};
    expected.time = cpu[1].time;
    expected.cpuBusyPercent = 55;
    expected.pagesInPerSecond = 12;
    EXPECT_EQ(std::memcmp(&cpu[1], &expected, sizeof expected), 0);
    EXPECT_TRUE(folder_.Exists(u"qashost2.ps"));
    EXPECT_TRUE(ReadRecords<tagPS_STAT>(folder_.File(u"qashost2.ps")).empty());
    for (const std::string& name : folder_.Names()) EXPECT_FALSE(name.ends_with(".dsk")) << name;

    const auto hosts = ReadRecords<HostControlRecord>(folder_.File(u"host.ctl"));
    ASSERT_EQ(hosts.size(), 1u);
    EXPECT_EQ(FieldUtf8(hosts[0].opSys), "OMBRITH");
    EXPECT_EQ(+hosts[0].physicalMemoryK, 0);
    EXPECT_EQ(+hosts[0].swapSizeK, 0);
    EXPECT_EQ(+hosts[0].fileSystemsK, 0u);
    EXPECT_FALSE(folder_.Exists(u"disk.ctl") &&
                 !ReadRecords<DiskControlRecord>(folder_.File(u"disk.ctl")).empty());

    EXPECT_EQ(Counters().Calls("GET_OMBRITH_SPAG_ALL"), 2u);
    for (const char* module : {"GET_TARROW_SPAG_ALL", "GET_CPU_ALL", "GET_MEM_ALL",
                               "GET_DISK_SINGLE", "GET_FSYS_SINGLE", "GET_TOP_SINGLE"})
        EXPECT_EQ(Counters().Calls(module), 0u) << module;
}

TEST_F(HostSimulatorTest, OlderOmbrithReleasesAreReadThroughTheTarrowModule) {
    r3sim::Scenario s = r3sim::DefaultScenario();
    s.release = s.partnerRelease = "45B";
    r3sim::HostSpec host = HostWith("qashost2", {{"AVGPROCUTL", 31}, {"AVGSYSPGRT", 4}});
    host.operatingSystem = "OMBRITH";
    s.hosts.push_back(host);
    Start(s);
    auto t = Initialized(u"qashost2_QAS_02", u"qashost2", u"02");
    EXPECT_EQ(t->Release(), 45);
    t->GetHostStatistics();
    const auto cpu = ReadRecords<HostCpuRecord>(folder_.File(u"qashost2.cpu"));
    ASSERT_EQ(cpu.size(), 1u);
    EXPECT_EQ(+cpu[0].cpuBusyPercent, 31);
    EXPECT_EQ(+cpu[0].pagesInPerSecond, 4);
    EXPECT_EQ(Counters().Calls("GET_TARROW_SPAG_ALL"), 1u);
    EXPECT_EQ(Counters().Calls("GET_OMBRITH_SPAG_ALL"), 0u);
}

TEST_F(HostSimulatorTest, HardwareListingComesFromTheNamedDescriptionFile) {
    r3sim::Scenario s = FixedScenario();
    r3sim::HostSpec bare = HostWith("qashost2", {});
    bare.hardwareDescrFile.clear();
    s.hosts.push_back(bare);
    Start(s);
    auto t = Initialized(u"qashost1_QAS_00", u"qashost1", u"00");
    t->GetHardwareInformation();
    EXPECT_EQ(t->HardwareDescrFile(), u"/usr/sap/tmp/hw.txt");
    const std::vector<std::string> hw = sessiondump::DumpFile(ToUtf8(folder_.File(u"qashost1.hw")));
    ASSERT_EQ(hw.size(), 1u + 4u + 2u + 3u);  // host, 4 processors, memory and swap, 3 disks
    EXPECT_NE(hw[0].find("Host qashost1, Linux"), std::string::npos) << hw[0];
    EXPECT_NE(hw.back().find("Disk vg01/lv data"), std::string::npos) << hw.back();
    const std::vector<unsigned char> bytes = platform::ReadWholeFile(folder_.File(u"qashost1.hw"));
    EXPECT_EQ(std::string(bytes.end() - 2, bytes.end()), "\r\n");

    // Without a description file: no listing, no second message, no read.
    auto plain = Initialized(u"qashost2_QAS_02", u"qashost2", u"02");
    plain->GetHardwareInformation();
    EXPECT_TRUE(plain->HardwareDescrFile().empty());
    EXPECT_FALSE(folder_.Exists(u"qashost2.hw"));
    EXPECT_EQ(Counters().Calls("SMON_READ_HARDWARE_DESCR_FILE"), 1u);
    const std::vector<unsigned char> log = platform::ReadWholeFile(folder_.File(u"qashost2.log"));
    const std::string text(log.begin(), log.end());
    EXPECT_NE(text.find("capturing hardware information."), std::string::npos);
    EXPECT_EQ(text.find("reading hardware information file"), std::string::npos) << text;
}

TEST_F(HostSimulatorTest, AHostWithoutItsCollectorKeepsItsOldSnapshot) {
    r3sim::Scenario s = r3sim::DefaultScenario();
    Start(s);
    auto t = Initialized(u"qashost1_QAS_00", u"qashost1", u"00");
    t->GetHostStatistics();
    const auto before = platform::ReadWholeFile(folder_.File(u"qashost1.ps"));
    sim_.reset();

    s.hosts.push_back(HostWith("qashost1", {}));
    s.hosts.back().saposcol = false;
    Start(s);
    t->GetHostStatistics();  // reconnects, then GET_CPU_ALL fails
    EXPECT_EQ(ReadRecords<HostCpuRecord>(folder_.File(u"qashost1.cpu")).size(), 1u);
    EXPECT_EQ(platform::ReadWholeFile(folder_.File(u"qashost1.ps")), before);
    const auto log = platform::ReadWholeFile(folder_.File(u"qashost1.log"));
    const std::string text(log.begin(), log.end());
    EXPECT_NE(text.find("collector is not running on qashost1"), std::string::npos) << text;
}

TEST_F(HostSimulatorTest, TheWorkerCapturesAndTheDumpDecodesEveryFile) {
    Start(FixedScenario());
    CHostThread t;
    LogOnTo(t.Connection(), u"qashost1", u"00");
    t.Configure(folder_.Dir(), u"qashost1_QAS_00", u"qashost1", u"00");
    t.Start();
    t.SetOpenRequest();
    t.SetEvent(CHostThread::kHardwareRequest);
    t.SetEvent(CHostThread::kHostStatsRequest);
    EXPECT_TRUE(testsupport::Eventually([&] { return folder_.Exists(u"qashost1.ps"); }));
    t.EndThread();

    std::string all;
    for (const std::string& line : sessiondump::DumpFolder(ToUtf8(folder_.Dir())))
        if (!line.starts_with("qashost1.log")) all += line + "\n";  // logs are not records
    EXPECT_EQ(all.find("no decoder"), std::string::npos) << all;
    for (const char* expected :
         {"cpu_busy=100", "mem_used=66", "disk_util=66", "UTIL=100", "DISKNAME=\"c0t0d01\"",
          "PHYS_MEM_K=1", "USERNAME=\"qasadm\"", "Processor 3"})
        EXPECT_NE(all.find(expected), std::string::npos) << expected << "\n" << all;
}

}  // namespace
