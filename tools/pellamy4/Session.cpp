#include "tools/pellamy4/Session.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

namespace pellamy {

using namespace instrec;

namespace {

// The files an instance thread writes, by extension.
constexpr std::array<std::string_view, 11> kInstanceExtensions = {
    ".mem", ".drq", ".wp", ".stg", ".pfl", ".sum", ".tbl", ".buf", ".tql", ".ccs", ".dss"};
// The per-host files named after the host (disk files are matched apart).
constexpr std::array<std::string_view, 4> kHostExtensions = {".cpu", ".ps", ".hw", ".env"};
constexpr std::array<std::string_view, 5> kControlFiles = {"instance.ctl", "host.ctl", "disk.ctl",
                                                           "system.ctl", "pc.ctl"};
constexpr std::array<std::string_view, 3> kOtherExtensions = {".dsk", ".cmp", ".ptc"};

bool Finite(const double* values, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        double v;
        std::memcpy(&v, values + i, sizeof v);
        if (!std::isfinite(v)) return false;
    }
    return true;
}

bool Percent(int32_t v) {
    return v >= 0 && v <= 100;
}

bool TimeOrZero(double ole) {
    return ole == 0.0 || PlausibleTime(ole);
}

// The layout checks: a record that fails one is not of its file's kind.
bool Fits(const ControlRecord& r) {
    return WellFormedText(r.name) && r.name[0] != 0 && WellFormedText(r.host) &&
           WellFormedText(r.rfcSysId) && WellFormedText(r.rfcSapRl);
}
bool Fits(const HostControlRecord& r) {
    return WellFormedText(r.name) && r.name[0] != 0 && WellFormedText(r.opSys) &&
           WellFormedText(r.vendor);
}
bool Fits(const DiskControlRecord& r) {
    return WellFormedText(r.host) && r.host[0] != 0 && WellFormedText(r.diskName);
}
bool Fits(const MemoryRecord& r) {
    return PlausibleTime(r.time);
}
bool Fits(const RequestQueueRecord& r) {
    return PlausibleTime(r.time);
}
bool Fits(const HostCpuRecord& r) {
    return PlausibleTime(r.time) && Percent(r.cpuBusyPercent) && Percent(r.memoryUsedPercent) &&
           Percent(r.swapUsedPercent) && Percent(r.diskUtilAverage);
}
bool Fits(const HostDiskRecord& r) {
    return PlausibleTime(r.time) && Percent(r.utilisation);
}
bool Fits(const WorkProcessRecord& r) {
    return WellFormedText(r.wpNo) && WellFormedText(r.wpTyp) && WellFormedText(r.wpPid) &&
           WellFormedText(r.wpStatus) && WellFormedText(r.wpCpu);
}
bool Fits(const TableStatisticRecord& r) {
    return WellFormedText(r.tname) && WellFormedText(r.rname) && Finite(r.numbers, 45);
}
bool Fits(const BufferStatisticRecord& r) {
    const double ratios[2] = {r.hitRatio, r.dbQuality};
    return WellFormedText(r.name) && WellFormedText(r.upTime) && Finite(ratios, 2);
}
bool Fits(const TableQualityRecord& r) {
    const double q[3] = {r.directRead, r.sequentialRead, r.total};
    return WellFormedText(r.tname) && Finite(q, 3);
}
bool Fits(const CursorCacheRecord& r) {
    return WellFormedText(r.wpPid);
}
bool Fits(const tagPS_STAT& r) {
    return r.procId >= 0 && r.residentSize >= 0 && WellFormedText(r.userName) &&
           WellFormedText(r.command) && WellFormedText(r.cpuTime);
}
bool Fits(const SummaryRecord& r) {
    return Finite(r.dbAccesses, 5) && Finite(r.cursorCacheTotal, 14) &&
           Finite(r.totalDurations, 5) && Finite(r.totalHitRatio, 3) &&
           Finite(r.totalOperations, 4) && Finite(r.totalRows, 5);
}
bool Fits(const StorageRecord&) {
    return true;
}
bool Fits(const SystemControlRecord& r) {
    return WellFormedText(r.systemId) && r.systemId[0] != 0 && WellFormedText(r.sapRelease) &&
           WellFormedText(r.dbSystem) && WellFormedText(r.dbVersion);
}
bool Fits(const PcControlRecord& r) {
    return WellFormedText(r.operatingSystem) && WellFormedText(r.processor) && r.memoryLoad <= 100;
}
bool Fits(const ComponentRecord& r) {
    return WellFormedText(r.component) && r.component[0] != 0 && WellFormedText(r.release) &&
           WellFormedText(r.extendedRelease) && WellFormedText(r.addon);
}
// A patch whose date names no moment has the time 0.
bool Fits(const PatchRecord& r) {
    return (r.time == 0.0 || (r.time > 0.0 && r.time < kLastPlausibleOle)) &&
           WellFormedText(r.name) && WellFormedText(r.text);
}
bool Fits(const DialogStepRecord& r) {
    return TimeOrZero(r.start) && TimeOrZero(r.end) && WellFormedText(r.account) &&
           WellFormedText(r.tcode) && WellFormedText(r.report);
}

template <typename Record>
std::vector<Record> Read(const SessionFolder& folder, const std::string& name,
                         const std::string& kind, Notes& notes, bool required = true,
                         bool emptyIsNormal = false) {
    return ReadRecordFile<Record>(
        folder, name, kind, [](const Record& r) { return Fits(r); }, notes, required,
        emptyIsNormal);
}

// A file of one record: the first whole record that fits; more than one is
// noted, as is a file of the wrong size.
template <typename Record>
std::optional<Record> ReadSingle(const SessionFolder& folder, const std::string& name,
                                 const std::string& kind, Notes& notes) {
    std::vector<Record> records = Read<Record>(folder, name, kind, notes);
    if (records.empty()) return std::nullopt;
    if (records.size() > 1)
        notes.push_back({name, "holds " + std::to_string(records.size()) + " records where one " +
                                   "is written; the first is used"});
    return records.front();
}

std::string Stem(const std::string& name) {
    return name.substr(0, name.rfind('.'));
}

// A host.ctl name is cut to 20 characters, the file names are not: a file
// stem belongs to the name when it is the name, or begins with a name that
// fills the whole field.
bool StemOfName(const std::string& stem, const std::string& name, const char16_t (&field)[20]) {
    if (stem == name) return true;
    return field[19] != 0 && stem.starts_with(name);
}

// The destination of a remote host "DEST(SYS)": its disk files carry the
// destination alone.
std::string DiskOwner(const std::string& hostName) {
    if (hostName.ends_with(")")) {
        const size_t open = hostName.rfind('(');
        if (open != std::string::npos && open > 0) return hostName.substr(0, open);
    }
    return hostName;
}

void ReadProfile(const SessionFolder& folder, InstanceData& instance, Notes& notes) {
    const std::string name = instance.name + ".pfl";
    if (!folder.Has(name)) {
        notes.push_back({name, "missing: no profile listing in the session"});
        return;
    }
    std::vector<unsigned char> bytes;
    if (!ReadBytes(folder, name, notes, bytes)) return;
    size_t unfit = 0;
    for (const std::string& line : ListingLines(bytes)) {
        const size_t eq = line.find(" = ");
        if (eq == std::string::npos || eq == 0) {
            if (!line.empty()) ++unfit;
            continue;
        }
        instance.profile.push_back({line.substr(0, eq), line.substr(eq + 3)});
    }
    if (instance.profile.empty() && unfit == 0)
        notes.push_back({name, "empty: the profile listing holds no parameters"});
    else if (instance.profile.empty())
        notes.push_back({name, "not a profile listing: none of its lines reads \"name = value\""});
    else if (unfit != 0)
        notes.push_back({name, std::to_string(unfit) + " lines without \"name = value\" are left "
                                                       "out"});
}

void ReadListing(const SessionFolder& folder, const std::string& name,
                 std::vector<std::string>& lines, Notes& notes) {
    if (!folder.Has(name)) return;  // not every host delivers one
    std::vector<unsigned char> bytes;
    if (ReadBytes(folder, name, notes, bytes)) lines = ListingLines(bytes);
}

class Reader {
  public:
    Reader(const std::string& path, const Progress& progress, SpanWorkload* span = nullptr)
        : folder_(path), progress_(progress), span_(span) {}

    Session Run() {
        session_.folder = folder_.Path();
        session_.name = std::filesystem::path(folder_.Path()).filename().string();
        for (const std::string& name : folder_.Names())
            session_.files.emplace_back(name, folder_.SizeOf(name));
        if (!IsSession())
            throw NotASession(folder_.Path() +
                              " is not a session folder: it holds none of the collector's "
                              "files (instance.ctl, host.ctl, system.ctl, pc.ctl and the data "
                              "files named after instances and hosts)");
        ReadSystem();
        ReadInstances();
        ReadHosts();
        FindTimeRange();
        return std::move(session_);
    }

  private:
    bool IsSession() const {
        for (std::string_view name : kControlFiles) {
            if (folder_.Has(std::string(name))) return true;
        }
        for (const std::string& name : folder_.Names()) {
            const std::string_view ext =
                std::string_view(name).substr(std::min(name.rfind('.'), name.size()));
            auto known = [&](const auto& list) {
                return std::find(list.begin(), list.end(), ext) != list.end();
            };
            if (known(kInstanceExtensions) || known(kHostExtensions) || known(kOtherExtensions))
                return true;
        }
        return false;
    }

    void ReadSystem() {
        SystemFacts& s = session_.system;
        Notes& notes = session_.notes;
        s.control = ReadSingle<SystemControlRecord>(folder_, "system.ctl", "system summary", notes);
        s.pc = ReadSingle<PcControlRecord>(folder_, "pc.ctl", "workstation file", notes);
        if (s.control) {
            s.sid = FieldUtf8(s.control->systemId);
            s.release = FieldUtf8(s.control->sapRelease);
            s.database = FieldUtf8(s.control->dbSystem);
        }
        const size_t dot = session_.name.find('.');
        if (s.sid.empty() && dot != std::string::npos) s.sid = session_.name.substr(dot + 1);
        NoteUnfinishedSession();
        s.components =
            Read<ComponentRecord>(folder_, SystemFile(".cmp"), "component file", notes, true, true);
        s.patches = Read<PatchRecord>(folder_, SystemFile(".ptc"), "patch file", notes, true, true);
    }

    // The collector marks a folder it writes and removes the mark when it
    // stops cleanly; a mark found by the next start becomes ".unfinished".
    void NoteUnfinishedSession() {
        for (const std::string& name : folder_.WithExtension(".unfinished"))
            session_.notes.push_back(
                {name,
                 "the session ended uncleanly (a crash, a kill or a power cut): its last "
                 "dialog steps were read again by the next session, in its own folder"});
        for (const std::string& name : folder_.WithExtension(".run"))
            session_.notes.push_back(
                {name,
                 "the collector had not closed this folder: it is still being written, or "
                 "it ended uncleanly and has not been started again"});
    }

    // "<SID>.cmp" and "<SID>.ptc"; without a known system id, the one file
    // of the kind in the folder.
    std::string SystemFile(std::string_view extension) const {
        const std::string own = session_.system.sid + std::string(extension);
        if (!session_.system.sid.empty() && folder_.Has(own)) return own;
        const std::vector<std::string> found = folder_.WithExtension(extension);
        if (found.size() == 1) return found.front();
        return session_.system.sid.empty() ? "<SID>" + std::string(extension) : own;
    }

    void ReadInstances() {
        Notes& notes = session_.notes;
        std::set<std::string> named;
        for (const ControlRecord& r :
             Read<ControlRecord>(folder_, "instance.ctl", "instance control file", notes)) {
            const std::string name = FieldUtf8(r.name);
            if (!named.insert(name).second) continue;  // added once; a repeat changes nothing
            InstanceData instance;
            instance.name = name;
            instance.control = r;
            session_.instances.push_back(std::move(instance));
        }
        // Data files of instances without a control record.
        std::set<std::string> orphans;
        for (std::string_view ext : kInstanceExtensions) {
            for (const std::string& file : folder_.WithExtension(ext)) {
                const std::string stem = Stem(file);
                if (!named.count(stem)) orphans.insert(stem);
            }
        }
        for (const std::string& stem : orphans) {
            notes.push_back({"instance.ctl", "no record for the instance " + stem +
                                                 ", whose files are in the folder"});
            InstanceData instance;
            instance.name = stem;
            session_.instances.push_back(std::move(instance));
        }
        for (size_t i = 0; i < session_.instances.size(); ++i) ReadInstance(i);

        if (!session_.instances.empty() && session_.instances.front().control) {
            const ControlRecord& c = *session_.instances.front().control;
            SystemFacts& s = session_.system;
            if (s.sid.empty()) s.sid = FieldUtf8(c.rfcSysId);
            if (s.release.empty()) s.release = FieldUtf8(c.rfcSapRl);
            if (s.database.empty()) s.database = FieldUtf8(c.rfcDbSys);
            s.databaseHost = FieldUtf8(c.rfcDbHost);
            s.kernel = FieldUtf8(c.kernRel);
            const std::string patch = FieldUtf8(c.kernPatchLevel);
            if (!patch.empty()) s.kernel += " patch level " + patch;
        }
    }

    void ReadInstance(size_t index) {
        InstanceData& in = session_.instances[index];
        Notes& notes = session_.notes;
        const std::string& n = in.name;
        in.memory = Read<MemoryRecord>(folder_, n + ".mem", "memory time series", notes);
        in.queues =
            Read<RequestQueueRecord>(folder_, n + ".drq", "request-queue time series", notes);
        in.workProcesses = Read<WorkProcessRecord>(folder_, n + ".wp", "work-process file", notes);
        in.storage = ReadSingle<StorageRecord>(folder_, n + ".stg", "storage file", notes);
        ReadProfile(folder_, in, notes);
        in.summary = ReadSingle<SummaryRecord>(folder_, n + ".sum", "summary file", notes);
        in.tables = Read<TableStatisticRecord>(folder_, n + ".tbl", "table-statistics file", notes,
                                               true, true);
        in.buffers = Read<BufferStatisticRecord>(folder_, n + ".buf", "buffer-statistics file",
                                                 notes, true, true);
        in.qualities =
            Read<TableQualityRecord>(folder_, n + ".tql", "table-quality file", notes, true, true);
        in.cursors =
            Read<CursorCacheRecord>(folder_, n + ".ccs", "cursor-cache file", notes, true, true);
        ReadDialogSteps(index);
    }

    void ReadDialogSteps(size_t folderIndex) {
        // Across a span, an instance's steps count under its place in the span.
        const size_t index =
            span_ ? span_->IndexOf(session_.instances[folderIndex].name) : folderIndex;
        const std::string name = session_.instances[folderIndex].name + ".dss";
        Notes& notes = session_.notes;
        if (!folder_.Has(name)) {
            notes.push_back({name, "missing: no dialog-step file in the session"});
            return;
        }
        Workload& workload = span_ ? span_->workload : session_.workload;
        StreamCounts counts;
        try {
            counts = StreamRecords(
                folder_.PathOf(name), sizeof(DialogStepRecord),
                [&](const unsigned char* bytes) {
                    DialogStepRecord r;
                    std::memcpy(&r, bytes, sizeof r);
                    if (!Fits(r)) return false;
                    workload.Add(r, index);
                    return true;
                },
                [&](uint64_t done, uint64_t total) {
                    if (progress_) progress_(name, done, total);
                });
        } catch (const std::exception& e) {
            notes.push_back({name, std::string("unreadable: ") + e.what()});
            return;
        }
        NoteRecordFile(name, "dialog-step file", sizeof(DialogStepRecord), counts.records,
                       counts.unfit, counts.tailBytes, true, notes);
    }

    void ReadHosts() {
        Notes& notes = session_.notes;
        std::set<std::string> claimed;  // file stems that belong to a host
        std::set<std::string> stems;
        for (std::string_view ext : kHostExtensions) {
            for (const std::string& file : folder_.WithExtension(ext)) stems.insert(Stem(file));
        }
        std::set<std::string> named;
        for (const HostControlRecord& r :
             Read<HostControlRecord>(folder_, "host.ctl", "host control file", notes)) {
            const std::string name = FieldUtf8(r.name);
            if (!named.insert(name).second) continue;
            HostData host;
            host.name = name;
            host.control = r;
            // The files of a name cut to the field's width carry the whole name.
            for (const std::string& stem : stems) {
                if (stem != name && StemOfName(stem, name, r.name) && !claimed.count(stem)) {
                    host.name = stem;
                    break;
                }
            }
            claimed.insert(host.name);
            session_.hosts.push_back(std::move(host));
        }
        for (const std::string& stem : stems) {
            if (claimed.count(stem)) continue;
            notes.push_back(
                {"host.ctl", "no record for the host " + stem + ", whose files are in the folder"});
            HostData host;
            host.name = stem;
            claimed.insert(stem);
            session_.hosts.push_back(std::move(host));
        }
        for (HostData& host : session_.hosts) {
            const std::string& n = host.name;
            host.cpu = Read<HostCpuRecord>(folder_, n + ".cpu", "CPU time series", notes);
            host.processes =
                Read<tagPS_STAT>(folder_, n + ".ps", "top-process file", notes, true, true);
            ReadListing(folder_, n + ".hw", host.hardware, notes);
            ReadListing(folder_, n + ".env", host.environment, notes);
        }
        ReadDisks();
    }

    // Disk files are "<host>_<disk>.dsk"; disk.ctl names the disks of each
    // host, and a file it does not name goes to the host with the longest
    // name before the underscore.
    void ReadDisks() {
        Notes& notes = session_.notes;
        std::vector<DiskControlRecord> listed;
        if (folder_.Has("disk.ctl"))
            listed = Read<DiskControlRecord>(folder_, "disk.ctl", "disk control file", notes);
        std::set<std::string> files;
        for (const std::string& f : folder_.WithExtension(".dsk")) files.insert(f);
        std::map<std::string, std::vector<std::string>> expected;  // owner -> disk names
        for (const DiskControlRecord& r : listed)
            expected[FieldUtf8(r.host)].push_back(FieldUtf8(r.diskName));

        for (HostData& host : session_.hosts) {
            const std::string owner = DiskOwner(host.name);
            std::string key = owner.substr(0, std::min<size_t>(owner.size(), 20));
            if (auto it = expected.find(key); it != expected.end()) {
                for (const std::string& disk : it->second) {
                    const std::string file = owner + "_" + disk + ".dsk";
                    if (!files.count(file)) {
                        notes.push_back({file, "missing: disk.ctl lists the disk " + disk + " of " +
                                                   owner + " but its file is not there"});
                        continue;
                    }
                    files.erase(file);
                    AddDisk(host, disk, file);
                }
                expected.erase(it);
            }
        }
        for (const std::string& file : files) {
            HostData* best = nullptr;
            size_t bestLength = 0;
            for (HostData& host : session_.hosts) {
                const std::string owner = DiskOwner(host.name) + "_";
                if (file.starts_with(owner) && owner.size() > bestLength) {
                    best = &host;
                    bestLength = owner.size();
                }
            }
            if (best == nullptr) {
                notes.push_back({file, "a disk file of no host in the session; not used"});
                continue;
            }
            AddDisk(*best, Stem(file).substr(bestLength), file);
        }
    }

    void AddDisk(HostData& host, const std::string& disk, const std::string& file) {
        DiskData d;
        d.name = disk;
        d.records = Read<HostDiskRecord>(folder_, file, "disk time series", session_.notes);
        host.disks.push_back(std::move(d));
    }

    void FindTimeRange() {
        int64_t first = 0, last = 0;
        auto see = [&](double ole) {
            const int64_t s = OleSeconds(ole);
            if (first == 0 || s < first) first = s;
            if (s > last) last = s;
        };
        for (const InstanceData& in : session_.instances) {
            for (const MemoryRecord& r : in.memory) see(r.time);
            for (const RequestQueueRecord& r : in.queues) see(r.time);
        }
        for (const HostData& h : session_.hosts) {
            for (const HostCpuRecord& r : h.cpu) see(r.time);
            for (const DiskData& d : h.disks) {
                for (const HostDiskRecord& r : d.records) see(r.time);
            }
        }
        const Workload& w = span_ ? span_->workload : session_.workload;
        if (w.FirstSecond() != 0 && !span_) {
            if (first == 0 || w.FirstSecond() < first) first = w.FirstSecond();
            last = std::max(last, w.LastSecond());
        }
        session_.firstSecond = first;
        session_.lastSecond = last;
    }

    SessionFolder folder_;
    const Progress& progress_;
    SpanWorkload* span_;
    Session session_;
};

}  // namespace

size_t SpanWorkload::IndexOf(const std::string& instance) {
    const auto found = std::find(instances.begin(), instances.end(), instance);
    if (found != instances.end()) return static_cast<size_t>(found - instances.begin());
    instances.push_back(instance);
    return instances.size() - 1;
}

Session ReadSession(const std::string& folder, const Progress& progress) {
    return ReadSession(folder, progress, nullptr);
}

Session ReadSession(const std::string& folder, const Progress& progress, SpanWorkload* span) {
    std::error_code error;
    if (!std::filesystem::exists(folder, error))
        throw NotASession(folder + " is not a session folder: no such folder");
    if (!std::filesystem::is_directory(folder, error))
        throw NotASession(folder + " is not a session folder: it is not a folder");
    // The folder's own name ("12061507.PRD") also for "." or a trailing separator.
    const std::filesystem::path absolute = std::filesystem::weakly_canonical(folder, error);
    return Reader(error ? folder : absolute.string(), progress, span).Run();
}

}  // namespace pellamy
