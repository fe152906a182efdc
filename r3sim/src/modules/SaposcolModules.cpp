// saposcol modules: how a call finds its host (locally or through an RFC
// destination), the collector's configuration (GET_CONFIG_DEFINED), requests
// to the collector (CONTROL_PERF_REQUEST: the hardware description file
// name, the clavern member list), the hardware description file and the
// partition description of OMBRITH hosts. The figure tables are in
// SaposcolTables.cpp.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "Saposcol.h"
#include "platform/DateTime.h"
#include "r3sim/ModuleRegistry.h"

namespace r3sim {
namespace saposcol {
namespace {

// CONTROL_PERF_REQUEST request types.
constexpr int64_t kClavernMembers = 107;
constexpr int64_t kHardwareDescrFile = 112;
// A destination that does not answer fails after at most this long.
constexpr int kLongestPartnerWaitMs = 60000;

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

}  // namespace

ParameterSpec LocalRemoteImport() {
    return Import(Char("LOCAL_REMOTE", 6))
        .Default("'LOCAL'")
        .Text("LOCAL: this host; REMOTE or INTERN: through the destination");
}

ParameterSpec DestinationImport() {
    return Import(Char("LOGICAL_DESTINATION", 32)).Optional().Text("RFC destination of saposcol");
}

std::string LastCollectorWrite(const HostSpec& host, int64_t serverSeconds) {
    if (!host.lastCollectorWrite.empty()) return host.lastCollectorWrite;
    const auto source = platform::CurrentTimeSource();
    const int64_t written = serverSeconds - ((serverSeconds % 10) + 10) % 10;
    const platform::DateTime t =
        source->ToLocal(platform::TimePoint(std::chrono::seconds(written)));
    char text[40];
    std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d:%02d %d", kDays[t.dayOfWeek % 7],
                  kMonths[(t.month + 11) % 12], t.day, t.hour, t.minute, t.second, t.year);
    return text;
}

std::string OperatingSystemText(const HostSpec& host) {
    if (!host.operatingSystemText.empty()) return host.operatingSystemText;
    if (host.operatingSystem == "OMBRITH") return "OMBRITH V5R4M0";
    return host.operatingSystem + " 2.6.16";
}

int64_t Held(const std::map<std::string, int64_t>& fixed, const std::string& field,
             int64_t computed) {
    const auto it = fixed.find(field);
    return it == fixed.end() ? computed : it->second;
}

void ApplyFixed(Record& row, const std::map<std::string, int64_t>& fixed) {
    for (const auto& [field, value] : fixed)
        if (row.Structure().Find(field) != nullptr) row.SetInt(field, value);
}

std::optional<Target> TargetHost(CallContext& call) {
    const Scenario& s = call.GetScenario();
    const std::string mode = call.ImportText(u"LOCAL_REMOTE");
    Target target;
    if (mode.empty() || mode == "LOCAL") {
        target.host = HostOf(s, call.Server().host);
    } else if (mode != "REMOTE" && mode != "INTERN") {
        call.Raise("INVALID_LOCAL_REMOTE", "LOCAL_REMOTE must be LOCAL, REMOTE or INTERN");
        return std::nullopt;
    } else {
        const std::string name = call.ImportText(u"LOGICAL_DESTINATION");
        const DestinationSpec* dest = FindDestination(s, name);
        if (dest == nullptr) {
            call.Raise("COMMUNICATION_FAILURE", "RFC destination " + name + " does not exist");
            return std::nullopt;
        }
        if (!dest->answers) {
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::min(dest->delayMs, kLongestPartnerWaitMs)));
            call.Raise("COMMUNICATION_FAILURE", "Partner " + name + " not reached");
            return std::nullopt;
        }
        if (dest->mode != mode) {
            call.Raise("NO_NETWORK_COLLECTOR_RUNNING",
                       "No collector answers on " + name + " in mode " + mode);
            return std::nullopt;
        }
        if (dest->delayMs > 0)
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::min(dest->delayMs, kLongestPartnerWaitMs)));
        target.host = HostOf(s, dest->host);
        target.destination = dest;
    }
    if (!target.host.saposcol) {
        call.Raise("SHARED_MEMORY_NOT_AVAILABLE",
                   "The operating system collector is not running on " + target.host.host);
        return std::nullopt;
    }
    return target;
}

namespace {

void DefineStructures(Dictionary& d) {
    d.Add(Structure("SMONHWDESCR", {Char("OBJ_TYPE", 16), Char("OBJ_NAME", 32), Char("DESCR", 80),
                                    Int("OBJ_INDEX")}));
    d.Add(Structure("LPAR_INFO",
                    {Char("PARTNAME", 32), Int("PARTNUM"), Char("SHAREDPROC", 1), Char("CAPPED", 1),
                     Int("ENTCAP"), Int("VIRTCPUS"), Int("PHYSCPUS"), Int("POOLID"), Int("MINMEM"),
                     Int("MAXMEM"), Int("ONLINEMEM"), Char("SYSSERIAL", 10)}));
}

void ConfigDefined(CallContext& call) {
    const std::optional<Target> target = TargetHost(call);
    if (!target) return;
    const HostSpec& h = target->host;
    call.Export(u"FP_OPSYSTEM", OperatingSystemText(h));
    call.Export(u"FP_NODENAME", h.host);
    call.Export(u"FP_MACHINE", h.operatingSystem == "OMBRITH" ? "9406-570" : "x86_64");
    call.Export(u"FP_LASTCOLLWRT", LastCollectorWrite(h, call.ServerSeconds()));
    call.Export(u"FP_COLLVERS", "COLL 20.95 700");
    call.Export(u"FP_INTERVAL", int64_t{10});
}

void ControlPerfRequest(CallContext& call) {
    if (call.ImportText(u"REQUEST_MODE") != "S") {
        call.Raise("REQUEST_MODE_INVALID", "Only synchronous requests (mode S) are answered");
        return;
    }
    const std::optional<Target> target = TargetHost(call);
    if (!target) return;
    const int64_t type = call.ImportInt(u"REQUEST_TYP", -1);
    std::string reply;
    if (type == kHardwareDescrFile) {
        reply = target->host.hardwareDescrFile;
    } else if (type == kClavernMembers && call.ImportText(u"REQUEST_PARAM1") == "CLAVERN") {
        // A host reached locally is no clavern member.
        if (target->destination != nullptr) reply = target->destination->clavernReply;
    } else {
        call.Raise("REQUEST_NOT_SUPPORTED",
                   "Request type " + std::to_string(type) + " is not supported");
        return;
    }
    call.Export(u"REQUEST_PARAM1", reply);
    call.Export(u"REQUEST_PARAM2", "");
    call.Export(u"RETURN_CODE", int64_t{0});
}

void HardwareDescrFile(CallContext& call) {
    const std::optional<Target> target = TargetHost(call);
    if (!target) return;
    const HostSpec& h = target->host;
    const std::string file = call.ImportText(u"FILE_NAME");
    if (h.hardwareDescrFile.empty() || file != h.hardwareDescrFile) {
        call.Raise("FILE_NOT_FOUND", "File " + file + " not found on " + h.host);
        return;
    }
    if (!call.Wants(u"HW_OBJECT_DESCR_TBL")) return;
    Record row = call.NewRecord(u"HW_OBJECT_DESCR_TBL");
    int index = 0;
    auto line = [&](const std::string& type, const std::string& name, const std::string& text) {
        row.SetText("OBJ_TYPE", type).SetText("OBJ_NAME", name).SetText("DESCR", text);
        row.SetInt("OBJ_INDEX", ++index);
        call.AddRow(u"HW_OBJECT_DESCR_TBL", row);
    };
    const Figures figures(call.GetScenario().seed);
    line("SYSTEM", h.host, "Host " + h.host + ", " + OperatingSystemText(h));
    for (int cpu = 0; cpu < h.cpus; ++cpu) {
        const int64_t mhz = 2000 + 100 * figures.Between(h.host + "/hw/mhz", 0, 0, 12);
        line("CPU", "cpu" + std::to_string(cpu),
             "Processor " + std::to_string(cpu) + ": " + std::to_string(mhz) + " MHz");
    }
    line("MEMORY", "physical", "Physical memory " + std::to_string(h.memoryKB) + " KB");
    line("MEMORY", "swap", "Swap space " + std::to_string(h.swapKB) + " KB");
    for (const DiskSpec& disk : h.disks) line("DISK", disk.name, "Disk " + disk.name);
}

void OmbrithLparInfo(CallContext& call) {
    const std::optional<Target> target = TargetHost(call);
    if (!target) return;
    const HostSpec& h = target->host;
    if (h.operatingSystem != "OMBRITH") {
        call.Raise("WRONG_OPERATING_SYSTEM", h.host + " is not an OMBRITH host");
        return;
    }
    Record info = call.NewRecord(u"LPAR_INFO");
    const int64_t id = call.ImportInt(u"SYSTEM_ID", 0);
    info.SetText("PARTNAME", h.host + (id > 0 ? "_" + std::to_string(id) : std::string()))
        .SetInt("PARTNUM", id + 1)
        .SetText("SHAREDPROC", "Y")
        .SetText("CAPPED", "N")
        .SetInt("ENTCAP", 100 * h.cpus)
        .SetInt("VIRTCPUS", h.cpus)
        .SetInt("PHYSCPUS", 2 * h.cpus)
        .SetInt("POOLID", 0)
        .SetInt("MINMEM", h.memoryKB / 2048)
        .SetInt("MAXMEM", h.memoryKB / 512)
        .SetInt("ONLINEMEM", h.memoryKB / 1024)
        .SetText("SYSSERIAL", "10A2B3C");
    call.ExportRecord(u"LPAR_INFO", info);
}

const std::vector<ParameterSpec> kCollectorExceptions = {
    Exception("SHARED_MEMORY_NOT_AVAILABLE"), Exception("COMMUNICATION_FAILURE"),
    Exception("NO_NETWORK_COLLECTOR_RUNNING"), Exception("INVALID_LOCAL_REMOTE")};

Interface With(Interface parameters) {
    parameters.insert(parameters.end(), kCollectorExceptions.begin(), kCollectorExceptions.end());
    return parameters;
}

}  // namespace
}  // namespace saposcol

void RegisterSaposcolModules(ModuleRegistry& registry) {
    using namespace saposcol;
    DefineStructures(registry.Structures());

    registry.Register("GET_CONFIG_DEFINED",
                      With({LocalRemoteImport(), DestinationImport(),
                            Export(Char("FP_OPSYSTEM", 32)).Text("Operating system and version"),
                            Export(Char("FP_NODENAME", 32)), Export(Char("FP_MACHINE", 16)),
                            Export(Char("FP_LASTCOLLWRT", 30)).Text("Last collector write"),
                            Export(Char("FP_COLLVERS", 16)), Export(Int("FP_INTERVAL"))}),
                      ConfigDefined);

    registry.Register(
        "CONTROL_PERF_REQUEST",
        With({Import(Int("REQUEST_TYP")).Text("Request type"),
              Import(Int("REQUEST_ID")).Default("-1"),
              Import(Char("REQUEST_MODE", 1)).Default("'S'").Text("S synchronous, A asynchronous"),
              Import(Char("REQUEST_PARAM1", 128)).Optional(),
              Import(Char("REQUEST_PARAM2", 128)).Optional(), LocalRemoteImport(),
              DestinationImport(), Export(Char("REQUEST_PARAM1", 128)),
              Export(Char("REQUEST_PARAM2", 128)), Export(Int("RETURN_CODE")),
              Exception("REQUEST_MODE_INVALID"), Exception("REQUEST_NOT_SUPPORTED")}),
        ControlPerfRequest);

    registry.Register(
        "SMON_READ_HARDWARE_DESCR_FILE",
        With({Import(Char("FILE_NAME", 128)).Text("Hardware description file"), LocalRemoteImport(),
              DestinationImport(), Table("HW_OBJECT_DESCR_TBL", "SMONHWDESCR"),
              Exception("FILE_NOT_FOUND")}),
        HardwareDescrFile);

    registry.Register(
        "GET_OMBRITH_LPAR_INFO",
        With({LocalRemoteImport(), DestinationImport(), Import(Int("SYSTEM_ID")).Default("0"),
              ExportStructure("LPAR_INFO", "LPAR_INFO").Text("Partition"),
              Exception("WRONG_OPERATING_SYSTEM")}),
        OmbrithLparInfo);

    RegisterSaposcolTables(registry);
}

}  // namespace r3sim
