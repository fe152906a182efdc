// Every catalogue class against the simulated system, on a Unicode system
// and on a non-Unicode release 46C one: the keys and fields the collector
// reads are in the interfaces the system serves and carry the scenario's
// values, and the Ex classes leave out of the transfer what they must.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/DateTime.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"
#include "r3sim/CallCounters.h"
#include "rfc/RfcException.h"
#include "rfc/catalogue/ControlPerfRequest.h"
#include "rfc/catalogue/DB02DB4GetInfo.h"
#include "rfc/catalogue/DB02GetMainScreenQUILLET.h"
#include "rfc/catalogue/DB02OraFillTD110.h"
#include "rfc/catalogue/DbOraMainList.h"
#include "rfc/catalogue/GetConfigDefined.h"
#include "rfc/catalogue/GetCpuAll.h"
#include "rfc/catalogue/GetDiskSingle.h"
#include "rfc/catalogue/GetFsysSingle.h"
#include "rfc/catalogue/GetMemAll.h"
#include "rfc/catalogue/GetOmbrithLparInfo.h"
#include "rfc/catalogue/GetOmbrithSpagAll.h"
#include "rfc/catalogue/GetParameter.h"
#include "rfc/catalogue/GetSystemTimeRemote.h"
#include "rfc/catalogue/GetTarrowSpagAll.h"
#include "rfc/catalogue/GetTopSingle.h"
#include "rfc/catalogue/OcsGetInfo.h"
#include "rfc/catalogue/PflGetServerParamValues.h"
#include "rfc/catalogue/RfcSystemInfo.h"
#include "rfc/catalogue/SaptuneGetStorageInfos.h"
#include "rfc/catalogue/SaptuneGetSummaryStatistic.h"
#include "rfc/catalogue/SapwlStatrecReadFile.h"
#include "rfc/catalogue/SmonReadHardwareDescrFile.h"
#include "rfc/catalogue/ThEnvironment.h"
#include "rfc/catalogue/ThRequestQueue.h"
#include "rfc/catalogue/ThSaprel.h"
#include "rfc/catalogue/ThServerList.h"
#include "rfc/catalogue/ThWpInfo.h"
#include "support/SimulatorSession.h"

namespace {

using platform::DateTime;

std::string Narrow(const std::u16string& text) {
    return platform::ToUtf8(text);
}

std::string ScenarioPath(const std::string& name) {
    return std::string(R3SIM_SCENARIO_DIR) + "/" + name;
}

struct SystemCase {
    const char* file;  // nullptr: the embedded default
    const char* client;
    const char* host;  // of the first server
    const char* name;  // of the first server
};

// The clock of collector and system alike: Tuesday, 8 December 2026, 10:07:30
// local time, an hour east of GMT.
class ClockScope {
  public:
    ClockScope()
        : clock_(std::make_shared<platform::ManualTimeSource>(platform::TimePoint{}, 3600)) {
        clock_->SetLocal(platform::MakeDateTime(2026, 12, 8, 10, 7, 30));
        platform::SetTimeSource(clock_);
    }
    ~ClockScope() { platform::SetTimeSource(nullptr); }
    platform::ManualTimeSource& Clock() { return *clock_; }

  private:
    std::shared_ptr<platform::ManualTimeSource> clock_;
};

class CatalogueSimulatorTest : public ::testing::TestWithParam<SystemCase> {
  protected:
    void SetUp() override {
        const SystemCase& c = GetParam();
        scenario_ = c.file ? r3sim::LoadScenarioFile(ScenarioPath(c.file)) : r3sim::DefaultScenario();
        session_ = std::make_unique<SimulatorSession>(scenario_);
        connection_.SetLogonData(platform::FromUtf8(c.host),
                                 platform::FromUtf8(c.name).substr(
                                     platform::FromUtf8(c.name).size() - 2),
                                 platform::FromUtf8(c.client), u"COLLECTOR", u"SECRET", u"EN",
                                 u"", u"");
        connection_.CallRfcOpen();
    }
    void TearDown() override {
        connection_.CloseConnection();
        session_.reset();
    }

    r3sim::CallCounters& Counters() { return session_->System().Counters(); }

    ClockScope clock_;
    r3sim::Scenario scenario_;
    std::unique_ptr<SimulatorSession> session_;
    CRfcConnection connection_;
};

template <typename Call>
std::u16string ExportText(Call& call, std::u16string_view key, std::u16string_view field) {
    std::u16string out;
    EXPECT_TRUE(call.GetExportField(key, field, out)) << Narrow(std::u16string(key)) << "-"
                                                       << Narrow(std::u16string(field));
    return out;
}

template <typename Call>
std::u16string RowText(Call& call, const void* row, std::u16string_view field) {
    std::u16string out;
    EXPECT_TRUE(call.GetTableField(call.TableKey(), field, row, out))
        << Narrow(call.TableKey()) << "-" << Narrow(std::u16string(field));
    return out;
}

template <typename Call>
int64_t RowNumber(Call& call, const void* row, std::u16string_view field) {
    int64_t out = 0;
    EXPECT_TRUE(call.GetTableField(call.TableKey(), field, row, out))
        << Narrow(call.TableKey()) << "-" << Narrow(std::u16string(field));
    return out;
}

TEST_P(CatalogueSimulatorTest, SystemIdentityAndServerList) {
    CRfcSystemInfo info;
    info.CallFunctionModule(connection_);
    EXPECT_EQ(Narrow(ExportText(info, u"E_RFCSI_EXPORT", u"RFCSYSID")), scenario_.systemId);
    EXPECT_EQ(Narrow(ExportText(info, u"E_RFCSI_EXPORT", u"RFCOPSYS")), scenario_.operatingSystem);
    EXPECT_EQ(Narrow(ExportText(info, u"E_RFCSI_EXPORT", u"RFCDBSYS")),
              r3sim::DatabaseKind(scenario_.database));
    EXPECT_EQ(Narrow(ExportText(info, u"E_RFCSI_EXPORT", u"RFCSAPRL")), scenario_.release);
    EXPECT_EQ(Narrow(ExportText(info, u"E_RFCSI_EXPORT", u"RFCHOST")), GetParam().host);

    CThServerList list;
    list.CallFunctionModule(connection_);
    ASSERT_EQ(list.GetRowCount(), static_cast<int>(scenario_.servers.size()));
    for (int i = 1; i <= list.GetRowCount(); ++i) {
        const r3sim::ServerSpec& server = scenario_.servers[i - 1];
        const void* row = list.GetRow(i);
        EXPECT_EQ(Narrow(RowText(list, row, u"NAME")), server.name);
        EXPECT_EQ(Narrow(RowText(list, row, u"HOST")), server.host);
        EXPECT_FALSE(RowText(list, row, u"SERV").empty());
        uint8_t bits = 0;
        EXPECT_TRUE(list.GetTableField(u"T_LIST", u"MSGTYPES", row, &bits, 1));
        std::string expected;
        for (const std::string& service : server.services) expected += service + " ";
        if (!expected.empty()) expected.pop_back();
        EXPECT_EQ(Narrow(CThServerList::MessageTypesText(bits)), expected) << server.name;
    }
}

TEST_P(CatalogueSimulatorTest, SoftwareLinesInTheirColumns) {
    COcsGetInfo ocs;
    ocs.CallFunctionModule(connection_);
    ASSERT_GT(ocs.GetComponentCount(), 0);
    ASSERT_GT(ocs.GetPatchCount(), 0);
    ASSERT_GT(ocs.GetAddonCount(), 0);
    const std::u16string component = platform::FieldText(ocs.ReadComponent(1), 100);
    EXPECT_EQ(platform::Trim(component.substr(0, 30)), u"SAP_BASIS");
    EXPECT_EQ(Narrow(platform::Trim(component.substr(30, 10))), scenario_.release);
    const std::u16string patch = platform::FieldText(ocs.ReadPatch(1), 300);
    ASSERT_GE(patch.size(), 121u);
    int y, mo, d, h, mi, s;
    CGetSystemTimeRemote::ParseDateTime(patch.substr(107, 8), patch.substr(115, 6), y, mo, d, h,
                                        mi, s);
    EXPECT_TRUE(patch.starts_with(u"SAPKB"));
    // An add-on line names its id in the first ten characters and its text from 103.
    const std::u16string addon = platform::FieldText(ocs.ReadAddon(1), 200);
    ASSERT_GT(addon.size(), 102u);  // trailing blanks of the description are not text
    EXPECT_FALSE(platform::Trim(addon.substr(0, 10)).empty());
    EXPECT_FALSE(platform::Trim(addon.substr(102, 40)).empty());
    // Past the end and row 0 leave the buffer cleared.
    EXPECT_EQ(ocs.ReadComponent(0)[0], u'\0');
    EXPECT_EQ(ocs.ReadComponent(ocs.GetComponentCount() + 1)[0], u'\0');
}

TEST_P(CatalogueSimulatorTest, DatabaseFiguresOfTheSystemsKind) {
    CDbOraMainList main;
    main.CallFunctionModule(connection_);
    EXPECT_EQ(Narrow(ExportText(main, u"E_DBORA", u"VERSION")), scenario_.database.version);
    CDB02OraFillTD110 space;
    space.CallFunctionModule(connection_);
    int64_t tasi = 0, tisi = 0;
    EXPECT_TRUE(space.GetExportField(u"E_TD110", u"TASI", tasi));
    EXPECT_TRUE(space.GetExportField(u"E_TD110", u"TISI", tisi));
    EXPECT_EQ(tasi, scenario_.database.tableBytes);
    EXPECT_EQ(tisi, scenario_.database.indexBytes);
    // The monitors of other databases refuse an ORACLE system.
    CDB02GetMainScreenQUILLET quillet;
    EXPECT_THROW(quillet.CallFunctionModule(connection_), CRfcException);
    CDB02DB4GetInfo db4;
    EXPECT_THROW(db4.CallFunctionModule(connection_), CRfcException);
}

TEST_P(CatalogueSimulatorTest, InstanceModules) {
    CThWpInfo wp;
    wp.CallFunctionModule(connection_);
    ASSERT_GT(wp.GetRowCount(), 0);
    bool sawDialog = false;
    for (int i = 1; i <= wp.GetRowCount(); ++i) {
        const void* row = wp.GetRow(i);
        EXPECT_EQ(RowNumber(wp, row, u"WP_NO"), i - 1);
        const std::u16string type = RowText(wp, row, u"WP_TYP");
        sawDialog |= type == u"DIA";
        EXPECT_GT(RowNumber(wp, row, u"WP_PID"), 0);
        EXPECT_FALSE(RowText(wp, row, u"WP_STATUS").empty());
        RowNumber(wp, row, u"WP_CPU");
    }
    EXPECT_TRUE(sawDialog);

    CThEnvironment env;
    env.CallFunctionModule(connection_);
    ASSERT_GT(env.GetRowCount(), 0);
    EXPECT_FALSE(RowText(env, env.GetRow(1), u"LINE").empty());

    CThSaprel rel;
    rel.CallFunctionModule(connection_);
    std::u16string kernel;
    rel.GetExport(u"E_KERN_REL", kernel);
    EXPECT_EQ(Narrow(kernel), scenario_.kernelRelease);
    for (const char16_t* key : {u"E_KERN_DBLIB", u"E_KERN_COMP_ON", u"E_KERN_COMP_TIME",
                                u"E_KERN_PATCHLEVEL"}) {
        std::u16string value;
        rel.GetExport(key, value);
        EXPECT_FALSE(value.empty()) << Narrow(key);
    }

    CThRequestQueue queue;
    queue.CallFunctionModule(connection_);
    ASSERT_GT(queue.GetRowCount(), 0);
    EXPECT_FALSE(RowText(queue, queue.GetRow(1), u"THLINE").empty());

    CPflGetServerParamValues profile;
    profile.CallFunctionModule(connection_);
    ASSERT_GT(profile.GetRowCount(), 10);
    bool userValue = false;
    for (int i = 1; i <= profile.GetRowCount(); ++i) {
        const void* row = profile.GetRow(i);
        EXPECT_FALSE(RowText(profile, row, u"PARAM_NAME").empty());
        userValue |= !RowText(profile, row, u"USER_VALUE").empty();
        RowText(profile, row, u"DFL_VALUE");
    }
    EXPECT_TRUE(userValue);

    CGetParameter parameter;
    parameter.CallFunctionModule(connection_);
    std::u16string lastWrite;
    parameter.GetExport(u"E_FP_LASTCOLLWRT", lastWrite);
    EXPECT_FALSE(lastWrite.empty());

    CGetSystemTimeRemote time;
    time.CallFunctionModule(connection_);
    platform::DateTime remote;
    ASSERT_TRUE(platform::OleDate(time.GetRemoteDateTime()).ToDateTime(remote));
    const DateTime expected = platform::CurrentTimeSource()->ToLocal(
        platform::CurrentTimeSource()->Now() +
        std::chrono::seconds(scenario_.servers.front().clockOffsetSeconds));
    EXPECT_EQ(remote.year, expected.year);
    EXPECT_EQ(remote.month, expected.month);
    EXPECT_EQ(remote.day, expected.day);
    EXPECT_EQ(remote.hour, expected.hour);
    EXPECT_EQ(remote.minute, expected.minute);
}

TEST_P(CatalogueSimulatorTest, StorageAndItsExNarrowing) {
    CSaptuneGetStorageInfos full;
    full.CallFunctionModule(connection_);
    EXPECT_TRUE(Counters().TableSent("SAPTUNE_GET_STORAGE_INFOS", "SHM_SEGMENTS"));
    Counters().Reset();

    CSaptuneGetStorageInfosEx storage;
    storage.CallFunctionModule(connection_);
    EXPECT_EQ(Counters().Calls("SAPTUNE_GET_STORAGE_INFOS"), 1u);
    EXPECT_FALSE(Counters().TableSent("SAPTUNE_GET_STORAGE_INFOS", "SHM_SEGMENTS"));
    int32_t value = 0;
    for (const char16_t* key : {u"E_ROLL_AREA", u"E_PAGE_BUFSZ", u"E_EXT_MEM", u"E_WP_ALL",
                                u"E_WP_NUMBER", u"E_NUM_SHMS", u"E_SHM_TOTAL"}) {
        storage.GetExport(key, value);
        EXPECT_GT(value, 0) << Narrow(key);
    }
    for (const char16_t* key : {u"E_USE_PAGING", u"E_SHORT_ST", u"E_VMEM_SIZE", u"E_VMEM_SIZE_WP",
                                u"E_SHM_TOTAL_USED", u"E_SHM_TOTAL_NOT_USED", u"E_SHM_ASIZE_USED",
                                u"E_DW_TEXT", u"E_DW_DATA", u"E_DW_BSS", u"E_DW_ERROR"}) {
        storage.GetExport(key, value);
        EXPECT_GE(value, 0) << Narrow(key);
    }
    int64_t heap = 0;
    storage.GetExport(u"E_HEAP_AREA_TOTAL", heap);
    EXPECT_GT(heap, 0);
}

TEST_P(CatalogueSimulatorTest, SummaryStatisticAndItsExNarrowing) {
    CSaptuneGetSummaryStatistic full;
    full.CallFunctionModule(connection_);
    const std::string module = "SAPTUNE_GET_SUMMARY_STATISTIC";
    EXPECT_TRUE(Counters().TableSent(module, "ENQUEUE_STATISTIC"));
    Counters().Reset();

    CSaptuneGetSummaryStatisticEx summary;
    summary.CallFunctionModule(connection_);
    for (const char* table :
         {"BUFFER_STATISTIC", "TABLE_STATISTIC", "TABLE_QUALITIES", "CURSOR_CACHE_INFO"})
        EXPECT_GT(Counters().RowsSent(module, table), 0u) << table;
    EXPECT_FALSE(Counters().TableSent(module, "ENQUEUE_STATISTIC"));
    EXPECT_FALSE(Counters().TableSent(module, "SHARED_MEMORY"));

    int64_t used = 0;
    EXPECT_TRUE(summary.GetExportField(u"E_ROLL_AREA", u"CURR_USED", used));
    EXPECT_TRUE(summary.GetExportField(u"E_PAGING_AREA", u"CURR_USED", used));
    EXPECT_TRUE(summary.GetExportField(u"E_EXTENDED_MEMORY_USAGE", u"ALLOCATED", used));
    EXPECT_GT(used, 0);
    EXPECT_TRUE(summary.GetExportField(u"E_HEAP_MEMORY_USAGE", u"USED", used));

    const int buffers = summary.GetTableRowCount(u"BUFFER_STATISTIC");
    ASSERT_GT(buffers, 0);
    int64_t space = 0;
    EXPECT_TRUE(summary.GetTableField(u"T_BUFFER_STATISTIC", u"USED_SPACE",
                                      summary.GetTableRow(u"BUFFER_STATISTIC", 1), space));
    const void* quality = summary.GetTableRow(u"TABLE_QUALITIES", 1);
    ASSERT_NE(quality, nullptr);
    std::u16string name;
    EXPECT_TRUE(summary.GetTableField(u"T_TABLE_QUALITIES", u"TNAME", quality, name));
    EXPECT_FALSE(name.empty());
    for (const char16_t* field : {u"Q_TOTAL", u"Q_DIRECTRD", u"Q_SEQRD"})
        EXPECT_TRUE(summary.GetTableField(u"T_TABLE_QUALITIES", field, quality, used));
    const void* cursor = summary.GetTableRow(u"CURSOR_CACHE_INFO", 1);
    ASSERT_NE(cursor, nullptr);
    for (const char16_t* field :
         {u"WRKPROCESS", u"WP_PID", u"WP_ITYPE", u"S_REQUEST", u"S_FOUNDS", u"S_INSERTS",
          u"S_DELETES", u"S_MAX", u"S_REPARSES", u"SI_REQUEST", u"SI0_REQ", u"SI_FOUNDS",
          u"SI_INSERTS", u"SI_DELETES", u"SI_MAX"})
        EXPECT_TRUE(summary.GetTableField(u"T_CURSOR_CACHE_INFO", field, cursor, used))
            << Narrow(field);
}

TEST_P(CatalogueSimulatorTest, WorkloadRecordsAndTheirExNarrowing) {
    // The last quarter of an hour in the server's own clock.
    const auto source = platform::CurrentTimeSource();
    const auto serverNow =
        source->Now() + std::chrono::seconds(scenario_.servers.front().clockOffsetSeconds);
    const DateTime end = source->ToLocal(serverNow);
    const DateTime start = source->ToLocal(serverNow - std::chrono::minutes(15));
    auto Digits = [](int a, int b, int c, int width) {
        char text[16];
        std::snprintf(text, sizeof text, width == 4 ? "%04d%02d%02d" : "%02d%02d%02d", a, b, c);
        return platform::FromUtf8(text);
    };
    const std::string module = "SAPWL_STATREC_READ_FILE";
    auto Read = [&](CSapwlStatrecReadFile& call) {
        call.PrepareInterface(connection_);
        call.SetImport(u"I_READ_START_DATE", Digits(start.year, start.month, start.day, 4));
        call.SetImport(u"I_READ_START_TIME", Digits(start.hour, start.minute, start.second, 2));
        call.SetImport(u"I_READ_END_DATE", Digits(end.year, end.month, end.day, 4));
        call.SetImport(u"I_READ_END_TIME", Digits(end.hour, end.minute, end.second, 2));
        call.SetImport(u"I_READ_CONTINUE_RECORDNO", int32_t{0});
        call.CallFunctionModule(connection_);
    };
    CSapwlStatrecReadFile full;
    Read(full);
    EXPECT_TRUE(Counters().TableSent(module, "V2_TABLE_RECORDS"));
    Counters().Reset();

    CSapwlStatrecReadFileEx steps;
    Read(steps);
    EXPECT_TRUE(Counters().TableSent(module, "V2_NORMAL_RECORDS"));
    EXPECT_TRUE(Counters().TableSent(module, "V2_BTC_STEP_RECORDS"));
    EXPECT_FALSE(Counters().TableSent(module, "V2_TABLE_RECORDS"));
    EXPECT_FALSE(Counters().TableSent(module, "V2_RFC_CLIENT_RECORDS"));
    EXPECT_EQ(Counters().RowsSent(module, "V2_NORMAL_RECORDS"),
              static_cast<uint64_t>(steps.GetNormalRowCount()));
    EXPECT_GT(steps.GetNormalRowCount(), 0);
    EXPECT_EQ(steps.GetNormalRowCount(), full.GetNormalRowCount());
    int32_t forward = 0;
    steps.GetExport(u"E_CONTINUE_RECORDNO_FORWARD", forward);
    EXPECT_NE(forward, 0);
}

// The scenario's volume sets how many dialog steps a server records: a
// minute of a busy server gives thousands, of an idle one none.
TEST(WorkloadVolumeTest, DialogStepsPerMinuteSetTheRecordsOfTheWindow) {
    ClockScope clock;
    r3sim::Scenario scenario = r3sim::DefaultScenario();
    scenario.servers.resize(2);
    for (r3sim::ServerSpec& server : scenario.servers) server.services = {"Dialog"};
    scenario.servers[0].dialogStepsPerMinute = 3000;
    scenario.servers[1].dialogStepsPerMinute = 0;
    SimulatorSession session(scenario);
    auto StepsOf = [](const std::u16string& systemNumber) {
        CRfcConnection connection;
        SimulatorSession::LogOn(connection, u"COLLECTOR", u"SECRET", u"qashost1", systemNumber);
        connection.CallRfcOpen();
        CSapwlStatrecReadFileEx steps;
        steps.PrepareInterface(connection);
        steps.SetImport(u"I_READ_START_DATE", std::u16string_view(u"20261208"));
        steps.SetImport(u"I_READ_START_TIME", std::u16string_view(u"100630"));
        steps.SetImport(u"I_READ_END_DATE", std::u16string_view(u"20261208"));
        steps.SetImport(u"I_READ_END_TIME", std::u16string_view(u"100730"));
        steps.CallFunctionModule(connection);
        const int count = steps.GetNormalRowCount();
        connection.CloseConnection();
        return count;
    };
    // 3000 a minute on a daily wave of +-1714.
    const int busy = StepsOf(u"00");
    EXPECT_GT(busy, 1200);
    EXPECT_LT(busy, 4800);
    EXPECT_EQ(StepsOf(u"01"), 0);
}

TEST_P(CatalogueSimulatorTest, SaposcolOfTheHost) {
    CGetConfigDefined config;
    config.PrepareInterface(connection_);
    config.SetImport(u"I_LOCAL_REMOTE", u"LOCAL");
    config.CallFunctionModule(connection_);
    std::u16string os, lastWrite;
    config.GetExport(u"E_FP_OPSYSTEM", os);
    config.GetExport(u"E_FP_LASTCOLLWRT", lastWrite);
    EXPECT_FALSE(os.empty());
    EXPECT_FALSE(lastWrite.empty());

    CGetCpuAll cpu;
    cpu.CallFunctionModule(connection_);
    ASSERT_GT(cpu.GetRowCount(), 0);
    cpu.ReadRow(1);
    const r3sim::HostSpec host = r3sim::HostOf(scenario_, GetParam().host);
    EXPECT_EQ(cpu.GetRowRecord().NBR_CPU, host.cpus);
    EXPECT_GT(cpu.GetRowRecord().USR_TOTAL + cpu.GetRowRecord().SYS_TOTAL +
                  cpu.GetRowRecord().IDLE_TOTAL,
              0);

    CGetMemAll memory;
    memory.CallFunctionModule(connection_);
    ASSERT_GT(memory.GetRowCount(), 0);
    const void* m = memory.GetRow(1);
    EXPECT_EQ(RowNumber(memory, m, u"PHYS_MEM"), host.memoryKB);
    EXPECT_LE(RowNumber(memory, m, u"FREE_MEM"), host.memoryKB);
    EXPECT_EQ(RowNumber(memory, m, u"SWAP_SIZE"), host.swapKB);
    RowNumber(memory, m, u"SWAP_FREE");
    RowNumber(memory, m, u"IN_PG_SEC");
    RowNumber(memory, m, u"OUT_PG_SEC");

    CGetTopSingle top;
    top.CallFunctionModule(connection_);
    ASSERT_EQ(top.GetRowCount(), host.processes);
    const void* p = top.GetRow(1);
    EXPECT_GT(RowNumber(top, p, u"PROC_ID"), 0);
    EXPECT_FALSE(RowText(top, p, u"USERNAME").empty());
    EXPECT_FALSE(RowText(top, p, u"COMMAND").empty());
    RowText(top, p, u"CPU_TIME");
    RowNumber(top, p, u"RES_SIZE");

    CGetDiskSingle disks;
    disks.CallFunctionModule(connection_);
    ASSERT_EQ(disks.GetRowCount(), static_cast<int>(host.disks.size()));
    const void* d = disks.GetRow(1);
    EXPECT_EQ(Narrow(RowText(disks, d, u"DISKNAME")), host.disks.front().name);
    for (const char16_t* field :
         {u"UTIL", u"AVG_QUEUEL", u"AVG_WAIT", u"AVG_SERVIC", u"KB_SEC", u"OP_SEC", u"RESPONSE"})
        RowNumber(disks, d, field);

    CGetFsysSingle files;
    files.CallFunctionModule(connection_);
    ASSERT_EQ(files.GetRowCount(), static_cast<int>(host.fileSystems.size()));
    // saposcol reports file-system sizes in MB.
    EXPECT_EQ(RowNumber(files, files.GetRow(1), u"CAPACITY"),
              host.fileSystems.front().capacityKB / 1024);

    CSmonReadHardwareDescrFile hardware;
    hardware.PrepareInterface(connection_);
    hardware.SetImport(u"I_FILE_NAME", platform::FromUtf8(host.hardwareDescrFile));
    hardware.CallFunctionModule(connection_);
    ASSERT_GT(hardware.GetRowCount(), 0);
    EXPECT_FALSE(RowText(hardware, hardware.GetRow(1), u"DESCR").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Systems, CatalogueSimulatorTest,
    ::testing::Values(SystemCase{nullptr, "100", "qashost1", "qashost1_QAS_00"},
                      SystemCase{"nonunicode-46c.json", "300", "p46ci", "p46ci_P46_00"}),
    [](const ::testing::TestParamInfo<SystemCase>& info) {
        return std::string(info.param.file ? "NonUnicode46C" : "Unicode");
    });

// The OMBRITH/QUILLET system: the QUILLET entry screen and the spag figures.
TEST(CatalogueOmbrithSystem, QuilletFiguresAndSpag) {
    ClockScope clock;
    const r3sim::Scenario scenario = r3sim::LoadScenarioFile(ScenarioPath("ombrith-quillet.json"));
    SimulatorSession session(scenario);
    CRfcConnection c;
    c.SetLogonData(u"qbrsys1", u"00", u"100", u"COLLECTOR", u"SECRET", u"EN", u"", u"");
    c.CallRfcOpen();

    CDB02GetMainScreenQUILLET screen;
    screen.CallFunctionModule(c);
    int64_t tables = 0, indexes = 0, free = 0;
    EXPECT_TRUE(screen.GetExportField(u"E_ENTRY_SCREEN_DATA", u"TBSIZE", tables));
    EXPECT_TRUE(screen.GetExportField(u"E_ENTRY_SCREEN_DATA", u"IXSIZE", indexes));
    EXPECT_TRUE(screen.GetExportField(u"E_ENTRY_SCREEN_DATA", u"IXFREE", free));
    EXPECT_EQ(tables, scenario.database.tableBytes);
    EXPECT_EQ(indexes, scenario.database.indexBytes);
    EXPECT_EQ(free, scenario.database.indexFreeBytes);
    CDbOraMainList oracle;
    EXPECT_THROW(oracle.CallFunctionModule(c), CRfcException);

    CGetOmbrithSpagAll spag;
    spag.PrepareInterface(c);
    spag.SetImport(u"I_LOCAL_REMOTE", u"INTERN");
    spag.SetImport(u"I_LOGICAL_DESTINATION", u"SAPCCMSR.QBRDB.99");
    spag.SetImport(u"I_SYSTEM_ID", int32_t{3});
    spag.CallFunctionModule(c);
    ASSERT_GT(spag.GetRowCount(), 0);
    spag.ReadRow(1);
    const auto& r = spag.GetRowRecord();
    EXPECT_GE(r.AVGPROCUTL, 0);
    EXPECT_LE(r.AVGPROCUTL, 100);
    EXPECT_GE(r.AVGSYSPGRT, 0);
    EXPECT_GT(r.PG_IN, 0);  // counters since the host's start
    EXPECT_GT(r.PG_OUT, 0);

    CGetTarrowSpagAll tarrow;
    tarrow.PrepareInterface(c);
    tarrow.SetImport(u"I_LOCAL_REMOTE", u"LOCAL");
    tarrow.CallFunctionModule(c);
    ASSERT_GT(tarrow.GetRowCount(), 0);
    tarrow.ReadRow(1);
    EXPECT_GT(tarrow.GetRowRecord().INTRVALSEC, 0);

    CGetOmbrithLparInfo lpar;
    lpar.CallFunctionModule(c);

    CControlPerfRequest clavern;
    clavern.PrepareInterface(c);
    clavern.SetImport(u"I_REQUEST_TYP", int32_t{107});
    clavern.SetImport(u"I_REQUEST_ID", int32_t{-1});
    clavern.SetImport(u"I_REQUEST_MODE", u"S");
    clavern.SetImport(u"I_REQUEST_PARAM1", u"CLAVERN");
    clavern.SetImport(u"I_LOCAL_REMOTE", u"INTERN");
    clavern.SetImport(u"I_LOGICAL_DESTINATION", u"SAPCCMSR.QBRDB.99");
    clavern.CallFunctionModule(c);
    std::u16string members;
    clavern.GetExport(u"E_REQUEST_PARAM1", members);
    EXPECT_EQ(members, u"CLAVERN;QBRDB;3;QBRSYS1;1");
    c.CloseConnection();
}

TEST(CatalogueDb4System, DisplayedInfo) {
    ClockScope clock;
    const r3sim::Scenario scenario = r3sim::LoadScenarioFile(ScenarioPath("db4.json"));
    SimulatorSession session(scenario);
    CRfcConnection c;
    c.SetLogonData(u"d4shost", u"00", u"100", u"COLLECTOR", u"SECRET", u"EN", u"", u"");
    c.CallRfcOpen();
    CDB02DB4GetInfo info;
    info.CallFunctionModule(c);
    int64_t tables = 0, constraints = 0, indexes = 0;
    EXPECT_TRUE(info.GetExportField(u"E_DB02_DISPLAYED_INFO", u"TAB_SIZE", tables));
    EXPECT_TRUE(info.GetExportField(u"E_DB02_DISPLAYED_INFO", u"CST_SIZE", constraints));
    EXPECT_TRUE(info.GetExportField(u"E_DB02_DISPLAYED_INFO", u"IDX_SIZE", indexes));
    EXPECT_EQ(tables, scenario.database.tableBytes);
    EXPECT_EQ(constraints, scenario.database.constraintBytes);
    EXPECT_EQ(indexes, scenario.database.indexBytes);
    c.CloseConnection();
}

// Every shipped scenario loads and its system serves a logon and a call;
// the default file is the embedded default.
TEST(ShippedScenarios, EachRunsAsASystem) {
    ClockScope clock;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(R3SIM_SCENARIO_DIR)) {
        if (entry.path().extension() != ".json") continue;
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        r3sim::Scenario scenario;
        ASSERT_NO_THROW(scenario = r3sim::LoadScenarioFile(entry.path().string()));
        SimulatorSession session(scenario);
        const r3sim::ServerSpec* up = nullptr;
        for (const r3sim::ServerSpec& s : scenario.servers)
            if (!s.down && !s.refuseLogons) up = up ? up : &s;
        ASSERT_NE(up, nullptr);
        CRfcConnection c;
        char number[4];
        std::snprintf(number, sizeof number, "%02d", up->systemNumber);
        const std::string client = scenario.clients.empty() ? "100" : scenario.clients.back().number;
        c.SetLogonData(platform::FromUtf8(up->host), platform::FromUtf8(number),
                       platform::FromUtf8(client), u"COLLECTOR", u"SECRET", u"EN", u"", u"");
        c.CallRfcOpen();
        CRfcSystemInfo info;
        info.CallFunctionModule(c);
        std::u16string id;
        info.GetExportField(u"E_RFCSI_EXPORT", u"RFCSYSID", id);
        EXPECT_EQ(Narrow(id), scenario.systemId);
        c.CloseConnection();
    }
    EXPECT_GE(files, 4);

    const r3sim::Scenario fromFile = r3sim::LoadScenarioFile(ScenarioPath("default.json"));
    const r3sim::Scenario embedded = r3sim::DefaultScenario();
    EXPECT_EQ(fromFile.systemId, embedded.systemId);
    EXPECT_EQ(fromFile.servers.size(), embedded.servers.size());
    EXPECT_EQ(fromFile.hosts.size(), embedded.hosts.size());
    EXPECT_EQ(fromFile.destinations.size(), embedded.destinations.size());
    EXPECT_EQ(fromFile.database.tableBytes, embedded.database.tableBytes);
    EXPECT_EQ(fromFile.users.size(), embedded.users.size());
}

}  // namespace
