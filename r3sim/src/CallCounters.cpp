#include "r3sim/CallCounters.h"

namespace r3sim {

void CallCounters::CountCall(const std::string& server, const std::string& module) {
    std::lock_guard lock(mutex_);
    ++counts_.calls[module];
    ++counts_.callsPerServer[{server, module}];
}

void CallCounters::CountConnection() {
    std::lock_guard lock(mutex_);
    ++counts_.connections;
}

void CallCounters::CountLogon(bool accepted) {
    std::lock_guard lock(mutex_);
    ++(accepted ? counts_.logons : counts_.refusedLogons);
}

void CallCounters::CountLogoff() {
    std::lock_guard lock(mutex_);
    ++counts_.logoffs;
}

void CallCounters::CountProtocolError() {
    std::lock_guard lock(mutex_);
    ++counts_.protocolErrors;
}

uint64_t CallCounters::Calls(const std::string& module) const {
    std::lock_guard lock(mutex_);
    auto it = counts_.calls.find(module);
    return it == counts_.calls.end() ? 0 : it->second;
}

uint64_t CallCounters::Calls(const std::string& server, const std::string& module) const {
    std::lock_guard lock(mutex_);
    auto it = counts_.callsPerServer.find({server, module});
    return it == counts_.callsPerServer.end() ? 0 : it->second;
}

void CallCounters::CountRows(const std::string& module, const std::string& table, uint64_t rows) {
    std::lock_guard lock(mutex_);
    counts_.rowsSent[{module, table}] += rows;
}

uint64_t CallCounters::CountStructureQuery(const std::string& structure) {
    std::lock_guard lock(mutex_);
    return ++counts_.structureQueries[structure];
}

uint64_t CallCounters::RowsSent(const std::string& module, const std::string& table) const {
    std::lock_guard lock(mutex_);
    auto it = counts_.rowsSent.find({module, table});
    return it == counts_.rowsSent.end() ? 0 : it->second;
}

bool CallCounters::TableSent(const std::string& module, const std::string& table) const {
    std::lock_guard lock(mutex_);
    return counts_.rowsSent.count({module, table}) != 0;
}

CounterSnapshot CallCounters::Snapshot() const {
    std::lock_guard lock(mutex_);
    return counts_;
}

void CallCounters::Reset() {
    std::lock_guard lock(mutex_);
    counts_ = CounterSnapshot{};
}

}  // namespace r3sim
