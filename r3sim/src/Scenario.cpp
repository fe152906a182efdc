#include "r3sim/Scenario.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

namespace r3sim {
namespace {

using nlohmann::json;

[[noreturn]] void Bad(const std::string& where, const std::string& what) {
    throw ScenarioError("scenario: " + where + ": " + what);
}

void CheckKnown(const json& object, const std::string& where, const std::set<std::string>& keys) {
    if (!object.is_object()) Bad(where, "must be an object");
    for (const auto& [key, value] : object.items())
        if (!keys.count(key)) Bad(where, "unknown member \"" + key + "\"");
}

std::string Text(const json& object, const std::string& key, const std::string& where,
                 const std::string& fallback) {
    if (!object.contains(key)) return fallback;
    if (!object[key].is_string()) Bad(where + "." + key, "must be a string");
    return object[key].get<std::string>();
}

bool Flag(const json& object, const std::string& key, const std::string& where, bool fallback) {
    if (!object.contains(key)) return fallback;
    if (!object[key].is_boolean()) Bad(where + "." + key, "must be true or false");
    return object[key].get<bool>();
}

int Number(const json& object, const std::string& key, const std::string& where, int fallback,
           int minimum, int maximum) {
    if (!object.contains(key)) return fallback;
    if (!object[key].is_number_integer()) Bad(where + "." + key, "must be an integer");
    const long long value = object[key].get<long long>();
    if (value < minimum || value > maximum)
        Bad(where + "." + key,
            "must be between " + std::to_string(minimum) + " and " + std::to_string(maximum));
    return static_cast<int>(value);
}

std::optional<double> Real(const json& object, const std::string& key, const std::string& where,
                           double minimum, double maximum) {
    if (!object.contains(key)) return std::nullopt;
    if (!object[key].is_number()) Bad(where + "." + key, "must be a number");
    const double value = object[key].get<double>();
    if (!(value >= minimum && value <= maximum))
        Bad(where + "." + key, "must be between " + std::to_string(static_cast<int>(minimum)) +
                                   " and " + std::to_string(static_cast<int>(maximum)));
    return value;
}

std::vector<std::string> Texts(const json& object, const std::string& key,
                               const std::string& where) {
    std::vector<std::string> out;
    if (!object.contains(key)) return out;
    if (!object[key].is_array()) Bad(where + "." + key, "must be an array of strings");
    for (const auto& item : object[key]) {
        if (!item.is_string()) Bad(where + "." + key, "must be an array of strings");
        out.push_back(item.get<std::string>());
    }
    return out;
}

const json& Array(const json& object, const std::string& key, const std::string& where) {
    static const json empty = json::array();
    if (!object.contains(key)) return empty;
    if (!object[key].is_array()) Bad(where + "." + key, "must be an array");
    return object[key];
}

FaultAction ActionOf(const std::string& text, const std::string& where) {
    if (text == "delay") return FaultAction::kDelay;
    if (text == "drop") return FaultAction::kDrop;
    if (text == "hang") return FaultAction::kHang;
    if (text == "garbage") return FaultAction::kGarbage;
    if (text == "raise") return FaultAction::kRaise;
    if (text == "fail") return FaultAction::kFail;
    if (text == "endless") return FaultAction::kEndless;
    if (text == "trickle") return FaultAction::kTrickle;
    Bad(where, "unknown action \"" + text +
                   "\" (delay, drop, hang, garbage, raise, fail, endless, trickle)");
}

int64_t Number64(const json& object, const std::string& key, const std::string& where,
                 int64_t fallback) {
    if (!object.contains(key)) return fallback;
    if (!object[key].is_number_integer()) Bad(where + "." + key, "must be an integer");
    return object[key].get<int64_t>();
}

// Figures held still: field names of the saposcol tables with 32-bit values.
std::map<std::string, int64_t> Fixed(const json& object, const std::string& where) {
    std::map<std::string, int64_t> out;
    if (!object.contains("fixed")) return out;
    const json& fixed = object["fixed"];
    if (!fixed.is_object()) Bad(where + ".fixed", "must be an object of field names");
    for (const auto& [field, value] : fixed.items()) {
        if (!value.is_number_integer()) Bad(where + ".fixed." + field, "must be an integer");
        const int64_t v = value.get<int64_t>();
        if (v < INT32_MIN || v > INT32_MAX) Bad(where + ".fixed." + field, "must fit 32 bits");
        out[field] = v;
    }
    return out;
}

std::string LowerHost(const std::string& host) {
    std::string lower = host;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

HostSpec DefaultHost(const std::string& name) {
    HostSpec host;
    host.host = name;
    host.disks = {DiskSpec{"sda", {}}, DiskSpec{"sdb", {}}};
    host.fileSystems = {FileSystemSpec{"/", 20971520}, FileSystemSpec{"/usr/sap", 104857600}};
    return host;
}

HostSpec ParseHost(const json& h, const Scenario& s) {
    CheckKnown(
        h, "hosts[]",
        {"host", "operatingSystem", "operatingSystemText", "saposcol", "cpus", "memoryKB", "swapKB",
         "hardwareDescrFile", "lastCollectorWrite", "fixed", "disks", "fileSystems", "processes"});
    HostSpec host = DefaultHost(Text(h, "host", "hosts[]", ""));
    if (host.host.empty()) Bad("hosts[]", "host missing");
    const std::string where = "hosts[" + host.host + "]";
    host.operatingSystem = Text(h, "operatingSystem", where, s.operatingSystem);
    host.operatingSystemText = Text(h, "operatingSystemText", where, "");
    host.saposcol = Flag(h, "saposcol", where, true);
    host.cpus = Number(h, "cpus", where, host.cpus, 1, 1024);
    host.memoryKB = Number64(h, "memoryKB", where, host.memoryKB);
    host.swapKB = Number64(h, "swapKB", where, host.swapKB);
    host.hardwareDescrFile = Text(h, "hardwareDescrFile", where, host.hardwareDescrFile);
    host.lastCollectorWrite = Text(h, "lastCollectorWrite", where, "");
    host.fixed = Fixed(h, where);
    host.processes = Number(h, "processes", where, host.processes, 0, 10000);
    if (h.contains("disks")) {
        host.disks.clear();
        for (const json& d : Array(h, "disks", where)) {
            CheckKnown(d, where + ".disks[]", {"name", "fixed"});
            DiskSpec disk{Text(d, "name", where + ".disks[]", ""), {}};
            disk.fixed = Fixed(d, where + ".disks[" + disk.name + "]");
            host.disks.push_back(disk);
        }
    }
    if (h.contains("fileSystems")) {
        host.fileSystems.clear();
        for (const json& f : Array(h, "fileSystems", where)) {
            CheckKnown(f, where + ".fileSystems[]", {"name", "capacityKB"});
            host.fileSystems.push_back(
                FileSystemSpec{Text(f, "name", where + ".fileSystems[]", ""),
                               Number64(f, "capacityKB", where + ".fileSystems[]", 0)});
        }
    }
    return host;
}

DestinationSpec ParseDestination(const json& d) {
    CheckKnown(d, "destinations[]", {"name", "host", "mode", "answers", "delayMs", "clavernReply"});
    DestinationSpec dest;
    dest.name = Text(d, "name", "destinations[]", "");
    if (dest.name.empty()) Bad("destinations[]", "name missing");
    const std::string where = "destinations[" + dest.name + "]";
    dest.host = Text(d, "host", where, "");
    if (dest.host.empty()) Bad(where, "host missing");
    const bool ccms = dest.name.find("SAPCCMSR") != std::string::npos;
    dest.mode = Text(d, "mode", where, ccms ? "INTERN" : "REMOTE");
    if (dest.mode != "INTERN" && dest.mode != "REMOTE") Bad(where + ".mode", "INTERN or REMOTE");
    dest.answers = Flag(d, "answers", where, true);
    dest.delayMs = Number(d, "delayMs", where, 0, 0, 3600000);
    dest.clavernReply = Text(d, "clavernReply", where, "");
    return dest;
}

std::string TwoDigits(int number) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", number);
    return text;
}

ServerSpec ParseServer(const json& a, const std::string& systemId) {
    CheckKnown(
        a, "servers[]",
        {"name", "host", "systemNumber", "services", "down", "refuseLogons", "clockOffsetSeconds",
         "dialogStepsPerMinute", "joinsAfterMinutes", "leavesAfterMinutes"});
    ServerSpec server;
    server.host = Text(a, "host", "servers[]", "");
    server.systemNumber = Number(a, "systemNumber", "servers[]", 0, 0, 99);
    server.name = Text(a, "name", "servers[]",
                       server.host + "_" + systemId + "_" + TwoDigits(server.systemNumber));
    const std::string where = "servers[" + server.name + "]";
    if (server.host.empty()) Bad(where, "host missing");
    server.services = Texts(a, "services", where);
    server.down = Flag(a, "down", where, false);
    server.refuseLogons = Flag(a, "refuseLogons", where, false);
    server.clockOffsetSeconds = Number(a, "clockOffsetSeconds", where, 0, -172800, 172800);
    server.dialogStepsPerMinute = Real(a, "dialogStepsPerMinute", where, 0, 100000);
    constexpr int kTenYears = 10 * 366 * 24 * 60;
    server.joinsAfterMinutes = Number(a, "joinsAfterMinutes", where, 0, 0, kTenYears);
    if (a.contains("leavesAfterMinutes")) {
        server.leavesAfterMinutes = Number(a, "leavesAfterMinutes", where, 0, 0, kTenYears);
        if (*server.leavesAfterMinutes <= server.joinsAfterMinutes)
            Bad(where + ".leavesAfterMinutes", "must be after joinsAfterMinutes");
    }
    return server;
}

SoftwareSpec ParseSoftware(const json& o) {
    CheckKnown(o, "software", {"components", "addons", "patches"});
    SoftwareSpec out;
    out.given = true;
    for (const json& c : Array(o, "components", "software")) {
        CheckKnown(c, "software.components[]", {"name", "release", "level", "text"});
        const std::string w = "software.components[]";
        out.components.push_back({Text(c, "name", w, ""), Text(c, "release", w, ""),
                                  Text(c, "level", w, ""), Text(c, "text", w, "")});
    }
    for (const json& a : Array(o, "addons", "software")) {
        CheckKnown(a, "software.addons[]", {"id", "release", "level", "text"});
        const std::string w = "software.addons[]";
        out.addons.push_back({Text(a, "id", w, ""), Text(a, "release", w, ""),
                              Text(a, "level", w, ""), Text(a, "text", w, "")});
    }
    for (const json& p : Array(o, "patches", "software")) {
        CheckKnown(p, "software.patches[]", {"name", "text", "component", "date", "time"});
        const std::string w = "software.patches[]";
        out.patches.push_back({Text(p, "name", w, ""), Text(p, "text", w, ""),
                               Text(p, "component", w, ""), Text(p, "date", w, ""),
                               Text(p, "time", w, "")});
    }
    return out;
}

}  // namespace

std::string DatabaseKind(const DatabaseSpec& database) {
    if (!database.kind.empty()) return database.kind;
    if (database.system == "ORA") return "ORACLE";
    if (database.system == "QUI") return "QUILLET";
    return database.system;
}

HostSpec HostOf(const Scenario& scenario, const std::string& host) {
    for (const HostSpec& listed : scenario.hosts)
        if (listed.host == host) return listed;
    HostSpec fallback = DefaultHost(host);
    fallback.operatingSystem = scenario.operatingSystem;
    return fallback;
}

const DestinationSpec* FindDestination(const Scenario& scenario, const std::string& name) {
    for (const DestinationSpec& d : scenario.destinations)
        if (d.name == name) return &d;
    return nullptr;
}

Scenario ParseScenario(const std::string& text) {
    json root;
    try {
        root = json::parse(text);
    } catch (const json::parse_error& e) {
        throw ScenarioError(std::string("scenario: not valid JSON: ") + e.what());
    }
    CheckKnown(
        root, "scenario",
        {"seed", "systemId", "release", "partnerRelease", "kernelRelease", "unicode",
         "operatingSystem", "dateFormat", "decimalSign", "database", "languages", "clients",
         "users", "missingObjects", "servers", "faults", "hosts", "destinations", "software"});
    Scenario s;
    s.systemId = Text(root, "systemId", "scenario", s.systemId);
    s.seed = static_cast<uint64_t>(Number(root, "seed", "scenario", 1, 0, 2147483647));
    s.release = Text(root, "release", "scenario", s.release);
    s.partnerRelease = Text(root, "partnerRelease", "scenario", s.release);
    s.kernelRelease = Text(root, "kernelRelease", "scenario", s.release);
    s.unicode = Flag(root, "unicode", "scenario", s.unicode);
    s.operatingSystem = Text(root, "operatingSystem", "scenario", s.operatingSystem);
    s.dateFormat = Text(root, "dateFormat", "scenario", s.dateFormat);
    s.decimalSign = Text(root, "decimalSign", "scenario", s.decimalSign);
    if (root.contains("database")) {
        const json& db = root["database"];
        CheckKnown(db, "database",
                   {"system", "release", "kind", "version", "tableBytes", "indexBytes",
                    "indexFreeBytes", "constraintBytes"});
        s.database.system = Text(db, "system", "database", s.database.system);
        s.database.release = Text(db, "release", "database", s.database.release);
        s.database.kind = Text(db, "kind", "database", "");
        s.database.version = Text(db, "version", "database", "");
        s.database.tableBytes = Number64(db, "tableBytes", "database", 0);
        s.database.indexBytes = Number64(db, "indexBytes", "database", 0);
        s.database.indexFreeBytes = Number64(db, "indexFreeBytes", "database", 0);
        s.database.constraintBytes = Number64(db, "constraintBytes", "database", 0);
    }
    if (root.contains("software")) s.software = ParseSoftware(root["software"]);
    if (root.contains("languages")) s.languages = Texts(root, "languages", "scenario");
    if (s.languages.empty()) Bad("languages", "at least one language is needed");
    for (const std::string& language : s.languages)
        if (language.size() != 2) Bad("languages", "\"" + language + "\" is not a 2-letter code");
    s.missingObjects = Texts(root, "missingObjects", "scenario");

    for (const json& c : Array(root, "clients", "scenario")) {
        CheckKnown(c, "clients[]", {"number", "text"});
        ClientSpec client{Text(c, "number", "clients[]", ""), Text(c, "text", "clients[]", "")};
        if (client.number.empty()) Bad("clients[]", "number missing");
        s.clients.push_back(client);
    }
    for (const json& u : Array(root, "users", "scenario")) {
        CheckKnown(u, "users[]",
                   {"name", "password", "clients", "locked", "missingAuthorizations"});
        UserSpec user;
        user.name = Text(u, "name", "users[]", "");
        if (user.name.empty()) Bad("users[]", "name missing");
        const std::string where = "users[" + user.name + "]";
        user.password = Text(u, "password", where, "");
        user.clients = Texts(u, "clients", where);
        user.locked = Flag(u, "locked", where, false);
        for (const json& m : Array(u, "missingAuthorizations", where)) {
            CheckKnown(m, where + ".missingAuthorizations[]", {"object", "field", "value"});
            MissingAuthorization missing{Text(m, "object", where, ""), Text(m, "field", where, ""),
                                         Text(m, "value", where, "")};
            if (missing.object.empty()) Bad(where + ".missingAuthorizations[]", "object missing");
            user.missingAuthorizations.push_back(missing);
        }
        s.users.push_back(user);
    }
    std::set<std::pair<std::string, int>> ports;
    for (const json& a : Array(root, "servers", "scenario")) {
        s.servers.push_back(ParseServer(a, s.systemId));
        const ServerSpec& server = s.servers.back();
        // The servers of one host listen on its address, each on its own port.
        if (!ports.insert({LowerHost(server.host), server.systemNumber}).second)
            Bad("servers[" + server.name + "]", "system number " + TwoDigits(server.systemNumber) +
                                                    " is used twice on host " + server.host);
    }
    if (s.servers.empty()) Bad("servers", "at least one application server is needed");
    for (const json& f : Array(root, "faults", "scenario")) {
        CheckKnown(f, "faults[]",
                   {"module", "structure", "server", "times", "action", "delayMs", "exception",
                    "message"});
        FaultSpec fault;
        fault.module = Text(f, "module", "faults[]", "");
        fault.structure = Text(f, "structure", "faults[]", "");
        if (fault.module.empty() == fault.structure.empty())
            Bad("faults[]", "one of module and structure is needed");
        const std::string where =
            "faults[" + (fault.module.empty() ? fault.structure : fault.module) + "]";
        fault.server = Text(f, "server", where, "");
        fault.times = Number(f, "times", where, 0, 0, 1000000);
        fault.action = ActionOf(Text(f, "action", where, "delay"), where + ".action");
        fault.delayMs = Number(f, "delayMs", where, 0, 0, 3600000);
        fault.exception = Text(f, "exception", where, "");
        fault.message = Text(f, "message", where, "");
        if (fault.action == FaultAction::kRaise && fault.exception.empty())
            Bad(where, "action raise needs an exception");
        s.faults.push_back(fault);
    }
    std::set<std::string> hosts;
    for (const json& h : Array(root, "hosts", "scenario")) {
        s.hosts.push_back(ParseHost(h, s));
        if (!hosts.insert(s.hosts.back().host).second)
            Bad("hosts[" + s.hosts.back().host + "]", "listed twice");
    }
    for (const json& d : Array(root, "destinations", "scenario"))
        s.destinations.push_back(ParseDestination(d));
    return s;
}

Scenario LoadScenarioFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ScenarioError("scenario: cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return ParseScenario(text.str());
}

std::string LoopbackAddress(const Scenario& scenario, const std::string& host) {
    const std::string wanted = LowerHost(host);
    std::vector<std::string> seen;
    for (const ServerSpec& server : scenario.servers) {
        const std::string name = LowerHost(server.host);
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
        if (name == wanted) {
            const size_t i = seen.size();
            return "127.0." + std::to_string(i / 254) + "." + std::to_string(i % 254 + 1);
        }
        seen.push_back(name);
    }
    return {};
}

Scenario DefaultScenario() {
    return ParseScenario(DefaultScenarioJson());
}

}  // namespace r3sim
