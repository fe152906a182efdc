// Writes a session folder as the collector's writers do, from a seed: two
// instances on two hosts with their control records, minute series with
// chosen missed minutes, quarter-hour snapshots, and dialog steps whose
// R/3 times go through the collector's own conversions. The same seed
// always gives the same bytes, so tests and the benchmark know what the
// reduction must find.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct ScenarioOptions {
    uint32_t seed = 1;
    int minutes = 90;             // minute captures from the start
    std::set<int> missedMinutes;  // minute captures that failed (no records)
    uint64_t dialogSteps = 5000;  // over all instances
    bool withListings = true;     // .hw and .env files
    bool withSystemFiles = true;  // system.ctl, pc.ctl, QAS.cmp, QAS.ptc
    int startDay = 0;             // days after 7 December 2026 of the first capture
};

// The folder's instance and host names.
extern const std::vector<std::string> kScenarioInstances;  // "qashost1_QAS_00", ...
extern const std::vector<std::string> kScenarioHosts;      // "qashost1", ...
extern const std::vector<std::string> kScenarioDisks;      // per host

// Writes the session into folder (created if missing; ends without "/").
// The first capture is at 10:00:00 collector time, 2026-12-07 plus startDay.
void WriteScenarioSession(const std::string& folder, const ScenarioOptions& options);
