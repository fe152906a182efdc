#include "r3sim/SimulatedSystem.h"

#include <random>
#include <set>
#include <stdexcept>

#include "ApplicationServer.h"
#include "SystemShared.h"

namespace r3sim {
namespace {

constexpr int kFirstFreeBase = 20000;
constexpr int kLastFreeBase = 60000;
constexpr int kFreeBaseAttempts = 64;

}  // namespace

SimulatedSystem::SimulatedSystem(Scenario scenario, SimulatorOptions options)
    : shared_(std::make_unique<SystemShared>()) {
    shared_->scenario = std::move(scenario);
    shared_->modules = StandardModules();
    shared_->options = options;
}

SimulatedSystem::~SimulatedSystem() {
    Stop();
}

bool SimulatedSystem::TryStart(int portBase, std::string& error) {
    shared_->stop = std::make_unique<rfcnet::WakeSignal>();
    shared_->presence = ServerPresence(platform::CurrentTimeSource()->Now());
    std::vector<std::unique_ptr<ApplicationServer>> servers;
    for (const ServerSpec& spec : shared_->scenario.servers) {
        if (spec.down) continue;
        auto server = std::make_unique<ApplicationServer>(*shared_, spec);
        const int port = portBase + spec.systemNumber;
        const std::string address = LoopbackAddress(shared_->scenario, spec.host);
        if (port > 65535 || !server->Bind(address, static_cast<uint16_t>(port), error)) {
            error = "cannot listen on " + address + ":" + std::to_string(port) + " for " +
                    spec.name + ": " + error;
            return false;  // the servers bound so far close with the vector
        }
        servers.push_back(std::move(server));
    }
    for (auto& server : servers) server->Start();
    servers_ = std::move(servers);
    portBase_ = portBase;
    return true;
}

int SimulatedSystem::Start(int portBase) {
    if (Running()) throw std::runtime_error("simulated system already running");
    std::string error;
    if (portBase != 0) {
        if (!TryStart(portBase, error)) throw std::runtime_error(error);
        return portBase_;
    }
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> bases(kFirstFreeBase / 100, kLastFreeBase / 100);
    for (int attempt = 0; attempt < kFreeBaseAttempts; ++attempt)
        if (TryStart(bases(random) * 100, error)) return portBase_;
    throw std::runtime_error("no free port base found: " + error);
}

void SimulatedSystem::Stop() {
    if (servers_.empty()) return;
    shared_->stop->Signal();
    for (auto& server : servers_) server->Stop();
    servers_.clear();
}

void SimulatedSystem::FollowClock() {
    for (auto& server : servers_) server->FollowClock();
}

uint16_t SimulatedSystem::PortOf(const std::string& serverName) const {
    for (const ServerSpec& spec : shared_->scenario.servers)
        if (spec.name == serverName) return static_cast<uint16_t>(portBase_ + spec.systemNumber);
    return 0;
}

std::string SimulatedSystem::AddressOf(const std::string& serverName) const {
    for (const ServerSpec& spec : shared_->scenario.servers)
        if (spec.name == serverName) return LoopbackAddress(shared_->scenario, spec.host);
    return {};
}

std::string SimulatedSystem::HostsOverride() const {
    std::set<std::string> hosts;
    for (const ServerSpec& spec : shared_->scenario.servers) hosts.insert(spec.host);
    std::string text;
    for (const std::string& host : hosts)
        text += (text.empty() ? "" : ",") + host + "=" + LoopbackAddress(shared_->scenario, host);
    return text;
}

const Scenario& SimulatedSystem::GetScenario() const {
    return shared_->scenario;
}

ModuleRegistry& SimulatedSystem::Modules() {
    return shared_->modules;
}

CallCounters& SimulatedSystem::Counters() {
    return shared_->counters;
}

}  // namespace r3sim
