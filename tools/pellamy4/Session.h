// A session folder read into memory for the report: the system, every
// instance and host with its files, the reduced workload of the dialog
// steps, the session's time range and a note for every file that could not
// be used as it stands. Instances and hosts are those of the control files
// and, beside them, any whose data files lie in the folder without a
// control record.
//
// The packed records held one by one are aligned (alignas(8)), so that
// their fields sit where their types want them.
//
// Plain data; built once by ReadSession, then only read.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "collect/records/HostRecords.h"
#include "collect/records/InstanceRecords.h"
#include "collect/records/SystemRecords.h"
#include "tools/pellamy4/SessionFiles.h"
#include "tools/pellamy4/Workload.h"

namespace pellamy {

struct ProfileParameter {
    std::string name, value;
};

struct InstanceData {
    std::string name;
    alignas(8) std::optional<instrec::ControlRecord> control;
    std::vector<instrec::MemoryRecord> memory;
    std::vector<instrec::RequestQueueRecord> queues;
    std::vector<instrec::WorkProcessRecord> workProcesses;
    alignas(8) std::optional<instrec::StorageRecord> storage;
    std::vector<ProfileParameter> profile;
    alignas(8) std::optional<instrec::SummaryRecord> summary;
    std::vector<instrec::TableStatisticRecord> tables;
    std::vector<instrec::BufferStatisticRecord> buffers;
    std::vector<instrec::TableQualityRecord> qualities;
    std::vector<instrec::CursorCacheRecord> cursors;
};

struct DiskData {
    std::string name;  // the cleaned disk name of the file
    std::vector<HostDiskRecord> records;
};

struct HostData {
    std::string name;  // as host.ctl names it, or the file name without one
    alignas(8) std::optional<HostControlRecord> control;
    std::vector<HostCpuRecord> cpu;
    std::vector<DiskData> disks;
    std::vector<tagPS_STAT> processes;
    std::vector<std::string> hardware, environment;
};

// What the report knows of the system as a whole.
struct SystemFacts {
    std::string sid;           // system.ctl's RFCSYSID, else the folder name's, else instance.ctl's
    std::string release;       // RFCSAPRL of system.ctl, else of instance.ctl
    std::string database;      // RFCDBSYS
    std::string databaseHost;  // of instance.ctl
    std::string kernel;        // the first instance's kernel release and patch level
    alignas(8) std::optional<SystemControlRecord> control;
    alignas(8) std::optional<PcControlRecord> pc;
    std::vector<ComponentRecord> components;
    std::vector<PatchRecord> patches;
};

struct Session {
    std::string folder;  // as given, without a trailing separator
    std::string name;    // the folder's own name ("12061507.PRD")
    SystemFacts system;
    std::vector<InstanceData> instances;
    std::vector<HostData> hosts;
    Workload workload;
    Notes notes;
    // The session's time range over every time-stamped record, OleSeconds;
    // both 0 when no record carries a time.
    int64_t firstSecond = 0, lastSecond = 0;
    // Every file of the folder with its size, in name order.
    std::vector<std::pair<std::string, uint64_t>> files;
};

// A folder that holds none of the collector's files.
class NotASession : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Progress of the long steps: what is being read, bytes done of total.
using Progress = std::function<void(const std::string& what, uint64_t done, uint64_t total)>;

// Reads the session folder. Throws NotASession for a folder without any
// collector file and std::runtime_error when the folder cannot be listed;
// every problem with a single file becomes a note instead.
Session ReadSession(const std::string& folder, const Progress& progress = {});

// The workload of several folders read one after the other: every folder's
// dialog steps go into one aggregate, each instance under one index
// whatever folder it is read from.
struct SpanWorkload {
    Workload workload;
    std::vector<std::string> instances;  // by index
    size_t IndexOf(const std::string& instance);
};
// As above, the dialog steps into span (the folder's own workload stays
// empty, and its time range is that of its other records).
Session ReadSession(const std::string& folder, const Progress& progress, SpanWorkload* span);

}  // namespace pellamy
