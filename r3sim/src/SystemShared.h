// What all application servers of one simulated system share: the scenario,
// the module registry, the counters, the options, which servers are in
// service, and the stop signal.
//
// Thread rules: scenario, modules, options and presence are read-only while
// running; counters lock themselves; the stop signal is an eventfd every
// wait watches.
#pragma once

#include <memory>

#include "net/Socket.h"
#include "r3sim/CallCounters.h"
#include "r3sim/ModuleRegistry.h"
#include "r3sim/Scenario.h"
#include "r3sim/ServerPresence.h"
#include "r3sim/SimulatedSystem.h"

namespace r3sim {

struct SystemShared {
    Scenario scenario;
    ModuleRegistry modules;
    CallCounters counters;
    SimulatorOptions options;
    ServerPresence presence;                   // from each start
    std::unique_ptr<rfcnet::WakeSignal> stop;  // new for each start
};

}  // namespace r3sim
