// What the simulated system served, for tests to prove what was called and
// what was not: calls per module (in total and per application server),
// rows sent per table, logons accepted and refused, logoffs, connections, and connections dropped
// for bad frames.
//
// Thread rules: mutex_ guards every counter; readers get copies.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace r3sim {

struct CounterSnapshot {
    std::map<std::string, uint64_t> calls;                                   // module -> count
    std::map<std::pair<std::string, std::string>, uint64_t> callsPerServer;  // (server, module)
    uint64_t connections = 0;
    uint64_t logons = 0;
    uint64_t refusedLogons = 0;
    uint64_t logoffs = 0;  // logged-on clients that said goodbye before closing
    uint64_t protocolErrors = 0;
    std::map<std::pair<std::string, std::string>, uint64_t> rowsSent;  // (module, table)
    std::map<std::string, uint64_t> structureQueries;                  // structure -> count
};

class CallCounters {
  public:
    void CountCall(const std::string& server, const std::string& module);
    void CountConnection();
    void CountLogon(bool accepted);
    void CountLogoff();
    void CountProtocolError();
    void CountRows(const std::string& module, const std::string& table, uint64_t rows);
    // Returns the structure's queries so far, this one included.
    uint64_t CountStructureQuery(const std::string& structure);

    uint64_t Calls(const std::string& module) const;
    uint64_t Calls(const std::string& server, const std::string& module) const;
    // Rows of a module's table sent to callers; 0 for a table never transferred.
    uint64_t RowsSent(const std::string& module, const std::string& table) const;
    // Whether the table went to a caller at all (also with no rows).
    bool TableSent(const std::string& module, const std::string& table) const;
    CounterSnapshot Snapshot() const;
    void Reset();

  private:
    mutable std::mutex mutex_;
    CounterSnapshot counts_;
};

}  // namespace r3sim
