// The description of one simulated R/3 system: identity and releases, the
// database, clients, users with their passwords and missing authorisations,
// the application servers, and the faults to play. Read from JSON
// (README.md describes the format); an embedded default needs no file.
//
// Thread rules: plain values; a running system only reads its scenario.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace r3sim {

struct MissingAuthorization {
    std::string object;
    std::string field;  // empty: every check of the object fails
    std::string value;  // empty: every value of the field fails
};

struct UserSpec {
    std::string name;
    std::string password;
    std::vector<std::string> clients;  // empty: every client
    bool locked = false;
    std::vector<MissingAuthorization> missingAuthorizations;
};

struct ClientSpec {
    std::string number;
    std::string text;
};

struct ServerSpec {
    std::string name;  // e.g. qashost1_QAS_00
    std::string host;
    int systemNumber = 0;
    std::vector<std::string> services;
    bool down = false;           // not listening at all
    bool refuseLogons = false;   // listening, every logon refused
    int clockOffsetSeconds = 0;  // the server's clock against ours
    // Mean dialog steps a minute of its workload statistics, over a daily
    // wave; empty: about 70 on a dialog server, a quarter of that elsewhere.
    std::optional<double> dialogStepsPerMinute;
    // Minutes after the system's start when the instance starts and stops;
    // outside that window it is stopped (see ServerPresence.h).
    int joinsAfterMinutes = 0;
    std::optional<int> leavesAfterMinutes;  // empty: runs to the end
};

// kEndless: the reply's table pieces come again and again, without end;
// kTrickle: the reply goes out one byte every delayMs (100 ms when 0).
enum class FaultAction { kDelay, kDrop, kHang, kGarbage, kRaise, kFail, kEndless, kTrickle };

struct FaultSpec {
    std::string module;     // the calls of a module, or
    std::string structure;  // the definition queries of a structure
    std::string server;     // empty: every server
    int times = 0;          // only the first times calls or queries; 0: every one
    FaultAction action = FaultAction::kDelay;
    int delayMs = 0;
    std::string exception;  // for kRaise
    std::string message;    // for kRaise and kFail
};

struct DatabaseSpec {
    std::string system = "ORA";  // DBSYSTEM of DB_DBSYS_RELEASE
    std::string release = "10.2.0";
    std::string kind;     // RFCDBSYS: ORACLE, QUILLET, DB4, ...; empty: from system
    std::string version;  // VERSION of DB_ORA_MAIN_LIST; empty: release
    // Space figures as the database monitor reports them: ORACLE TASI/TISI,
    // QUILLET TBSIZE/IXSIZE/IXFREE, DB4 TAB_SIZE/CST_SIZE/IDX_SIZE.
    int64_t tableBytes = 0;
    int64_t indexBytes = 0;
    int64_t indexFreeBytes = 0;
    int64_t constraintBytes = 0;
};

// RFCDBSYS of the database: its kind, or ORACLE for ORA, QUILLET for QUI,
// else the DBSYSTEM.
std::string DatabaseKind(const DatabaseSpec& database);

// The lines of OCS_GET_INFO: installed components, add-ons and patches.
struct ComponentSpec {
    std::string name, release, level, text;
};
struct AddonSpec {
    std::string id, release, level, text;
};
struct PatchSpec {
    std::string name, text, component;
    std::string date;  // YYYYMMDD
    std::string time;  // HHMMSS
};
struct SoftwareSpec {
    bool given = false;  // false: the standard components and patches of the release
    std::vector<ComponentSpec> components;
    std::vector<AddonSpec> addons;
    std::vector<PatchSpec> patches;
};

// saposcol's view of one disk or file system of a host.
struct DiskSpec {
    std::string name;                      // DISKNAME as saposcol reports it
    std::map<std::string, int64_t> fixed;  // T_TF_DISK_SINGLE field -> value held still
};

struct FileSystemSpec {
    std::string name;
    int64_t capacityKB = 0;
};

// A computer whose saposcol the system reads: an application server's host
// or a standalone database server behind a destination. Hosts not listed
// get the defaults below.
struct HostSpec {
    std::string host;
    std::string operatingSystem;      // RFCOPSYS; empty: the scenario's
    std::string operatingSystemText;  // E_FP_OPSYSTEM; empty: operatingSystem and a version
    bool saposcol = true;             // false: the collector is not running there
    int cpus = 4;
    int64_t memoryKB = 8388608;
    int64_t swapKB = 4194304;
    std::string hardwareDescrFile = "/usr/sap/tmp/hwinfo.txt";  // empty: none
    std::string lastCollectorWrite;        // E_FP_LASTCOLLWRT; empty: from the clock
    std::map<std::string, int64_t> fixed;  // CPU, memory and paging fields held still
    std::vector<DiskSpec> disks;
    std::vector<FileSystemSpec> fileSystems;
    int processes = 8;  // rows of T_TF_TOP_SINGLE
};

// An RFC destination that leads to the saposcol of a standalone database
// server.
struct DestinationSpec {
    std::string name;
    std::string host;     // the HostSpec whose figures it delivers
    std::string mode;     // the I_LOCAL_REMOTE it accepts; default INTERN for SAPCCMSR
    bool answers = true;  // false: every call through it fails after delayMs
    int delayMs = 0;
    std::string clavernReply;  // E_REQUEST_PARAM1 of the clavern member request
};

struct Scenario {
    std::string systemId = "QAS";
    uint64_t seed = 1;  // every evolving figure derives from it
    std::string release = "700";
    std::string partnerRelease = "700";  // may be empty: the attributes then carry none
    std::string kernelRelease = "700";
    bool unicode = true;
    std::string operatingSystem = "Linux";
    std::string dateFormat = "DD.MM.YYYY";
    std::string decimalSign = ",";
    DatabaseSpec database;
    std::vector<std::string> languages = {"EN"};  // ISO codes; the first is the default
    std::vector<ClientSpec> clients;
    std::vector<UserSpec> users;
    std::vector<std::string> missingObjects;
    std::vector<ServerSpec> servers;
    std::vector<FaultSpec> faults;
    std::vector<HostSpec> hosts;
    std::vector<DestinationSpec> destinations;
    SoftwareSpec software;
};

// Every application server's host has a loopback address of its own, in the
// order the hosts first appear among the servers (names compared without
// regard to case): 127.0.0.1, 127.0.0.2, ... 127.0.0.254, 127.0.1.1, ...
// Servers on different hosts may so share a system number. Empty for a host
// that has no server.
std::string LoopbackAddress(const Scenario& scenario, const std::string& host);

// The host as listed, or one with the defaults (operating system filled in).
HostSpec HostOf(const Scenario& scenario, const std::string& host);
// nullptr for a destination the system does not know.
const DestinationSpec* FindDestination(const Scenario& scenario, const std::string& name);

class ScenarioError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Throws ScenarioError naming the offending member.
Scenario ParseScenario(const std::string& json);
Scenario LoadScenarioFile(const std::string& path);

// The embedded default scenario, as JSON and parsed.
const std::string& DefaultScenarioJson();
Scenario DefaultScenario();

}  // namespace r3sim
