// One simulated R/3 system in this process: an application server per
// scenario entry, each listening on its host's loopback address
// (LoopbackAddress) and port base + system number,
// serving logons and the registered function modules, counting what it
// served.
//
//   r3sim::SimulatedSystem system(r3sim::DefaultScenario());
//   int base = system.Start();          // 0 or no argument: a free port base
//   ... RfcOpenExU with QUORVEL_RFC_PORT_BASE = base ...
//   system.Stop();
//
// Servers with a join/leave window (ServerPresence.h) count their minutes
// from Start on platform::CurrentTimeSource().
//
// Thread rules: Start, Stop, FollowClock and Modules belong to the owning
// thread; the counters may be read from any thread at any time. Each
// application server runs an accept thread and one thread per connection.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "r3sim/CallCounters.h"
#include "r3sim/ModuleRegistry.h"
#include "r3sim/Scenario.h"

namespace r3sim {

struct SimulatorOptions {
    int frameTimeoutMs = 10000;  // a started frame must be complete within this
    uint32_t maxPayload = 64u * 1024u * 1024u;
};

class ApplicationServer;
struct SystemShared;

class SimulatedSystem {
  public:
    explicit SimulatedSystem(Scenario scenario, SimulatorOptions options = {});
    ~SimulatedSystem();
    SimulatedSystem(const SimulatedSystem&) = delete;
    SimulatedSystem& operator=(const SimulatedSystem&) = delete;

    // Starts every server that is not down. portBase 0 picks a base whose
    // ports are all free. Returns the base; throws std::runtime_error when a
    // port cannot be bound.
    int Start(int portBase = 0);
    void Stop();
    bool Running() const { return !servers_.empty(); }
    // Servers with a join/leave window start or stop listening as the time
    // source has moved; each does so by itself within 100 ms, this at once
    // (for tests that drive the clock by hand).
    void FollowClock();

    int PortBase() const { return portBase_; }
    // Port of an application server (also of one that is down), 0 when unknown.
    uint16_t PortOf(const std::string& serverName) const;
    // Loopback address of an application server's host, empty when unknown.
    std::string AddressOf(const std::string& serverName) const;
    // "host=127.0.0.1,..." for QUORVEL_RFC_HOSTS: every scenario host on its
    // loopback address.
    std::string HostsOverride() const;

    const Scenario& GetScenario() const;
    ModuleRegistry& Modules();
    CallCounters& Counters();

  private:
    bool TryStart(int portBase, std::string& error);

    std::unique_ptr<SystemShared> shared_;
    std::vector<std::unique_ptr<ApplicationServer>> servers_;
    int portBase_ = 0;
};

}  // namespace r3sim
