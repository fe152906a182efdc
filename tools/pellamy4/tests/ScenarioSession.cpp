#include "ScenarioSession.h"

#include <cmath>
#include <filesystem>

#include "collect/host/HostFigures.h"
#include "collect/host/HostFiles.h"
#include "collect/host/HostPaths.h"
#include "collect/instance/InstanceRecordRules.h"
#include "collect/records/SystemRecords.h"
#include "platform/AnsiTextFile.h"
#include "platform/DateTime.h"
#include "platform/File.h"
#include "platform/FixedText.h"
#include "platform/Format.h"
#include "platform/TextCodec.h"

using namespace instrec;

const std::vector<std::string> kScenarioInstances = {"qashost1_QAS_00", "qashost2_QAS_01"};
const std::vector<std::string> kScenarioHosts = {"qashost1", "qashost2"};
const std::vector<std::string> kScenarioDisks = {"sda", "sdb"};

namespace {

// A small generator whose sequence is the same on every platform.
class Rng {
  public:
    explicit Rng(uint32_t seed) : state_(seed * 2654435761u + 1) {}
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int32_t Between(int32_t low, int32_t high) {
        return low + static_cast<int32_t>(Next() % static_cast<uint32_t>(high - low + 1));
    }

  private:
    uint32_t state_;
};

std::u16string U(const std::string& s) {
    return platform::FromUtf8(s);
}

// The load of the system at a minute, 0.1 to 0.9: a slow swell, so the
// series look like a working day rather than noise.
double Load(int minute) {
    return 0.5 + 0.4 * std::sin(minute / 40.0);
}
int32_t Scaled(double load, int32_t high) {
    return static_cast<int32_t>(load * high);
}

double StartOle(const ScenarioOptions& o) {
    return platform::OleDate::FromDateTime(platform::MakeDateTime(2026, 12, 7, 10, 0, 0)).Value() +
           o.startDay;
}

// The server-clock texts of a collector-clock moment, as the statistics
// records carry them (the instance's clock runs 30 s behind).
constexpr double kServerOffsetDays = 30.0 / 86400.0;

void StatrecTexts(double collectorOle, std::u16string& date, std::u16string& time) {
    FormatServerTime(collectorOle, kServerOffsetDays, date, time);
}

void WriteInstance(const std::string& folder, const std::string& name, const std::string& host,
                   const ScenarioOptions& o, Rng& rng, uint64_t steps) {
    const std::u16string dir = U(folder + "/");
    const std::u16string n = U(name);

    ControlRecord control{};
    platform::CopyToField(control.name, n);
    platform::CopyToField(control.host, U(host));
    platform::CopyToField(control.services, u"Dialog Update Enqueue Batch Spool");
    platform::CopyToField(control.rfcSysId, u"QAS");
    platform::CopyToField(control.rfcDbSys, u"ORACLE");
    platform::CopyToField(control.rfcDbHost, u"qasdb");
    platform::CopyToField(control.rfcSapRl, u"46C");
    platform::CopyToField(control.rfcKernRl, u"46D");
    platform::CopyToField(control.kernRel, u"46D");
    platform::CopyToField(control.kernPatchLevel, u"2113");
    platform::CopyToField(control.opSystem, u"Linux");
    platform::CopyToField(control.collVersion, u"COLL 20.79 46D");
    control.interval = 10;
    EnsureControlRecord(dir + u"instance.ctl", n, control);

    const double start = StartOle(o);
    for (int m = 0; m < o.minutes; ++m) {
        if (o.missedMinutes.count(m)) continue;
        const double t = start + m / 1440.0;
        MemoryRecord mem{};
        mem.time = t;
        mem.bufferUsedSpace = rng.Between(200000, 260000);
        mem.pagingCurrUsed = rng.Between(0, 8000);
        mem.rollCurrUsed = rng.Between(1000, 30000);
        mem.extendedAllocated = 300000 + Scaled(Load(m), 600000) + rng.Between(0, 30000);
        mem.heapUsed = rng.Between(0, 50000);
        AppendRecord(dir + n + u".mem", mem);

        RequestQueueRecord q{};
        q.time = t;
        for (const char* line : {"NOWP 0 0 0 0 0", "DIA", "UPD", "ENQ", "BTC", "SPO", "UP2"}) {
            const std::string name(line);
            const std::string text =
                name.size() > 4 ? name
                                : name + " " +
                                      std::to_string((name == "DIA" ? Scaled(Load(m), 10) : 0) +
                                                     rng.Between(0, 2)) +
                                      " 100 0 0 0";
            ApplyRequestQueueLine(U(text), q);
        }
        AppendRecord(dir + n + u".drq", q);
    }

    std::vector<WorkProcessRecord> wps(6);
    for (size_t i = 0; i < wps.size(); ++i) {
        platform::CopyToField(wps[i].wpNo, U(std::to_string(i)));
        platform::CopyToField(wps[i].wpTyp, i < 4 ? u"DIA" : u"UPD");
        platform::CopyToField(wps[i].wpPid, U(std::to_string(4000 + rng.Between(0, 999))));
        platform::CopyToField(wps[i].wpStatus, i % 3 == 0 ? u"Running" : u"Waiting");
        platform::CopyToField(wps[i].wpCpu, U(std::to_string(rng.Between(0, 90))));
    }
    {
        platform::File f(dir + n + u".wp", platform::File::Mode::Snapshot);
        f.Write(wps.data(), wps.size() * sizeof(WorkProcessRecord));
        f.Close();
    }
    StorageRecord st{};
    st.heapAreaTotal = 2000000000LL;
    st.shmTotal = 512000;
    st.wpNumber = 6;
    st.rollArea = 6500000;
    {
        platform::File f(dir + n + u".stg", platform::File::Mode::Snapshot);
        f.Write(&st, sizeof st);
        f.Close();
    }
    {
        platform::AnsiTextFile pfl;
        pfl.Open(dir + n + u".pfl", platform::File::Mode::Snapshot);
        pfl.Write(u"rdisp/wp_no_dia = 4\n");
        pfl.Write(u"abap/buffersize = 400000\n");
        pfl.Write(u"em/initial_size_MB = 1024\n");
        pfl.Write(u"zcsa/installed_languages = DE\n");
        pfl.Close();
    }

    SummaryRecord sum{};
    sum.totalHitRatio[0] = 99.1;
    sum.totalHitRatio[1] = 97.4;
    sum.totalHitRatio[2] = 98.9;
    sum.cursorCacheTotal[2] = 99.8;  // ID_HITR
    sum.cursorCacheTotal[9] = 96.5;  // STMT_HITR
    {
        platform::File f(dir + n + u".sum", platform::File::Mode::Snapshot);
        f.Write(&sum, sizeof sum);
        f.Close();
    }
    {
        platform::File f(dir + n + u".tbl", platform::File::Mode::Snapshot);
        for (const char* table : {"MARA", "VBAK", "VBAP", "T001", "BKPF", "NAST"}) {
            TableStatisticRecord r{};
            platform::CopyToField(r.tname, U(table));
            platform::CopyToField(r.buf, u"X");
            r.numbers[6] = rng.Between(100, 90000);  // DIRCNT
            r.numbers[8] = rng.Between(0, 5000);     // SEQCNT
            r.numbers[0] = rng.Between(0, 900);      // UPDCNT
            f.Write(&r, sizeof r);
        }
        f.Close();
    }
    {
        platform::File f(dir + n + u".buf", platform::File::Mode::Snapshot);
        for (const char* buffer : {"TABL", "TABLP", "PXA", "CUA"}) {
            BufferStatisticRecord r{};
            platform::CopyToField(r.name, U(buffer));
            r.counters[11] = rng.Between(10000, 99999);             // REQUEST
            r.counters[12] = r.counters[11] - rng.Between(0, 500);  // HIT
            r.counters[8] = rng.Between(1000, 50000);               // USED_SPACE
            r.hitRatio = 100.0 * r.counters[12] / r.counters[11];
            f.Write(&r, sizeof r);
        }
        f.Close();
    }
    {
        platform::File f(dir + n + u".tql", platform::File::Mode::Snapshot);
        for (const char* table : {"MARA", "VBAK", "T001"}) {
            TableQualityRecord r{};
            platform::CopyToField(r.tname, U(table));
            r.directRead = rng.Between(50, 100);
            r.sequentialRead = rng.Between(10, 100);
            r.total = (r.directRead + r.sequentialRead) / 2;
            f.Write(&r, sizeof r);
        }
        f.Close();
    }
    {
        platform::File f(dir + n + u".ccs", platform::File::Mode::Snapshot);
        for (int wp = 0; wp < 4; ++wp) {
            CursorCacheRecord r{};
            r.counters[0] = wp;
            r.counters[2] = rng.Between(1000, 9000);  // SI_REQUEST
            r.counters[3] = r.counters[2] - rng.Between(0, 100);
            r.counters[8] = rng.Between(1000, 9000);  // S_REQUEST
            r.counters[9] = r.counters[8] - rng.Between(0, 300);
            platform::CopyToField(r.wpPid, U(std::to_string(4000 + wp)));
            f.Write(&r, sizeof r);
        }
        f.Close();
    }

    // Dialog steps: raw statistics values through the collector's rules,
    // appended in one pass as a capture does.
    static const char* const kTcodes[] = {"VA01", "VA02", "ME21N", "FB01", "MM03", "", "SE38"};
    static const char* const kReports[] = {"SAPMV45A", "SAPMM06E", "SAPMF05A", "RSM13000",
                                           "SAPLSMTR_NAVIGATION"};
    static const uint8_t kTypes[] = {0x01, 0x01, 0x01, 0x01, 0x02, 0x04, 0xFE};
    platform::File dss(dir + n + u".dss", platform::File::Mode::Append);
    const int32_t spanSeconds = o.minutes * 60 - 1;
    std::u16string date, time;
    for (uint64_t i = 0; i < steps; ++i) {
        DialogStepRecord r{};
        const int32_t endOffset = static_cast<int32_t>(static_cast<uint64_t>(spanSeconds) * i /
                                                       std::max<uint64_t>(steps, 1));
        const int32_t duration = rng.Between(0, 5);
        const double end = start + endOffset / 86400.0;
        const double begin = start + std::max(0, endOffset - duration) / 86400.0;
        StatrecTexts(begin, date, time);
        r.start = CollectorTime(date, time, kServerOffsetDays);
        StatrecTexts(end, date, time);
        r.end = CollectorTime(date, time, kServerOffsetDays);
        platform::CopyToField(r.account, U("USER" + std::to_string(rng.Between(1, 30))));
        platform::CopyToField(r.tcode, U(kTcodes[rng.Next() % 7]));
        platform::CopyToField(r.report, U(kReports[rng.Next() % 5]));
        r.taskType = kTypes[rng.Next() % 7];
        const int64_t respti =
            int64_t{rng.Between(20000, 3000000)} * (rng.Next() % 50 == 0 ? 40 : 1);
        r.responseTime =
            r.taskType == 0x04
                ? BatchResponseTime(respti)
                : NormalResponseTime(respti, static_cast<uint32_t>(rng.Between(0, 90000)),
                                     static_cast<uint32_t>(rng.Between(0, 20000)));
        r.cpuTime = CpuTime(rng.Between(0, 900000) + 0.5);
        const int32_t db[6] = {rng.Between(0, 200000), rng.Between(0, 300000),
                               rng.Between(0, 9000),   rng.Between(0, 900),
                               rng.Between(0, 9000),   rng.Between(0, 5000)};
        r.databaseTime = DatabaseTime(db);
        r.memSum = rng.Between(0, 1 << 20);
        dss.Write(&r, sizeof r);
    }
    dss.Close();
}

void WriteHost(const std::string& folder, const std::string& host, const ScenarioOptions& o,
               Rng& rng) {
    const HostPaths paths = MakeHostPaths(U(folder + "/"), U(host));
    HostControlRecord control{};
    platform::CopyToField(control.name, U(host));
    platform::CopyToField(control.ipAddress, u"10.0.0.17");
    platform::CopyToField(control.vendor, u"Ostrel");
    platform::CopyToField(control.opSys, u"Linux");
    platform::CopyToField(control.machine, u"x86");
    control.timeZone = 3600;
    MemoryFigures total;
    total.physicalMemory = 16000000;
    total.swapSize = 8000000;
    const int32_t capacities[] = {100000000, 20000000};
    FillStorage(control, total, capacities);
    if (!ControlFileHasName(paths.hostControl, sizeof control, U(host)))
        AppendToControlFile(paths.hostControl, &control, sizeof control);
    for (const std::string& disk : kScenarioDisks) {
        DiskControlRecord d{};
        platform::CopyToField(d.host, U(host));
        platform::CopyToField(d.diskName, U(disk));
        AppendToControlFile(paths.diskControl, &d, sizeof d);
    }

    const double start = StartOle(o);
    for (int m = 0; m < o.minutes; ++m) {
        if (o.missedMinutes.count(m)) continue;
        const double t = start + m / 1440.0 + 2.0 / 86400.0;  // host captures run 2 s later
        HostCpuRecord cpu{};
        cpu.time = t;
        FillCpu(cpu, CpuFigures{Scaled(Load(m), 70) + rng.Between(0, 10),
                                Scaled(Load(m), 20) + rng.Between(0, 8)});
        MemoryFigures mem;
        mem.physicalMemory = 16000000;
        mem.freeMemory = 9000000 - Scaled(Load(m), 7000000) + rng.Between(0, 300000);
        mem.swapSize = 8000000;
        mem.swapFree = rng.Between(6000000, 8000000);
        mem.pagesIn = Scaled(Load(m), 300) + rng.Between(0, 60);
        mem.pagesOut = rng.Between(0, 100);
        FillMemory(cpu, mem);
        DiskTotals totals;
        for (const std::string& disk : kScenarioDisks) {
            DiskFigures d;
            d.name = U(disk);
            d.utilisation = Scaled(Load(m + 25 * (disk.back() - 'a')), 110) + rng.Between(-5, 10);
            d.averageQueue = rng.Between(0, 4);
            d.averageWait = rng.Between(0, 20);
            d.averageService = rng.Between(1, 9);
            d.kbPerSecond = rng.Between(0, 90000);
            d.opsPerSecond = rng.Between(0, 900);
            d.response = rng.Between(1, 30);
            const HostDiskRecord record = MakeDiskRecord(t, d);
            totals.Add(record);
            AppendRecord(paths.DiskFile(U(disk)), record);
        }
        totals.FillCpu(cpu);
        AppendRecord(paths.cpu, cpu);
    }
    std::vector<tagPS_STAT> processes(3, tagPS_STAT{});
    for (size_t i = 0; i < processes.size(); ++i) {
        processes[i].procId = 4000 + static_cast<int32_t>(i);
        platform::CopyToField(processes[i].userName, u"qasadm");
        platform::CopyToField(processes[i].command, u"dw.sapQAS_DVEBMGS00");
        platform::CopyToField(processes[i].cpuTime, u"01:02:03");
        processes[i].residentSize = rng.Between(100000, 900000);
    }
    WriteProcessSnapshot(paths.process, processes);
    if (o.withListings) {
        WriteTextListing(paths.hardware, {u"CPU: 8 x x86_64 3.2 GHz", u"Memory: 16 GB"});
        WriteTextListing(paths.environment, {u"SAPSYSTEMNAME=QAS", u"LANG=en_US"});
    }
}

// The system-level files, filled field by field as the system thread
// fills them (its record builders are not in the engine library yet).
void WriteSystem(const std::string& folder) {
    const std::u16string dir = U(folder + "/");
    SystemControlRecord sys{};
    platform::CopyToField(sys.systemId, u"QAS");
    platform::CopyToField(sys.sapRelease, u"46C");
    platform::CopyToField(sys.dbSystem, u"ORACLE");
    platform::CopyToField(sys.dbVersion, u"8.1.7.4.0");
    sys.dbSize = 182;
    PcControlRecord pc{};
    platform::CopyToField(pc.operatingSystem, u"Linux 6.1.0 (Build: 1)");
    platform::CopyToField(pc.processor, u"Intel Pentium");
    pc.processors = 2;
    pc.megahertz = 2400;
    pc.memoryLoad = 37;
    pc.physicalTotal = 2147483648u;
    pc.collectorVersion = kCollectorVersionNumber;
    pc.gmtOffset = 3600;
    std::vector<ComponentRecord> components(3);
    const char16_t* const names[] = {u"SAP_BASIS", u"SAP_ABA", u"SAP_APPL"};
    for (size_t i = 0; i < components.size(); ++i) {
        platform::CopyToField(components[i].component, names[i]);
        platform::CopyToField(components[i].release, u"46C");
        platform::CopyToField(components[i].extendedRelease, u"0000");
    }
    platform::CopyToField(components[2].addon, u"IS-OIL 46C");
    std::vector<PatchRecord> patches(2);
    patches[0].time =
        platform::OleDate::FromDateTime(platform::MakeDateTime(2003, 5, 14, 9, 30, 0)).Value();
    platform::CopyToField(patches[0].name, u"SAPKB46C32");
    platform::CopyToField(patches[0].text, u"Basis support package 32");
    platform::CopyToField(patches[1].name, u"SAPKH46C40");  // no valid date: time 0
    auto write = [&](const std::u16string& name, const void* data, size_t size) {
        platform::File f(dir + name, platform::File::Mode::Snapshot);
        f.Write(data, size);
        f.Close();
    };
    write(u"system.ctl", &sys, sizeof sys);
    write(u"pc.ctl", &pc, sizeof pc);
    write(u"QAS.cmp", components.data(), components.size() * sizeof(ComponentRecord));
    write(u"QAS.ptc", patches.data(), patches.size() * sizeof(PatchRecord));
}

}  // namespace

void WriteScenarioSession(const std::string& folder, const ScenarioOptions& options) {
    std::filesystem::create_directories(folder);
    Rng rng(options.seed);
    if (options.withSystemFiles) WriteSystem(folder);
    for (size_t i = 0; i < kScenarioInstances.size(); ++i) {
        const uint64_t steps = options.dialogSteps / kScenarioInstances.size() +
                               (i == 0 ? options.dialogSteps % kScenarioInstances.size() : 0);
        WriteInstance(folder, kScenarioInstances[i], kScenarioHosts[i], options, rng, steps);
    }
    for (const std::string& host : kScenarioHosts) WriteHost(folder, host, options, rng);
}
