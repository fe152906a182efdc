// Several session folders of one system read as one span, as rotation
// leaves them (a folder a day): time series joined in time order, the
// snapshots (work processes, storage, profile, buffers, tables) of the
// latest folder that has them, one workload over every folder's dialog
// steps, and a note for every gap between one folder's last record and the
// next one's first.
//
// No shared state.
#pragma once

#include <string>
#include <vector>

#include "tools/pellamy4/Session.h"

namespace pellamy {

// A gap longer than this between two folders is noted.
inline constexpr int64_t kSpanGapSeconds = 5 * 60;

// Throws NotASession for a folder that is none, and std::runtime_error when
// the folders are of different systems.
Session ReadSpan(const std::vector<std::string>& folders, const Progress& progress = {});

// The session folders of systemId directly under dataDir whose records
// reach into [fromDay, toDay] ("YYYY-MM-DD", both included), by their files'
// times; empty when none. Throws std::runtime_error for a bad day.
std::vector<std::string> FoldersOfSystem(const std::string& dataDir, const std::string& systemId,
                                         const std::string& fromDay, const std::string& toDay);

}  // namespace pellamy
