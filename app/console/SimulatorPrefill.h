// The first-run values for the simulated system's default scenario: the
// logon data of its collector user and its standalone database server
// (destination QASDB_SAPCCMSR through the first application server).
#pragma once

#include <string>

namespace settings {
class SettingsStore;
}

// Stores them when no host name is stored yet. True when nothing was
// needed or everything was stored; false with the store's reason.
bool PrefillSimulatorSettings(settings::SettingsStore& store, std::u16string& error);
