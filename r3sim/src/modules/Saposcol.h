// What the saposcol modules share: finding the host whose collector a call
// reads (the server's own host, or the database server behind the
// destination the caller passes), the clock of the call, and the figures
// of one host at one moment.
//
// Thread rules: pure functions of the scenario, the call and the time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "r3sim/CallContext.h"
#include "r3sim/Figures.h"
#include "r3sim/ModuleRegistry.h"
#include "r3sim/Scenario.h"

namespace r3sim::saposcol {

struct Target {
    HostSpec host;
    const DestinationSpec* destination = nullptr;  // null: the server's own host
};

// The host a saposcol call reads. I_LOCAL_REMOTE empty or "LOCAL": the
// server's host. Otherwise the destination of I_LOGICAL_DESTINATION, which
// must be known, accept the mode and answer. Without a running collector,
// or when the destination fails, the call has been ended with the module's
// exception and the result is empty.
std::optional<Target> TargetHost(CallContext& call);

// The imports every saposcol module has.
ParameterSpec LocalRemoteImport();
ParameterSpec DestinationImport();

// The collector's last write on the host's clock, "Sun Dec  6 18:20:33 2026"
// (every ten seconds), or the scenario's fixed text.
std::string LastCollectorWrite(const HostSpec& host, int64_t serverSeconds);

// The operating-system text saposcol reports (E_FP_OPSYSTEM).
std::string OperatingSystemText(const HostSpec& host);

// A figure of the host: the scenario's fixed value of field when it has
// one, else the computed one.
int64_t Held(const std::map<std::string, int64_t>& fixed, const std::string& field,
             int64_t computed);

// Sets every fixed value whose field the row's structure has.
void ApplyFixed(Record& row, const std::map<std::string, int64_t>& fixed);

// The table modules (SaposcolTables.cpp).
void RegisterSaposcolTables(ModuleRegistry& registry);

}  // namespace r3sim::saposcol
