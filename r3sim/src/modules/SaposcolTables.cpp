// saposcol's figure tables: CPU (GET_CPU_ALL), memory and paging
// (GET_MEM_ALL), disks (GET_DISK_SINGLE), file systems (GET_FSYS_SINGLE),
// top processes (GET_TOP_SINGLE), and the processor and paging figures of
// OMBRITH hosts (GET_OMBRITH_SPAG_ALL, and GET_TARROW_SPAG_ALL of older
// releases). Every figure evolves from the seed, keyed by host and figure,
// on the server's clock; the scenario can hold any field still.
#include <algorithm>

#include "Saposcol.h"
#include "r3sim/ModuleRegistry.h"

namespace r3sim {
namespace saposcol {
namespace {

// saposcol's record header: table type, subtype and serial number.
std::vector<FieldSpec> Header() {
    return {Int("TYPE"), Int("SUBTYPE"), Int("SERIALNR")};
}

std::vector<FieldSpec> Plus(std::vector<FieldSpec> fields, const std::vector<FieldSpec>& more) {
    fields.insert(fields.end(), more.begin(), more.end());
    return fields;
}

void DefineStructures(Dictionary& d) {
    d.Add(Structure(
        "CPU_ALL",
        Plus(Header(), {Int("NBR_CPU"), Int("LOAD1_AVG"), Int("LOAD5_AVG"), Int("LOAD15_AVG"),
                        Int("INT_SEC"), Int("SYSC_SEC"), Int("CS_SEC"), Int("USR_TOTAL"),
                        Int("SYS_TOTAL"), Int("IDLE_TOTAL"), Int("IDLE_TRUE"), Int("WAIT_TRUE"),
                        Int("USR_TRUE"), Int("SYS_TRUE"), Char("CPU_STATUS", 1)})));
    d.Add(Structure(
        "MEM_ALL",
        Plus(Header(), {Int("PHYS_MEM"), Int("FREE_MEM"), Int("SWAP_SIZE"), Int("SWAP_FREE"),
                        Int("SWAP_MAXSZ"), Int("SWAP_CONF"), Int("PG_IN"), Int("PG_OUT"),
                        Int("IN_PG_SEC"), Int("OUT_PG_SEC"), Int("KB_IN_SEC"), Int("KB_OUT_SEC"),
                        Int("FR_IN_SEC"), Int("SCAN_SEC")})));
    d.Add(
        Structure("DISK_SINGLE",
                  Plus(Header(), {Char("DISKNAME", 72), Int("UTIL"), Int("AVG_QUEUEL"),
                                  Int("AVG_WAIT"), Int("AVG_SERVIC"), Int("KB_SEC"), Int("OP_SEC"),
                                  Int("RESPONSE"), Int("READ_OPS"), Int("WRITE_OPS")})));
    d.Add(Structure("FSYS_SINGLE",
                    Plus(Header(), {Char("FILE_SYS", 72), Int("CAPACITY"), Int("FREE_SPACE"),
                                    Int("USED_PCT"), Int("INODES"), Int("FREE_INODES")})));
    d.Add(Structure("TOP_SINGLE",
                    Plus(Header(), {Int("PROC_ID"), Char("USERNAME", 12), Char("COMMAND", 40),
                                    Char("CPU_TIME", 8), Int("PRIORITY"), Int("CPU_UTIL"),
                                    Int("RES_SIZE"), Int("PRIV_PAGES")})));
    auto spag = [](const char* utilisation) {
        return Plus(Header(), {Int("INTRVALSEC"), Int("AVGPROCUTL"), Int("AVGSYSPGRT"),
                               Int(utilisation), Int("PG_IN"), Int("PG_OUT"), Int("PG_IN_PRV"),
                               Int("PG_OT_PRV"), Int("PG_TO_EXST"), Int("PG_FR_EXST"),
                               Int("PG_IN_BLCK"), Int("PG_IN_BNUM"), Int("ASP_USED")});
    };
    d.Add(Structure("OMBRITH_SPAG_ALL", spag("AVGOMBRITHCUTL")));
    d.Add(Structure("TARROW_SPAG_ALL", spag("AVGTARROWCUTL")));
}

// The figures of one host at one moment.
class HostFigures {
  public:
    HostFigures(const CallContext& call, const HostSpec& host)
        : figures_(call.GetScenario().seed), host_(host), now_(call.ServerSeconds()) {}

    int64_t Wave(const std::string& figure, double base, double amplitude, double period) const {
        return static_cast<int64_t>(
            figures_.Wave(host_.host + "/" + figure, now_, base, amplitude, period));
    }
    int64_t Counter(const std::string& figure, double rate) const {
        return static_cast<int64_t>(figures_.Counter(host_.host + "/" + figure, now_, rate));
    }
    int64_t Between(const std::string& figure, int64_t low, int64_t high) const {
        return figures_.Between(host_.host + "/" + figure, 0, low, high);
    }
    const HostSpec& Host() const { return host_; }

  private:
    Figures figures_;
    const HostSpec& host_;
    int64_t now_;
};

void CpuAll(CallContext& call) {
    const std::optional<Target> target = TargetHost(call);
    if (!target || !call.Wants(u"TF_CPU_ALL")) return;
    const HostFigures f(call, target->host);
    const int64_t user = std::clamp<int64_t>(f.Wave("cpu/usr", 32, 18, 3600), 0, 90);
    const int64_t system = std::clamp<int64_t>(f.Wave("cpu/sys", 9, 5, 1500), 0, 100 - user);
    Record row = call.NewRecord(u"TF_CPU_ALL");
    row.SetInt("TYPE", 1)
        .SetInt("SERIALNR", 1)
        .SetInt("NBR_CPU", target->host.cpus)
        .SetInt("LOAD1_AVG", f.Wave("cpu/load1", 150, 100, 900))
        .SetInt("LOAD5_AVG", f.Wave("cpu/load5", 140, 80, 1800))
        .SetInt("LOAD15_AVG", f.Wave("cpu/load15", 130, 60, 3600))
        .SetInt("INT_SEC", f.Wave("cpu/int", 900, 300, 600))
        .SetInt("SYSC_SEC", f.Wave("cpu/sysc", 4000, 1500, 700))
        .SetInt("CS_SEC", f.Wave("cpu/cs", 2500, 900, 800))
        .SetInt("USR_TOTAL", user)
        .SetInt("SYS_TOTAL", system)
        .SetInt("IDLE_TOTAL", 100 - user - system)
        .SetInt("IDLE_TRUE", 100 - user - system)
        .SetInt("USR_TRUE", user)
        .SetInt("SYS_TRUE", system)
        .SetText("CPU_STATUS", "A");
    ApplyFixed(row, target->host.fixed);
    call.AddRow(u"TF_CPU_ALL", row);
}

void MemAll(CallContext& call) {
    const std::optional<Target> target = TargetHost(call);
    if (!target || !call.Wants(u"TF_MEM_ALL")) return;
    const HostSpec& h = target->host;
    const HostFigures f(call, h);
    const int64_t freePercent = std::clamp<int64_t>(f.Wave("mem/free", 35, 20, 5400), 1, 99);
    const int64_t swapFreePercent =
        std::clamp<int64_t>(f.Wave("mem/swapfree", 80, 10, 7200), 0, 100);
    Record row = call.NewRecord(u"TF_MEM_ALL");
    row.SetInt("TYPE", 2)
        .SetInt("SERIALNR", 1)
        .SetInt("PHYS_MEM", h.memoryKB)
        .SetInt("FREE_MEM", h.memoryKB * freePercent / 100)
        .SetInt("SWAP_SIZE", h.swapKB)
        .SetInt("SWAP_FREE", h.swapKB * swapFreePercent / 100)
        .SetInt("SWAP_MAXSZ", h.swapKB * 2)
        .SetInt("SWAP_CONF", h.swapKB)
        .SetInt("PG_IN", f.Counter("mem/pgin", 3) & 0x7fffffff)
        .SetInt("PG_OUT", f.Counter("mem/pgout", 1) & 0x7fffffff)
        .SetInt("IN_PG_SEC", std::max<int64_t>(0, f.Wave("mem/inpg", 3, 3, 600)))
        .SetInt("OUT_PG_SEC", std::max<int64_t>(0, f.Wave("mem/outpg", 1, 1, 900)))
        .SetInt("KB_IN_SEC", std::max<int64_t>(0, f.Wave("mem/kbin", 12, 10, 600)))
        .SetInt("KB_OUT_SEC", std::max<int64_t>(0, f.Wave("mem/kbout", 4, 4, 900)))
        .SetInt("FR_IN_SEC", std::max<int64_t>(0, f.Wave("mem/fr", 50, 30, 300)))
        .SetInt("SCAN_SEC", std::max<int64_t>(0, f.Wave("mem/scan", 20, 20, 300)));
    ApplyFixed(row, h.fixed);
    call.AddRow(u"TF_MEM_ALL", row);
}

void DiskSingle(CallContext& call) {
    const std::optional<Target> target = TargetHost(call);
    if (!target || !call.Wants(u"TF_DISK_SINGLE")) return;
    const HostFigures f(call, target->host);
    Record row = call.NewRecord(u"TF_DISK_SINGLE");
    int serial = 0;
    for (const DiskSpec& disk : target->host.disks) {
        const std::string key = "disk/" + disk.name + "/";
        const int64_t util = std::clamp<int64_t>(f.Wave(key + "util", 30, 25, 2400), 0, 100);
        const int64_t ops = std::max<int64_t>(0, f.Wave(key + "ops", 120, 90, 1200));
        const int64_t service = std::max<int64_t>(1, f.Wave(key + "svc", 6, 3, 1800));
        const int64_t wait = std::max<int64_t>(0, f.Wave(key + "wait", 4, 4, 1600));
        row.SetInt("TYPE", 3)
            .SetInt("SERIALNR", ++serial)
            .SetText("DISKNAME", disk.name)
            .SetInt("UTIL", util)
            .SetInt("AVG_QUEUEL", std::max<int64_t>(0, f.Wave(key + "queue", 2, 2, 900)))
            .SetInt("AVG_WAIT", wait)
            .SetInt("AVG_SERVIC", service)
            .SetInt("KB_SEC", ops * 16)
            .SetInt("OP_SEC", ops)
            .SetInt("RESPONSE", wait + service)
            .SetInt("READ_OPS", ops * 2 / 3)
            .SetInt("WRITE_OPS", ops - ops * 2 / 3);
        ApplyFixed(row, disk.fixed);
        call.AddRow(u"TF_DISK_SINGLE", row);
    }
}

void FsysSingle(CallContext& call) {
    const std::optional<Target> target = TargetHost(call);
    if (!target || !call.Wants(u"TF_FSYS_SINGLE")) return;
    const HostFigures f(call, target->host);
    Record row = call.NewRecord(u"TF_FSYS_SINGLE");
    int serial = 0;
    for (const FileSystemSpec& fs : target->host.fileSystems) {
        // saposcol reports capacities in megabytes.
        const int64_t capacity = fs.capacityKB / 1024;
        const int64_t used = std::clamp<int64_t>(f.Wave("fsys/" + fs.name, 60, 15, 86400), 0, 100);
        row.SetInt("TYPE", 4)
            .SetInt("SERIALNR", ++serial)
            .SetText("FILE_SYS", fs.name)
            .SetInt("CAPACITY", capacity)
            .SetInt("FREE_SPACE", capacity * (100 - used) / 100)
            .SetInt("USED_PCT", used)
            .SetInt("INODES", capacity * 64)
            .SetInt("FREE_INODES", capacity * 32);
        call.AddRow(u"TF_FSYS_SINGLE", row);
    }
}

void TopSingle(CallContext& call) {
    const std::optional<Target> target = TargetHost(call);
    if (!target || !call.Wants(u"TF_TOP_SINGLE")) return;
    static const char* const kUsers[] = {"qasadm", "oraqas", "root", "sapadm"};
    static const char* const kCommands[] = {
        "dw.sapQAS_DVEBMGS00 pf=/usr/sap/QAS/SYS/profile/QAS_DVEBMGS00",
        "ora_dbw0_QAS",
        "saposcol",
        "gwrd -dp pf=/usr/sap/QAS/SYS/profile/QAS_DVEBMGS00",
        "ms.sapQAS_DVEBMGS00",
        "ora_lgwr_QAS"};
    const HostFigures f(call, target->host);
    Record row = call.NewRecord(u"TF_TOP_SINGLE");
    for (int i = 0; i < target->host.processes; ++i) {
        const std::string key = "top/" + std::to_string(i) + "/";
        const int64_t seconds =
            f.Counter(key + "cpu", 0.2 / (i + 1)) % 360000;  // under a hundred hours
        char cpuTime[16];
        std::snprintf(cpuTime, sizeof cpuTime, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
        row.SetInt("TYPE", 5)
            .SetInt("SERIALNR", i + 1)
            .SetInt("PROC_ID", f.Between(key + "pid", 300, 65000))
            .SetText("USERNAME", kUsers[i % 4])
            .SetText("COMMAND", kCommands[i % 6])
            .SetText("CPU_TIME", cpuTime)
            .SetInt("PRIORITY", 20)
            .SetInt("CPU_UTIL",
                    std::clamp<int64_t>(f.Wave(key + "util", 20.0 / (i + 1), 5, 600), 0, 100))
            .SetInt("RES_SIZE", std::max<int64_t>(1024, f.Wave(key + "res", 200000, 50000, 3600)))
            .SetInt("PRIV_PAGES", f.Between(key + "priv", 100, 50000));
        call.AddRow(u"TF_TOP_SINGLE", row);
    }
}

void SpagAll(CallContext& call, const char* utilisationField) {
    const std::optional<Target> target = TargetHost(call);
    if (!target) return;
    const HostSpec& h = target->host;
    if (h.operatingSystem != "OMBRITH") {
        call.Raise("WRONG_OPERATING_SYSTEM", h.host + " is not an OMBRITH host");
        return;
    }
    if (!call.Wants(u"TF_SPAG_ALL")) return;
    // Members of a clavern share the host's collector; each has its own figures.
    const std::string member = "spag/" + std::to_string(call.ImportInt(u"SYSTEM_ID", 0)) + "/";
    const HostFigures f(call, h);
    const int64_t util = std::clamp<int64_t>(f.Wave(member + "util", 45, 25, 3600), 0, 100);
    Record row = call.NewRecord(u"TF_SPAG_ALL");
    row.SetInt("TYPE", 9)
        .SetInt("SERIALNR", 1)
        .SetInt("INTRVALSEC", 60)
        .SetInt("AVGPROCUTL", util)
        .SetInt("AVGSYSPGRT", std::max<int64_t>(0, f.Wave(member + "pgrt", 40, 30, 1200)))
        .SetInt(utilisationField, std::clamp<int64_t>(util + 5, 0, 100))
        .SetInt("PG_IN", f.Counter(member + "pgin", 20) & 0x7fffffff)
        .SetInt("PG_OUT", f.Counter(member + "pgout", 8) & 0x7fffffff)
        .SetInt("PG_IN_PRV", f.Counter(member + "pginprv", 2) & 0x7fffffff)
        .SetInt("PG_OT_PRV", f.Counter(member + "pgotprv", 1) & 0x7fffffff)
        .SetInt("ASP_USED", std::clamp<int64_t>(f.Wave(member + "asp", 70, 5, 86400), 0, 100));
    ApplyFixed(row, h.fixed);
    call.AddRow(u"TF_SPAG_ALL", row);
}

const std::vector<ParameterSpec> kTableExceptions = {
    Exception("SHARED_MEMORY_NOT_AVAILABLE"), Exception("COMMUNICATION_FAILURE"),
    Exception("NO_NETWORK_COLLECTOR_RUNNING"), Exception("INVALID_LOCAL_REMOTE"),
    Exception("INTERNAL_ERROR_ADRESS_FAILED")};

Interface TableModule(const char* table, const char* structure, Interface more = {}) {
    Interface parameters = {LocalRemoteImport(), DestinationImport()};
    parameters.insert(parameters.end(), more.begin(), more.end());
    parameters.push_back(Table(table, structure));
    parameters.insert(parameters.end(), kTableExceptions.begin(), kTableExceptions.end());
    return parameters;
}

}  // namespace

void RegisterSaposcolTables(ModuleRegistry& registry) {
    DefineStructures(registry.Structures());
    registry.Register("GET_CPU_ALL", TableModule("TF_CPU_ALL", "CPU_ALL"), CpuAll);
    registry.Register("GET_MEM_ALL", TableModule("TF_MEM_ALL", "MEM_ALL"), MemAll);
    registry.Register("GET_DISK_SINGLE", TableModule("TF_DISK_SINGLE", "DISK_SINGLE"), DiskSingle);
    registry.Register("GET_FSYS_SINGLE", TableModule("TF_FSYS_SINGLE", "FSYS_SINGLE"), FsysSingle);
    registry.Register("GET_TOP_SINGLE", TableModule("TF_TOP_SINGLE", "TOP_SINGLE"), TopSingle);
    registry.Register(
        "GET_OMBRITH_SPAG_ALL",
        TableModule("TF_SPAG_ALL", "OMBRITH_SPAG_ALL",
                    {Import(Int("SYSTEM_ID")).Default("0").Text("System within the clavern"),
                     Exception("WRONG_OPERATING_SYSTEM")}),
        [](CallContext& call) { SpagAll(call, "AVGOMBRITHCUTL"); });
    registry.Register(
        "GET_TARROW_SPAG_ALL",
        TableModule("TF_SPAG_ALL", "TARROW_SPAG_ALL", {Exception("WRONG_OPERATING_SYSTEM")}),
        [](CallContext& call) { SpagAll(call, "AVGTARROWCUTL"); });
}

}  // namespace saposcol
}  // namespace r3sim
