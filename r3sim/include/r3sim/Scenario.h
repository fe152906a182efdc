// The description of one simulated R/3 system: identity and releases, the
// database, clients, users with their passwords and missing authorisations,
// the application servers, and the faults to play. Read from JSON
// (README.md describes the format); an embedded default needs no file.
//
// Thread rules: plain values; a running system only reads its scenario.
#pragma once

#include <cstdint>
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
    bool down = false;          // not listening at all
    bool refuseLogons = false;  // listening, every logon refused
    int clockOffsetSeconds = 0; // the server's clock against ours
};

enum class FaultAction { kDelay, kDrop, kHang, kGarbage, kRaise, kFail };

struct FaultSpec {
    std::string module;
    std::string server;  // empty: every server
    FaultAction action = FaultAction::kDelay;
    int delayMs = 0;
    std::string exception;  // for kRaise
    std::string message;    // for kRaise and kFail
};

struct DatabaseSpec {
    std::string system = "ORA";
    std::string release = "10.2.0";
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
};

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
