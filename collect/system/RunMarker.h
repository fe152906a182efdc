// The sign of a session folder that is being written: "<SID>.run", made when
// the session starts writing there and removed when it stops cleanly or hands
// over to the next folder. One that is still there when a new session of the
// same system starts was left by a collector that ended uncleanly (a crash, a
// kill, a power cut); the new session renames it "<SID>.unfinished", which
// the report tool shows, and catches up that folder's dialog steps.
//
// Thread rules: plain functions.
#pragma once

#include <chrono>
#include <optional>
#include <string>

// Writes the marker into folder (ending in the separator); throws CFileException.
void WriteRunMarker(const std::u16string& folder, const std::u16string& systemId);
// Removes it; a marker that is gone already is fine.
void RemoveRunMarker(const std::u16string& folder, const std::u16string& systemId);

// The most recently written folder of this system under dataDir (the current
// one included: a restart within the same minute uses the same folder) that
// still holds a marker and was written less than a day before now.
std::optional<std::u16string> FindUnfinishedFolder(const std::u16string& dataDir,
                                                   const std::u16string& systemId,
                                                   std::chrono::system_clock::time_point now);

// Turns the folder's marker into "<SID>.unfinished" with a line naming where
// its dialog steps are caught up.
void MarkUnfinished(const std::u16string& folder, const std::u16string& systemId,
                    const std::u16string& caughtUpIn);
