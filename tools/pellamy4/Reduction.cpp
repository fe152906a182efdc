#include "tools/pellamy4/Reduction.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "tools/pellamy4/Output.h"
#include "tools/pellamy4/SessionSpan.h"

namespace pellamy {

using namespace instrec;

std::string FileNamePart(std::string_view name) {
    std::string out;
    for (char c : name) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' || c == '(' ||
                          c == ')';
        out += keep ? c : '_';
    }
    return out.empty() ? "_" : out;
}

namespace {

std::string Int(int64_t v) {
    return std::to_string(v);
}
std::string Num(double v, int decimals = 1) {
    return FormatNumber(v, decimals);
}
std::string Ratio(double part, double whole, int decimals = 1) {
    return whole == 0 ? "" : Num(part / whole * 100.0, decimals);
}
std::string Average(int64_t total, uint64_t count) {
    return count == 0 ? "" : Num(static_cast<double>(total) / static_cast<double>(count));
}

// Record fields are packed: grouped values are copied out of their bytes,
// never read through a reference that may be misaligned.
template <typename T>
T At(const void* values, size_t i) {
    T v;
    std::memcpy(&v, static_cast<const unsigned char*>(values) + i * sizeof(T), sizeof v);
    return v;
}

// The value of a named field of a group (collect/records name lists, one
// name per value of the group).
template <typename T, typename Names>
T Field(const void* values, const Names& names, std::u16string_view name) {
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return At<T>(values, i);
    }
    return T{};
}

Table MakeTable(std::string file, std::string title, std::vector<std::string> columns,
                std::vector<bool> numeric) {
    Table t;
    t.file = std::move(file);
    t.title = std::move(title);
    t.columns = std::move(columns);
    t.numeric = std::move(numeric);
    return t;
}

// One line per series from samples of its own; the rows are the union of
// the sample times, a series without a sample at a time has NaN there.
struct SeriesSamples {
    std::string name;
    std::vector<std::pair<int64_t, double>> samples;
};

Chart MergeSeries(std::string file, std::string title, std::string unit,
                  const std::vector<SeriesSamples>& series, const Session& s) {
    Chart c;
    c.file = std::move(file);
    c.title = std::move(title);
    c.unit = std::move(unit);
    c.fromSecond = s.firstSecond;
    c.toSecond = s.lastSecond;
    std::map<int64_t, std::vector<double>> rows;
    for (size_t i = 0; i < series.size(); ++i) {
        c.series.push_back(series[i].name);
        for (const auto& [second, value] : series[i].samples) {
            auto& row = rows[second];
            if (row.empty()) row.assign(series.size(), NAN);
            row[i] = value;
        }
    }
    for (auto& [second, row] : rows) {
        c.seconds.push_back(second);
        c.values.push_back(std::move(row));
    }
    return c;
}

// A chart of records that carry all its series at once.
template <typename Record, typename Values>
Chart RecordChart(std::string file, std::string title, std::string unit,
                  std::vector<std::string> names, const std::vector<Record>& records, Values values,
                  const Session& s) {
    Chart c;
    c.file = std::move(file);
    c.title = std::move(title);
    c.unit = std::move(unit);
    c.series = std::move(names);
    c.fromSecond = s.firstSecond;
    c.toSecond = s.lastSecond;
    std::vector<std::pair<int64_t, std::vector<double>>> rows;
    for (const Record& r : records) rows.emplace_back(OleSeconds(r.time), values(r));
    // Records are appended in time order; a clock set back must not draw
    // the line backwards.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [second, row] : rows) {
        c.seconds.push_back(second);
        c.values.push_back(std::move(row));
    }
    return c;
}

std::string Duration(int64_t seconds) {
    const int64_t days = seconds / 86400, hours = seconds / 3600 % 24, minutes = seconds / 60 % 60;
    std::string out;
    if (days) out += Int(days) + " d ";
    out += Int(hours) + " h " + Int(minutes) + " min";
    return out;
}

// ---- The session and the system -------------------------------------

Section SessionSection(const Session& s) {
    Section sec{"session", "Session", 2, {}};
    Facts f;
    f.items.push_back({"Folder", s.folder});
    if (s.firstSecond != 0) {
        f.items.push_back({"Time range", FormatSecond(s.firstSecond) + " to " +
                                             FormatSecond(s.lastSecond) +
                                             " (collector local time)"});
        f.items.push_back({"Duration", Duration(s.lastSecond - s.firstSecond)});
    } else {
        f.items.push_back({"Time range", "no time-stamped record in the session"});
    }
    f.items.push_back({"Instances", Int(static_cast<int64_t>(s.instances.size()))});
    f.items.push_back({"Hosts", Int(static_cast<int64_t>(s.hosts.size()))});
    f.items.push_back({"Dialog steps", Int(static_cast<int64_t>(s.workload.Steps()))});
    sec.blocks.push_back(std::move(f));
    if (s.notes.empty()) {
        sec.blocks.push_back(Paragraph{"Every file of the session was read in full.", false});
    } else {
        sec.blocks.push_back(Paragraph{
            Int(static_cast<int64_t>(s.notes.size())) +
                " notes on files that are missing or could not be used as they stand; the "
                "report shows everything else.",
            true});
        Table t =
            MakeTable("session_notes", "Notes on the files", {"File", "Note"}, {false, false});
        for (const FileNote& n : s.notes) t.rows.push_back({n.file, n.text});
        sec.blocks.push_back(std::move(t));
    }
    Table files =
        MakeTable("session_files", "Files of the session", {"File", "Bytes"}, {false, true});
    for (const auto& [name, size] : s.files)
        files.rows.push_back({name, Int(static_cast<int64_t>(size))});
    files.collapsed = true;
    sec.blocks.push_back(std::move(files));
    return sec;
}

Section SystemSection(const Session& s) {
    Section sec{"system", "System", 2, {}};
    const SystemFacts& sys = s.system;
    Facts f;
    f.items.push_back({"System id", sys.sid.empty() ? "unknown" : sys.sid});
    f.items.push_back({"Release", sys.release.empty() ? "unknown" : sys.release});
    f.items.push_back({"Database", sys.database.empty() ? "unknown" : sys.database});
    if (!sys.databaseHost.empty()) f.items.push_back({"Database host", sys.databaseHost});
    if (!sys.kernel.empty()) f.items.push_back({"Kernel", sys.kernel});
    if (sys.control) {
        const std::string version = FieldUtf8(sys.control->dbVersion);
        if (!version.empty()) f.items.push_back({"Database version", version});
        const int32_t size = sys.control->dbSize;
        f.items.push_back({"Database size figure",
                           size == 0 ? "not determined"
                                     : Int(size) + " (the database's reported sizes / 1,000,000)"});
    }
    sec.blocks.push_back(std::move(f));

    Table cmp = MakeTable("system_components", "Software components",
                          {"Component", "Release", "Extended release", "Add-on"},
                          {false, false, false, false});
    for (const ComponentRecord& r : sys.components)
        cmp.rows.push_back({FieldUtf8(r.component), FieldUtf8(r.release),
                            FieldUtf8(r.extendedRelease), FieldUtf8(r.addon)});
    sec.blocks.push_back(std::move(cmp));
    Table ptc = MakeTable("system_patches", "Patches", {"Installed", "Patch", "Text"},
                          {false, false, false});
    for (const PatchRecord& r : sys.patches)
        ptc.rows.push_back({r.time == 0.0 ? "" : FormatSecond(OleSeconds(r.time)),
                            FieldUtf8(r.name), FieldUtf8(r.text)});
    ptc.collapsed = sys.patches.size() > kTopRows;
    sec.blocks.push_back(std::move(ptc));

    if (sys.pc) {
        const PcControlRecord& pc = *sys.pc;
        Table t = MakeTable("system_workstation", "Collecting workstation", {"Figure", "Value"},
                            {false, false});
        t.rows = {{"Operating system", FieldUtf8(pc.operatingSystem)},
                  {"Processor", FieldUtf8(pc.processor)},
                  {"Processors", Int(pc.processors)},
                  {"Clock [MHz]", pc.megahertz == 0 ? "not readable" : Int(pc.megahertz)},
                  {"Memory load [%]", Int(pc.memoryLoad)},
                  {"Physical memory [bytes]", Int(pc.physicalTotal)},
                  {"Physical memory available [bytes]", Int(pc.physicalAvailable)},
                  {"User address space [bytes]", Int(pc.virtualTotal)},
                  {"Collector version", Int(pc.collectorVersion)},
                  {"Standard time ahead of GMT [s]", Int(pc.gmtOffset)}};
        sec.blocks.push_back(std::move(t));
    }

    Table in = MakeTable(
        "instances", "Instances",
        {"Instance", "Host", "Services", "System id", "Database", "Database host", "Release",
         "Kernel release", "Kernel patch level", "Operating system", "Collector version",
         "Collector interval [s]"},
        {false, false, false, false, false, false, false, false, false, false, false, true});
    for (const InstanceData& i : s.instances) {
        if (!i.control) {
            in.rows.push_back({i.name, "", "", "", "", "", "", "", "", "", "", ""});
            continue;
        }
        const ControlRecord& c = *i.control;
        in.rows.push_back({i.name, FieldUtf8(c.host), FieldUtf8(c.services), FieldUtf8(c.rfcSysId),
                           FieldUtf8(c.rfcDbSys), FieldUtf8(c.rfcDbHost), FieldUtf8(c.rfcSapRl),
                           FieldUtf8(c.kernRel), FieldUtf8(c.kernPatchLevel), FieldUtf8(c.opSystem),
                           FieldUtf8(c.collVersion), Int(c.interval)});
    }
    sec.blocks.push_back(std::move(in));

    Table hosts = MakeTable("hosts", "Hosts",
                            {"Host", "IP address", "Vendor", "Operating system", "Machine",
                             "Physical memory [thousands]", "Swap [thousands]",
                             "File systems [thousands]", "Time zone [s]"},
                            {false, false, false, false, false, true, true, true, true});
    for (const HostData& h : s.hosts) {
        if (!h.control) {
            hosts.rows.push_back({h.name, "", "", "", "", "", "", "", ""});
            continue;
        }
        const HostControlRecord& c = *h.control;
        hosts.rows.push_back({h.name, FieldUtf8(c.ipAddress), FieldUtf8(c.vendor),
                              FieldUtf8(c.opSys), FieldUtf8(c.machine), Int(c.physicalMemoryK),
                              Int(c.swapSizeK), Int(c.fileSystemsK), Int(c.timeZone)});
    }
    sec.blocks.push_back(std::move(hosts));
    return sec;
}

// ---- Hosts -------------------------------------------------------------

// The heading of a part whose entries follow as sections of their own; an
// empty part says what the session lacks.
void OpenPart(std::vector<Section>& out, std::string id, std::string title, bool empty,
              std::string lack) {
    out.push_back(Section{std::move(id), std::move(title), 2, {}});
    if (empty) out.back().blocks.push_back(Paragraph{std::move(lack), true});
}

void HostSections(const Session& s, std::vector<Section>& out) {
    OpenPart(out, "hosts", "Hosts", s.hosts.empty(), "The session has no host files.");
    for (const HostData& h : s.hosts) {
        const std::string id = "host_" + FileNamePart(h.name);
        Section sec{id, "Host " + h.name, 3, {}};
        sec.blocks.push_back(RecordChart(
            id + "_cpu", "CPU busy", "%", {"CPU busy"}, h.cpu,
            [](const HostCpuRecord& r) { return std::vector<double>{double(r.cpuBusyPercent)}; },
            s));
        std::get<Chart>(sec.blocks.back()).yMax = 100;
        sec.blocks.push_back(RecordChart(
            id + "_memory", "Memory and swap used", "%", {"memory used", "swap used"}, h.cpu,
            [](const HostCpuRecord& r) {
                return std::vector<double>{double(r.memoryUsedPercent), double(r.swapUsedPercent)};
            },
            s));
        std::get<Chart>(sec.blocks.back()).yMax = 100;
        sec.blocks.push_back(RecordChart(
            id + "_paging", "Paging", "pages/s", {"pages in", "pages out"}, h.cpu,
            [](const HostCpuRecord& r) {
                return std::vector<double>{double(r.pagesInPerSecond), double(r.pagesOutPerSecond)};
            },
            s));

        std::vector<SeriesSamples> util{{"average of the disks", {}}};
        for (const HostCpuRecord& r : h.cpu) {
            if (!h.disks.empty())
                util[0].samples.emplace_back(OleSeconds(r.time), r.diskUtilAverage);
        }
        for (const DiskData& d : h.disks) {
            SeriesSamples series{d.name, {}};
            for (const HostDiskRecord& r : d.records)
                series.samples.emplace_back(OleSeconds(r.time), r.utilisation);
            util.push_back(std::move(series));
        }
        sec.blocks.push_back(
            MergeSeries(id + "_disk_utilisation", "Disk utilisation", "%", util, s));
        std::get<Chart>(sec.blocks.back()).yMax = 100;

        Table disks =
            MakeTable(id + "_disks", "Disks",
                      {"Disk", "Samples", "Average utilisation [%]", "Peak utilisation [%]",
                       "Average KB/s", "Average operations/s", "Average queue", "Average wait [ms]",
                       "Average service [ms]", "Average response [ms]"},
                      {false, true, true, true, true, true, true, true, true, true});
        std::vector<Table> diskSeries;
        for (const DiskData& d : h.disks) {
            const double n = static_cast<double>(d.records.size());
            double util = 0, kb = 0, ops = 0, queue = 0, wait = 0, service = 0, response = 0;
            int32_t peak = 0;
            for (const HostDiskRecord& r : d.records) {
                util += r.utilisation;
                peak = std::max(peak, int32_t{r.utilisation});
                kb += r.kbPerSecond;
                ops += r.opsPerSecond;
                queue += r.averageQueue;
                wait += r.averageWait;
                service += r.averageService;
                response += r.response;
            }
            auto avg = [&](double sum) { return n == 0 ? std::string() : Num(sum / n); };
            disks.rows.push_back({d.name, Int(static_cast<int64_t>(d.records.size())), avg(util),
                                  Int(peak), avg(kb), avg(ops), avg(queue), avg(wait), avg(service),
                                  avg(response)});
            // Every disk's own series, for spreadsheets.
            Table series = MakeTable(id + "_disk_" + FileNamePart(d.name), "",
                                     {"time", "utilisation [%]", "queue", "wait [ms]",
                                      "service [ms]", "KB/s", "operations/s", "response [ms]"},
                                     {});
            for (const HostDiskRecord& r : d.records)
                series.rows.push_back({FormatSecond(OleSeconds(r.time)), Int(r.utilisation),
                                       Int(r.averageQueue), Int(r.averageWait),
                                       Int(r.averageService), Int(r.kbPerSecond),
                                       Int(r.opsPerSecond), Int(r.response)});
            series.title = "Disk " + d.name + " per minute";
            series.collapsed = true;
            diskSeries.push_back(std::move(series));
        }
        if (!h.disks.empty()) sec.blocks.push_back(std::move(disks));
        for (Table& t : diskSeries) sec.blocks.push_back(std::move(t));

        Table ps = MakeTable(id + "_processes", "Top processes (last minute captured)",
                             {"Process id", "User", "Command", "CPU time", "Resident size"},
                             {true, false, false, false, true});
        for (const tagPS_STAT& p : h.processes)
            ps.rows.push_back({Int(p.procId), FieldUtf8(p.userName), FieldUtf8(p.command),
                               FieldUtf8(p.cpuTime), Int(p.residentSize)});
        sec.blocks.push_back(std::move(ps));
        for (const auto* listing : {&h.hardware, &h.environment}) {
            if (listing->empty()) continue;
            const bool hw = listing == &h.hardware;
            Table t =
                MakeTable("", hw ? "Hardware listing" : "Environment listing", {"Line"}, {false});
            for (const std::string& line : *listing) t.rows.push_back({line});
            t.collapsed = true;
            sec.blocks.push_back(std::move(t));
        }
        out.push_back(std::move(sec));
    }
}

// ---- Instances -------------------------------------------------------

void InstanceSections(const Session& s, std::vector<Section>& out) {
    OpenPart(out, "instances", "Instances", s.instances.empty(),
             "The session has no instance files.");
    for (const InstanceData& in : s.instances) {
        const std::string id = "inst_" + FileNamePart(in.name);
        Section sec{id, "Instance " + in.name, 3, {}};
        sec.blocks.push_back(RecordChart(
            id + "_memory", "Memory areas", "KB",
            {"buffers used", "paging used", "roll used", "extended memory allocated", "heap used"},
            in.memory,
            [](const MemoryRecord& r) {
                return std::vector<double>{double(r.bufferUsedSpace), double(r.pagingCurrUsed),
                                           double(r.rollCurrUsed), double(r.extendedAllocated),
                                           double(r.heapUsed)};
            },
            s));
        std::vector<std::string> queues;
        for (Names n : kQueueNames) queues.push_back(std::string(n.begin(), n.end()));
        sec.blocks.push_back(RecordChart(
            id + "_queues", "Request queues", "requests waiting", queues, in.queues,
            [](const RequestQueueRecord& r) {
                std::vector<double> v;
                for (size_t i = 0; i < 7; ++i) v.push_back(At<int32_t>(r.queue, i));
                return v;
            },
            s));

        Table wp = MakeTable(id + "_work_processes", "Work processes",
                             {"No", "Type", "Process id", "Status", "CPU"},
                             {true, false, true, false, false});
        for (const WorkProcessRecord& r : in.workProcesses)
            wp.rows.push_back({FieldUtf8(r.wpNo), FieldUtf8(r.wpTyp), FieldUtf8(r.wpPid),
                               FieldUtf8(r.wpStatus), FieldUtf8(r.wpCpu)});
        sec.blocks.push_back(std::move(wp));

        Table st = MakeTable(id + "_storage", "Storage figures (as the instance reports them)",
                             {"Figure", "Value"}, {false, true});
        if (in.storage) {
            const StorageRecord& r = *in.storage;
            // Packed fields are copied out: a reference to them may be misaligned.
            const std::pair<const char*, int64_t> items[] = {
                {"DW_BSS", int64_t{r.dwBss}},
                {"DW_DATA", int64_t{r.dwData}},
                {"DW_ERROR", int64_t{r.dwError}},
                {"DW_TEXT", int64_t{r.dwText}},
                {"EXT_MEM", int64_t{r.extMem}},
                {"HEAP_AREA_TOTAL", int64_t{r.heapAreaTotal}},
                {"NUM_SHMS", int64_t{r.numShms}},
                {"PAGE_BUFSZ", int64_t{r.pageBufSz}},
                {"ROLL_AREA", int64_t{r.rollArea}},
                {"SHM_ASIZE_USED", int64_t{r.shmASizeUsed}},
                {"SHM_TOTAL", int64_t{r.shmTotal}},
                {"SHM_TOTAL_NOT_USED", int64_t{r.shmTotalNotUsed}},
                {"SHM_TOTAL_USED", int64_t{r.shmTotalUsed}},
                {"SHORT_ST", int64_t{r.shortSt}},
                {"USE_PAGING", int64_t{r.usePaging}},
                {"VMEM_SIZE", int64_t{r.vmemSize}},
                {"VMEM_SIZE_WP", int64_t{r.vmemSizeWp}},
                {"WP_ALL", int64_t{r.wpAll}},
                {"WP_NUMBER", int64_t{r.wpNumber}}};
            for (const auto& [name, value] : items) st.rows.push_back({name, Int(value)});
        }
        sec.blocks.push_back(std::move(st));

        Table pf = MakeTable(id + "_profile", "Profile parameters", {"Parameter", "Value"},
                             {false, false});
        for (const ProfileParameter& p : in.profile) pf.rows.push_back({p.name, p.value});
        pf.collapsed = true;
        sec.blocks.push_back(std::move(pf));
        out.push_back(std::move(sec));
    }
}

// ---- Workload --------------------------------------------------------

void TotalsRow(Table& t, std::string name, const StepTotals& x, uint64_t allSteps,
               int64_t allResponse) {
    t.rows.push_back({std::move(name), Int(static_cast<int64_t>(x.steps)),
                      Ratio(double(x.steps), double(allSteps)), Int(x.response),
                      Ratio(double(x.response), double(allResponse)), Average(x.response, x.steps),
                      Average(x.cpu, x.steps), Average(x.database, x.steps)});
}

const std::vector<std::string> kTotalsColumns = {"Steps",
                                                 "Steps [%]",
                                                 "Total response [ms]",
                                                 "Response [%]",
                                                 "Average response [ms]",
                                                 "Average CPU [ms]",
                                                 "Average database [ms]"};

Table TotalsTable(std::string file, std::string title, std::string first) {
    std::vector<std::string> columns{std::move(first)};
    columns.insert(columns.end(), kTotalsColumns.begin(), kTotalsColumns.end());
    std::vector<bool> numeric(columns.size(), true);
    numeric[0] = false;
    return MakeTable(std::move(file), std::move(title), std::move(columns), std::move(numeric));
}

Section WorkloadSection(const Session& s) {
    Section sec{"workload", "Workload", 2, {}};
    const Workload& w = s.workload;
    if (w.Steps() == 0) {
        sec.blocks.push_back(Paragraph{"The session holds no dialog-step records.", true});
        return sec;
    }
    const auto types = w.ByTaskType();
    Facts f;
    f.items.push_back({"Steps", Int(static_cast<int64_t>(w.Steps()))});
    f.items.push_back({"Average response", Average(w.Total().response, w.Steps()) + " ms"});
    if (w.FirstSecond() != 0)
        f.items.push_back(
            {"Steps from", FormatSecond(w.FirstSecond()) + " to " + FormatSecond(w.LastSecond())});
    if (w.StepsWithoutTime() != 0)
        f.items.push_back(
            {"Steps without a valid time", Int(static_cast<int64_t>(w.StepsWithoutTime())) +
                                               " (counted in the totals, not per minute)"});
    sec.blocks.push_back(std::move(f));
    sec.blocks.push_back(
        Paragraph{"Times as recorded by the collector: the statistics "
                  "records' response, CPU and database times in milliseconds. "
                  "A step counts in the minute it ended.",
                  false});

    // Steps per minute over the minutes the dialog-step records span, with
    // zero for a minute without steps.
    Chart perMinute;
    perMinute.file = "workload_steps_per_minute";
    perMinute.title = "Dialog steps per minute";
    perMinute.unit = "steps/min";
    perMinute.gapSeconds = 0;
    perMinute.fromSecond = s.firstSecond;
    perMinute.toSecond = s.lastSecond;
    perMinute.series.push_back("all task types");
    std::vector<uint8_t> typeOrder;
    for (const auto& [type, totals] : types) {
        perMinute.series.push_back(TaskTypeName(type));
        typeOrder.push_back(type);
    }
    const auto& minutes = w.PerMinute();
    if (!minutes.empty()) {
        const int64_t first = minutes.begin()->first, last = minutes.rbegin()->first;
        auto it = minutes.begin();
        for (int64_t m = first; m <= last; ++m) {
            std::vector<double> row(perMinute.series.size(), 0.0);
            if (it != minutes.end() && it->first == m) {
                for (const auto& [type, count] : it->second) {
                    row[0] += count;
                    const size_t k = static_cast<size_t>(
                        std::find(typeOrder.begin(), typeOrder.end(), type) - typeOrder.begin());
                    row[k + 1] += count;
                }
                ++it;
            }
            perMinute.seconds.push_back(m * 60);
            perMinute.values.push_back(std::move(row));
        }
    }
    sec.blocks.push_back(std::move(perMinute));

    Table byType = TotalsTable("workload_task_types", "By task type", "Task type");
    for (const auto& [type, totals] : types)
        TotalsRow(byType, TaskTypeName(type), totals, w.Steps(), w.Total().response);
    TotalsRow(byType, "all", w.Total(), w.Steps(), w.Total().response);
    sec.blocks.push_back(std::move(byType));

    Chart dist;
    dist.kind = Chart::Kind::Bars;
    dist.file = "workload_response_classes";
    dist.title = "Response-time distribution";
    dist.unit = "steps";
    dist.classAxis = "response time class, ms";
    dist.series = {"all task types", "DIALOG"};
    for (size_t i = 0; i < kResponseClasses; ++i) {
        dist.categories.push_back(ResponseClassLabel(i));
        dist.values.push_back({double(w.Distribution()[i]), double(w.DialogDistribution()[i])});
    }
    sec.blocks.push_back(std::move(dist));

    Table tx = TotalsTable("workload_transactions", "Top transactions by total response time",
                           "Transaction");
    for (const auto& [name, totals] : w.TopTransactions(0))
        TotalsRow(tx, name.empty() ? "(none)" : name, totals, w.Steps(), w.Total().response);
    tx.pageRows = kTopRows;
    sec.blocks.push_back(std::move(tx));
    Table rp = TotalsTable("workload_reports", "Top reports by total response time", "Report");
    for (const auto& [name, totals] : w.TopReports(0))
        TotalsRow(rp, name.empty() ? "(none)" : name, totals, w.Steps(), w.Total().response);
    rp.pageRows = kTopRows;
    sec.blocks.push_back(std::move(rp));

    Table pi = TotalsTable("workload_instances", "By instance", "Instance");
    const auto& per = w.PerInstance();
    for (size_t i = 0; i < s.instances.size(); ++i) {
        const StepTotals none;
        TotalsRow(pi, s.instances[i].name, i < per.size() ? per[i] : none, w.Steps(),
                  w.Total().response);
    }
    sec.blocks.push_back(std::move(pi));
    return sec;
}

// ---- Buffers and tables ----------------------------------------------

void BufferSections(const Session& s, std::vector<Section>& out) {
    OpenPart(out, "buffers", "Buffers and tables", s.instances.empty(),
             "The session has no instance files.");
    for (const InstanceData& in : s.instances) {
        const std::string id = "buf_" + FileNamePart(in.name);
        Section sec{id, "Instance " + in.name + ": buffers and tables", 3, {}};
        sec.blocks.push_back(Paragraph{"The state of the last quarter-hour capture.", false});
        if (in.summary) {
            const SummaryRecord& r = *in.summary;
            Facts f;
            f.items.push_back(
                {"Database hit ratio, direct reads",
                 Num(Field<double>(r.totalHitRatio, kHitRatioFields, u"DIRECT")) + " %"});
            f.items.push_back(
                {"Database hit ratio, sequential reads",
                 Num(Field<double>(r.totalHitRatio, kHitRatioFields, u"SEQUENTIAL")) + " %"});
            f.items.push_back(
                {"Database hit ratio, average",
                 Num(Field<double>(r.totalHitRatio, kHitRatioFields, u"AVERAGE")) + " %"});
            f.items.push_back(
                {"Cursor cache hit ratio, statement ids",
                 Num(Field<double>(r.cursorCacheTotal, kCursorCacheTotalFields, u"ID_HITR")) +
                     " %"});
            f.items.push_back(
                {"Cursor cache hit ratio, statements",
                 Num(Field<double>(r.cursorCacheTotal, kCursorCacheTotalFields, u"STMT_HITR")) +
                     " %"});
            sec.blocks.push_back(std::move(f));
        }

        Table buf = MakeTable(
            id + "_buffers", "Buffers",
            {"Buffer", "Hit ratio [%]", "Requests", "Hits", "Database accesses", "Swaps",
             "Allocated size", "Available size", "Used space", "Objects", "Database quality"},
            {false, true, true, true, true, true, true, true, true, true, true});
        for (const BufferStatisticRecord& r : in.buffers) {
            auto c = [&](std::u16string_view name) {
                return Int(Field<int32_t>(r.counters, kBufferCounterFields, name));
            };
            buf.rows.push_back({FieldUtf8(r.name), Num(r.hitRatio, 2), c(u"REQUEST"), c(u"HIT"),
                                c(u"DB_ACCESS"), c(u"SWAP"), c(u"ALLOC_SIZE"), c(u"AVAIL_SIZE"),
                                c(u"USED_SPACE"), c(u"ACT_OBJCTS"), Num(r.dbQuality, 2)});
        }
        sec.blocks.push_back(std::move(buf));

        // Busiest tables: the most accesses of any kind first.
        struct Busy {
            const TableStatisticRecord* r;
            double total;
        };
        std::vector<Busy> busy;
        auto n = [](const TableStatisticRecord& r, std::u16string_view name) {
            return Field<double>(r.numbers, kTableStatisticNumbers, name);
        };
        for (const TableStatisticRecord& r : in.tables)
            busy.push_back({&r, n(r, u"DIRCNT") + n(r, u"SEQCNT") + n(r, u"UPDCNT") +
                                    n(r, u"INSCNT") + n(r, u"DELCNT")});
        std::stable_sort(busy.begin(), busy.end(),
                         [](const Busy& a, const Busy& b) { return a.total > b.total; });
        Table tbl = MakeTable(id + "_tables", "Busiest tables",
                              {"Table", "Accesses", "Direct reads", "Sequential reads", "Updates",
                               "Inserts", "Deletes", "Failed", "Buffered", "Buffer state"},
                              {false, true, true, true, true, true, true, true, false, false});
        for (const Busy& b : busy) {
            const TableStatisticRecord& r = *b.r;
            const double failed = n(r, u"DIRFAIL") + n(r, u"SEQFAIL") + n(r, u"UPDFAIL") +
                                  n(r, u"INSFAIL") + n(r, u"DELFAIL");
            tbl.rows.push_back({FieldUtf8(r.tname), Num(b.total), Num(n(r, u"DIRCNT")),
                                Num(n(r, u"SEQCNT")), Num(n(r, u"UPDCNT")), Num(n(r, u"INSCNT")),
                                Num(n(r, u"DELCNT")), Num(failed), FieldUtf8(r.buf),
                                FieldUtf8(r.bufState)});
        }
        tbl.pageRows = kTopRows;
        sec.blocks.push_back(std::move(tbl));

        // Table qualities: the poorest first.
        std::vector<const TableQualityRecord*> q;
        for (const TableQualityRecord& r : in.qualities) q.push_back(&r);
        std::stable_sort(q.begin(), q.end(), [](const auto* a, const auto* b) {
            return double(a->total) < double(b->total);
        });
        Table tql = MakeTable(id + "_table_qualities", "Table qualities (poorest first)",
                              {"Table", "Direct reads", "Sequential reads", "Total"},
                              {false, true, true, true});
        for (const TableQualityRecord* r : q)
            tql.rows.push_back({FieldUtf8(r->tname), Num(r->directRead, 2),
                                Num(r->sequentialRead, 2), Num(r->total, 2)});
        tql.pageRows = kTopRows;
        sec.blocks.push_back(std::move(tql));

        Table ccs =
            MakeTable(id + "_cursor_cache", "Cursor cache per work process",
                      {"Work process", "Process id", "Statement id requests", "Statement ids found",
                       "Statement id hit ratio [%]", "Statement requests", "Statements found",
                       "Statement hit ratio [%]", "Reparses"},
                      {true, true, true, true, true, true, true, true, true});
        for (const CursorCacheRecord& r : in.cursors) {
            auto c = [&](std::u16string_view name) {
                return Field<int32_t>(r.counters, kCursorCacheFields, name);
            };
            ccs.rows.push_back({Int(c(u"WRKPROCESS")), FieldUtf8(r.wpPid), Int(c(u"SI_REQUEST")),
                                Int(c(u"SI_FOUNDS")), Ratio(c(u"SI_FOUNDS"), c(u"SI_REQUEST")),
                                Int(c(u"S_REQUEST")), Int(c(u"S_FOUNDS")),
                                Ratio(c(u"S_FOUNDS"), c(u"S_REQUEST")), Int(c(u"S_REPARSES"))});
        }
        sec.blocks.push_back(std::move(ccs));
        out.push_back(std::move(sec));
    }
}

}  // namespace

Report BuildReport(const Session& s) {
    Report r;
    r.title = "Session " + s.name + (s.system.sid.empty() ? "" : " of system " + s.system.sid);
    r.sections.push_back(SessionSection(s));
    r.sections.push_back(SystemSection(s));
    HostSections(s, r.sections);
    InstanceSections(s, r.sections);
    r.sections.push_back(WorkloadSection(s));
    BufferSections(s, r.sections);
    return r;
}

namespace {

ReductionResult WriteReduction(const Session& session, const std::string& outDir) {
    const Report report = BuildReport(session);
    ReductionResult result;
    result.files = WriteReportFiles(report, outDir);
    result.reportPath = outDir + "/report.html";
    result.notes = session.notes.size();
    result.dialogSteps = session.workload.Steps();
    return result;
}

}  // namespace

ReductionResult ReduceSession(const std::string& folder, const Progress& progress) {
    const Session session = ReadSession(folder, progress);
    return WriteReduction(session, session.folder);
}

ReductionResult ReduceSpan(const std::vector<std::string>& folders, const std::string& outDir,
                           const Progress& progress) {
    namespace fs = std::filesystem;
    std::error_code error;
    for (const std::string& folder : folders)
        if (fs::equivalent(folder, outDir, error))
            throw std::runtime_error(outDir +
                                     " is one of the session folders; the report of a "
                                     "span goes to a folder of its own");
    const Session session = ReadSpan(folders, progress);
    fs::create_directories(outDir, error);
    if (error) throw std::runtime_error(outDir + ": cannot create: " + error.message());
    return WriteReduction(session, outDir);
}

}  // namespace pellamy
