// Modules of one application server: its work processes (TH_WPINFO), its
// process environment (TH_ENVIRONMENT), the kernel release (TH_SAPREL), the
// dispatcher's request queues (TH_REQUEST_QUEUE), the profile
// (PFL_GET_SERVER_PARAM_VALUES), saposcol's parameters as the instance sees
// them (GET_PARAMETER), the server's clock (GET_SYSTEM_TIME_REMOTE) and the
// storage figures (SAPTUNE_GET_STORAGE_INFOS). The summary statistic is in
// InstanceTuneModules.cpp, the workload statistics in WorkloadModules.cpp.
//
// Every changing figure comes from the scenario's seed, the server's name
// and the server's own clock (ours plus clockOffsetSeconds).
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "r3sim/Figures.h"
#include "r3sim/ModuleRegistry.h"

namespace r3sim {
namespace {

platform::DateTime ServerLocal(int64_t serverSeconds) {
    return platform::CurrentTimeSource()->ToLocal(
        platform::TimePoint(std::chrono::seconds(serverSeconds)));
}

std::string Key(const CallContext& call, const char* figure) {
    return call.Server().name + "/" + figure;
}

bool Offers(const ServerSpec& server, const std::string& service) {
    for (const std::string& s : server.services)
        if (s == service) return true;
    return false;
}

// The work processes of a server by its services: type and count.
struct ProcessGroup {
    const char* type;
    int count;
};

std::vector<ProcessGroup> ProcessGroups(const ServerSpec& server) {
    std::vector<ProcessGroup> groups;
    groups.push_back({"DIA", Offers(server, "Dialog") ? 6 : 2});
    if (Offers(server, "Update")) groups.push_back({"UPD", 2});
    if (Offers(server, "Enqueue")) groups.push_back({"ENQ", 1});
    if (Offers(server, "Backg")) groups.push_back({"BTC", 3});
    if (Offers(server, "Spool")) groups.push_back({"SPO", 1});
    if (Offers(server, "Upd2")) groups.push_back({"UP2", 1});
    return groups;
}

int ProcessCount(const ServerSpec& server) {
    int n = 0;
    for (const ProcessGroup& g : ProcessGroups(server)) n += g.count;
    return n;
}

std::string Two(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

void DefineStructures(Dictionary& d) {
    d.Add(Structure(
        "WPINFO",
        {Num("WP_NO", 2), Char("WP_TYP", 3), Num("WP_PID", 8), Char("WP_STATUS", 7),
         Char("WP_WAITING", 5), Char("WP_ITYPE", 3), Char("WP_RESTART", 3), Num("WP_DUMPS", 2),
         Char("WP_SEM", 2), Char("WP_CPU", 8), Char("WP_TIME", 5), Char("WP_TABLE", 30),
         Char("WP_ACTION", 40), Char("WP_REPORT", 40), Char("WP_MANDT", 3), Char("WP_BNAME", 12)}));
    d.Add(Structure("THENVLINE", {Char("LINE", 255)}));
    d.Add(Structure("THQUEUELINE", {Char("THLINE", 80)}));
    d.Add(Structure("SPFL_PARAMETER_VALUE",
                    {Char("PARAM_NAME", 60), Char("USER_VALUE", 128), Char("DFL_VALUE", 128),
                     Char("PARAM_TYPE", 1), Char("IS_DYNAMIC", 1), Char("PARAM_GROUP", 20)}));
    d.Add(Structure("SHMSEGMENT", {Int("SHM_KEY"), Char("SHM_NAME", 40), Int("SHM_SIZE_KB"),
                                   Int("SHM_USED_KB"), Char("SHM_STATUS", 10)}));
}

// TH_WPINFO: one row per work process; the CPU time only when asked for.
void WpInfo(CallContext& call) {
    const ServerSpec& server = call.Server();
    const bool withCpu = call.ImportText(u"WITH_CPU") == "01";
    const Figures f(call.GetScenario().seed);
    const int64_t now = call.ServerSeconds();
    const int64_t hour = now / 3600;
    Record row = call.NewRecord(u"WPLIST");
    int number = 0;
    for (const ProcessGroup& group : ProcessGroups(server)) {
        for (int i = 0; i < group.count; ++i, ++number) {
            const std::string key = Key(call, "wp/") + std::to_string(number);
            const bool running =
                f.Unit(key + "/busy", now / 60) < (group.type[0] == 'D' ? 0.3 : 0.1);
            row.SetInt("WP_NO", number)
                .SetText("WP_TYP", group.type)
                .SetInt("WP_PID", 4000 + f.Between(key + "/pid", 0, 1, 99) * 100 + number)
                .SetText("WP_STATUS", running ? "running" : "waiting")
                .SetText("WP_WAITING", "")
                .SetText("WP_ITYPE", "")
                .SetText("WP_RESTART", "yes")
                .SetInt("WP_DUMPS", f.Between(key + "/dumps", hour / 24, 0, 1))
                .SetText("WP_SEM", "")
                .SetText("WP_CPU", "")
                .SetText("WP_TIME", running ? std::to_string(f.Between(key, now / 60, 1, 59)) : "")
                .SetText("WP_TABLE", running ? "VBAK" : "")
                .SetText("WP_ACTION", running ? "Sequential read" : "")
                .SetText("WP_REPORT", running ? "SAPMV45A" : "")
                .SetText("WP_MANDT", running ? "100" : "")
                .SetText("WP_BNAME", running ? "SMITH" : "");
            if (withCpu) {
                const uint64_t seconds = f.Counter(key + "/cpu", now, 0.02 + 0.001 * number);
                char cpu[48];
                std::snprintf(cpu, sizeof cpu, "%llu:%02llu",
                              static_cast<unsigned long long>(seconds / 60),
                              static_cast<unsigned long long>(seconds % 60));
                row.SetText("WP_CPU", cpu);
            }
            call.AddRow(u"WPLIST", row);
        }
    }
}

void Environment(CallContext& call) {
    const Scenario& s = call.GetScenario();
    const ServerSpec& server = call.Server();
    std::string sid = s.systemId;
    for (char& c : sid) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::vector<std::string> lines = {
        "SAPSYSTEMNAME=" + s.systemId,
        "SAPSYSTEM=" + Two(server.systemNumber),
        "SAPLOCALHOST=" + server.host,
        "HOME=/home/" + sid + "adm",
        "USER=" + sid + "adm",
        "PATH=/usr/sap/" + s.systemId + "/SYS/exe/run:/usr/bin:/bin",
        "LD_LIBRARY_PATH=/usr/sap/" + s.systemId + "/SYS/exe/run",
        "dbms_type=" + s.database.system,
        "LANG=en_US.UTF-8"};
    Record row = call.NewRecord(u"ENVIRONMENT");
    for (const std::string& line : lines) call.AddRow(u"ENVIRONMENT", row.SetText("LINE", line));
}

void Saprel(CallContext& call) {
    const Scenario& s = call.GetScenario();
    const HostSpec host = HostOf(s, call.Server().host);
    call.Export(u"KERN_REL", s.kernelRelease);
    call.Export(u"KERN_DBLIB", s.database.system + " " + s.database.release);
    call.Export(u"KERN_COMP_ON", host.operatingSystem + " GNU SLES-11 x86_64 cc4.3.4 use-pr200625");
    call.Export(u"KERN_COMP_TIME", "Jun 25 2020 21:47:11");
    call.Export(u"KERN_PATCHLEVEL", "400");
    call.Export(u"KERN_COMP_OS", host.operatingSystem);
}

// The dispatcher's queue list: a header, one line per queue the server
// serves ("name now high max writes reads"), and the ICM queue.
void RequestQueue(CallContext& call) {
    const ServerSpec& server = call.Server();
    const Figures f(call.GetScenario().seed);
    const int64_t now = call.ServerSeconds();
    std::vector<std::string> queues = {"NOWP"};
    for (const ProcessGroup& g : ProcessGroups(server)) queues.emplace_back(g.type);
    queues.emplace_back("ICM");
    Record row = call.NewRecord(u"REQUEST_QUEUES");
    call.AddRow(u"REQUEST_QUEUES",
                row.SetText("THLINE", "Queue    now  high   max  writes   reads"));
    for (const std::string& q : queues) {
        const std::string key = Key(call, "queue/") + q;
        const int64_t current = f.Between(key, now / 60, 0, q == "DIA" ? 12 : 3);
        const int64_t high = current + f.Between(key + "/high", now / 3600, 0, 20);
        const uint64_t writes = f.Counter(key + "/writes", now, q == "DIA" ? 2.0 : 0.2);
        char line[96];
        std::snprintf(line, sizeof line, "%-6s %5lld %5lld %5d %7llu %7llu", q.c_str(),
                      static_cast<long long>(current), static_cast<long long>(high), 2000,
                      static_cast<unsigned long long>(writes),
                      static_cast<unsigned long long>(writes - static_cast<uint64_t>(current)));
        call.AddRow(u"REQUEST_QUEUES", row.SetText("THLINE", line));
    }
}

struct ProfileEntry {
    std::string name, user, standard, group;
};

std::vector<ProfileEntry> Profile(const Scenario& s, const ServerSpec& server) {
    int dia = 0, upd = 0, enq = 0, btc = 0, spo = 0, up2 = 0;
    for (const ProcessGroup& g : ProcessGroups(server)) {
        const std::string t = g.type;
        (t == "DIA"   ? dia
         : t == "UPD" ? upd
         : t == "ENQ" ? enq
         : t == "BTC" ? btc
         : t == "SPO" ? spo
                      : up2) = g.count;
    }
    const std::string n = Two(server.systemNumber);
    return {
        {"SAPSYSTEMNAME", s.systemId, "", "general"},
        {"SAPSYSTEM", n, "", "general"},
        {"SAPLOCALHOST", server.host, "", "general"},
        {"INSTANCE_NAME", "DVEBMGS" + n, "", "general"},
        {"rdisp/myname", server.name, "", "dispatcher"},
        {"rdisp/wp_no_dia", std::to_string(dia), "10", "dispatcher"},
        {"rdisp/wp_no_vb", std::to_string(upd), "1", "dispatcher"},
        {"rdisp/wp_no_vb2", std::to_string(up2), "1", "dispatcher"},
        {"rdisp/wp_no_enq", std::to_string(enq), "0", "dispatcher"},
        {"rdisp/wp_no_btc", std::to_string(btc), "3", "dispatcher"},
        {"rdisp/wp_no_spo", std::to_string(spo), "1", "dispatcher"},
        {"rdisp/max_wprun_time", "", "600", "dispatcher"},
        {"rdisp/gui_auto_logout", "3600", "0", "dispatcher"},
        {"abap/buffersize", "400000", "150000", "buffers"},
        {"abap/heap_area_dia", "2000000000", "2000000000", "memory"},
        {"abap/heap_area_nondia", "", "2000000000", "memory"},
        {"abap/heap_area_total", "4000000000", "2000000000", "memory"},
        {"em/initial_size_MB", "4092", "4092", "memory"},
        {"em/blocksize_KB", "", "1024", "memory"},
        {"ztta/roll_area", "3000000", "3000000", "memory"},
        {"ztta/roll_extension", "2000000000", "2000000000", "memory"},
        {"rdisp/ROLL_SHM", "16384", "16384", "memory"},
        {"rdisp/PG_SHM", "16384", "8192", "memory"},
        {"zcsa/table_buffer_area", "64000000", "30000000", "buffers"},
        {"zcsa/db_max_buftab", "10000", "5000", "buffers"},
        {"rtbb/buffer_length", "30000", "10000", "buffers"},
        {"rsdb/cua/buffersize", "5000", "3000", "buffers"},
        {"rsdb/obj/buffersize", "20000", "8192", "buffers"},
        {"login/system_client", "100", "000", "login"},
        {"login/min_password_lng", "", "6", "login"},
        {"dbs/ora/tnsname", s.systemId, "", "database"},
        {"icm/host_name_full", "", "", "icm"},
    };
}

void ProfileValues(CallContext& call) {
    Record row = call.NewRecord(u"SUBST_SRV_PARAM_TBL");
    for (const ProfileEntry& e : Profile(call.GetScenario(), call.Server())) {
        row.SetText("PARAM_NAME", e.name)
            .SetText("USER_VALUE", e.user)
            .SetText("DFL_VALUE", e.standard)
            .SetText("PARAM_TYPE", e.name.find('/') == std::string::npos ? "S" : "P")
            .SetText("IS_DYNAMIC", e.group == "login" ? "X" : "")
            .SetText("PARAM_GROUP", e.group);
        call.AddRow(u"SUBST_SRV_PARAM_TBL", row);
    }
}

// saposcol's last write on the host's clock, as the collector writes its
// stamp every ten seconds: "Sun Dec  6 18:20:33 2026".
std::string CollectorStamp(int64_t serverSeconds) {
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const int64_t written = serverSeconds - ((serverSeconds % 10) + 10) % 10;
    const platform::DateTime t = ServerLocal(written);
    char text[40];
    std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d:%02d %d", kDays[t.dayOfWeek % 7],
                  kMonths[(t.month + 11) % 12], t.day, t.hour, t.minute, t.second, t.year);
    return text;
}

void Parameter(CallContext& call) {
    const HostSpec host = HostOf(call.GetScenario(), call.Server().host);
    if (!host.saposcol) {
        call.Raise("NOT_FOUND", "saposcol is not running on " + host.host);
        return;
    }
    const int64_t now = call.ServerSeconds();
    call.Export(u"FP_COLLVERSION", "COLL 20.95 700 - 20.67 Linux 2020/06/25");
    const platform::DateTime since = ServerLocal(now);  // started at midnight
    char started[32];
    std::snprintf(started, sizeof started, "%04d-%02d-%02d 00:00:00", since.year, since.month,
                  since.day);
    call.Export(u"FP_COLLSINCE", started);
    call.Export(u"FP_OPSYSTEM", host.operatingSystemText.empty()
                                    ? host.operatingSystem + " 3.0.101-63-default"
                                    : host.operatingSystemText);
    call.Export(u"FP_LASTCOLLWRT",
                host.lastCollectorWrite.empty() ? CollectorStamp(now) : host.lastCollectorWrite);
    call.Export(u"FP_INTERVAL", int64_t{10});
    call.Export(u"FP_NODENAME", host.host);
}

void SystemTime(CallContext& call) {
    const int64_t now = call.ServerSeconds();
    const platform::DateTime local = ServerLocal(now);
    const platform::DateTime utc =
        platform::CurrentTimeSource()->ToGmt(platform::TimePoint(std::chrono::seconds(now)));
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", local.year, local.month, local.day);
    call.Export(u"L_DATE", text);
    std::snprintf(text, sizeof text, "%02d%02d%02d", local.hour, local.minute, local.second);
    call.Export(u"L_TIME", text);
    std::snprintf(text, sizeof text, "%04d%02d%02d", utc.year, utc.month, utc.day);
    call.Export(u"U_DATE", text);
    std::snprintf(text, sizeof text, "%02d%02d%02d", utc.hour, utc.minute, utc.second);
    call.Export(u"U_TIME", text);
    call.Export(u"TZONE", "UTC");
}

// Storage figures: fixed by the profile, the used parts moving with load.
void StorageInfos(CallContext& call) {
    const ServerSpec& server = call.Server();
    const Figures f(call.GetScenario().seed);
    const int64_t now = call.ServerSeconds();
    const int processes = ProcessCount(server);
    const int64_t shmTotal = 2400000 + 100000 * processes;
    const int64_t shmUsed =
        static_cast<int64_t>(f.Wave(Key(call, "shm/used"), now, 0.6, 0.1, 7200) * shmTotal);
    call.Export(u"ROLL_AREA", int64_t{262144000});
    call.Export(u"PAGE_BUFSZ", int64_t{16384});
    call.Export(u"USE_PAGING", int64_t{0});
    call.Export(u"EXT_MEM", int64_t{4092} * 1024 * 1024 / 1000);
    call.Export(u"HEAP_AREA_TOTAL", int64_t{4000000000});
    call.Export(u"SHORT_ST", int64_t{8192});
    call.Export(u"VMEM_SIZE", int64_t{6291456} + 65536 * processes);
    call.Export(u"VMEM_SIZE_WP", int64_t{6291456} / processes);
    call.Export(u"WP_ALL", processes);
    call.Export(u"WP_NUMBER", f.Between(Key(call, "wp/active"), now / 60, 1, processes));
    call.Export(u"NUM_SHMS", int64_t{42});
    call.Export(u"SHM_TOTAL", shmTotal);
    call.Export(u"SHM_TOTAL_USED", shmUsed);
    call.Export(u"SHM_TOTAL_NOT_USED", shmTotal - shmUsed);
    call.Export(u"SHM_ASIZE_USED", shmUsed / 2);
    call.Export(u"DW_TEXT", int64_t{18432});
    call.Export(u"DW_DATA", int64_t{2816});
    call.Export(u"DW_BSS", int64_t{1536});
    call.Export(u"DW_ERROR", int64_t{0});
    if (call.Wants(u"SHM_SEGMENTS")) {
        Record row = call.NewRecord(u"SHM_SEGMENTS");
        const char* names[] = {"Roll area", "Paging area", "Table buffer", "Program buffer",
                               "Extended memory"};
        for (int i = 0; i < 5; ++i) {
            row.SetInt("SHM_KEY", 1 + i * 10)
                .SetText("SHM_NAME", names[i])
                .SetInt("SHM_SIZE_KB", shmTotal / 5)
                .SetInt("SHM_USED_KB", shmUsed / 5)
                .SetText("SHM_STATUS", "attached");
            call.AddRow(u"SHM_SEGMENTS", row);
        }
    }
}

ParameterSpec TextExport(const char* name, unsigned chars) {
    return Export(Char(name, chars));
}

}  // namespace

void RegisterInstanceModules(ModuleRegistry& registry) {
    DefineStructures(registry.Structures());

    registry.Register("TH_WPINFO",
                      {Import(Char("SRVNAME", 40)).Optional().Text("Server (empty: this one)"),
                       Import(Char("WITH_CPU", 2)).Default("'00'").Text("01: with CPU times"),
                       Import(Char("WITH_MTX_INFO", 2)).Default("'00'"), Table("WPLIST", "WPINFO"),
                       Exception("SEND_ERROR")},
                      WpInfo);

    registry.Register("TH_ENVIRONMENT", {Table("ENVIRONMENT", "THENVLINE")}, Environment);

    registry.Register(
        "TH_SAPREL",
        {TextExport("KERN_REL", 80).Text("Kernel release"),
         TextExport("KERN_DBLIB", 80).Text("Database library"),
         TextExport("KERN_COMP_ON", 80).Text("Compiled on"),
         TextExport("KERN_COMP_TIME", 80).Text("Compiled at"),
         TextExport("KERN_PATCHLEVEL", 80).Text("Patch level"), TextExport("KERN_COMP_OS", 40)},
        Saprel);

    registry.Register("TH_REQUEST_QUEUE",
                      {Import(Char("SRVNAME", 40)).Optional(),
                       Table("REQUEST_QUEUES", "THQUEUELINE"), Exception("SEND_ERROR")},
                      RequestQueue);

    registry.Register(
        "PFL_GET_SERVER_PARAM_VALUES",
        {Import(Char("SERVER_NAME", 40)).Optional(),
         Table("SUBST_SRV_PARAM_TBL", "SPFL_PARAMETER_VALUE"), Exception("NO_AUTHORIZATION")},
        ProfileValues);

    registry.Register("GET_PARAMETER",
                      {Import(Char("LOCAL_REMOTE", 6)).Default("'LOCAL'"),
                       Import(Char("LOGICAL_DESTINATION", 32)).Optional(),
                       TextExport("FP_COLLVERSION", 52).Text("Collector version"),
                       TextExport("FP_COLLSINCE", 25).Text("Collecting since"),
                       TextExport("FP_OPSYSTEM", 52).Text("Operating system"),
                       TextExport("FP_LASTCOLLWRT", 25).Text("Last collector write"),
                       Export(Int("FP_INTERVAL")).Text("Collection interval (s)"),
                       TextExport("FP_NODENAME", 32), Exception("NOT_FOUND")},
                      Parameter);

    registry.Register("GET_SYSTEM_TIME_REMOTE",
                      {Export(Date("L_DATE")).Text("Local date of the server"),
                       Export(Time("L_TIME")).Text("Local time of the server"),
                       Export(Date("U_DATE")), Export(Time("U_TIME")), TextExport("TZONE", 6)},
                      SystemTime);

    registry.Register("SAPTUNE_GET_STORAGE_INFOS",
                      {Export(Int("ROLL_AREA")),
                       Export(Int("PAGE_BUFSZ")),
                       Export(Int("USE_PAGING")),
                       Export(Int("EXT_MEM")),
                       Export(Packed("HEAP_AREA_TOTAL", 8)),
                       Export(Int("SHORT_ST")),
                       Export(Int("VMEM_SIZE")),
                       Export(Int("VMEM_SIZE_WP")),
                       Export(Int("WP_ALL")),
                       Export(Int("WP_NUMBER")),
                       Export(Int("NUM_SHMS")),
                       Export(Int("SHM_TOTAL")),
                       Export(Int("SHM_TOTAL_USED")),
                       Export(Int("SHM_TOTAL_NOT_USED")),
                       Export(Int("SHM_ASIZE_USED")),
                       Export(Int("DW_TEXT")),
                       Export(Int("DW_DATA")),
                       Export(Int("DW_BSS")),
                       Export(Int("DW_ERROR")),
                       Table("SHM_SEGMENTS", "SHMSEGMENT")},
                      StorageInfos);
}

}  // namespace r3sim
