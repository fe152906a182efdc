// The two settings the data-reduction program shares with the collector:
// the collector's last session folder (quorvel, "Session" "Path"), which a
// start without arguments reduces, and this program's own directory
// (Pellamy4, "Program" "Path", ending in the separator), which the collector
// reads to start it after a stop.
//
// Thread rules: those of settings::SettingsStore.
#pragma once

#include <string>

namespace pellamy {

// The collector's last session folder in UTF-8; empty when none is set.
std::string CollectorSessionPath();

// Records directory (with its trailing separator) as this program's
// "Program" "Path" unless it is already recorded and still holds the
// program. Returns false with a reason when the setting cannot be written.
bool RecordProgramDirectory(const std::string& directory, std::string& error);

// The directory recorded for this program; empty when none is set.
std::string RecordedProgramDirectory();

// The program file the collector starts in a recorded directory.
inline constexpr const char* kProgramFileName = "pellamy4";

}  // namespace pellamy
