// The headless front end's command line. The logon values, the data
// directory and the standalone database servers given here replace what the
// settings store holds, exactly as if the operator had typed them into the
// wizard; the wizard then runs unattended with them and stores them.
// A password is never taken from the command line: it comes from the
// settings store, the environment (QUORVEL_PASSWORD) or a prompt.
#pragma once

#include <string>
#include <vector>

namespace settings {
class SettingsStore;
}

struct ConsoleDatabaseServer {
    std::u16string destination;  // RFC destination
    std::u16string system;       // system within a clavern; may be empty
    std::u16string gateway;      // application server; empty: the first of the list
};

struct ConsoleOptions {
    long runSeconds = -1;  // -1: until stopped
    bool prefillSimulator = false;
    bool storeOnly = false;  // store the values and end: the main window collects
    std::u16string host, systemNumber, client, user, language;
    std::u16string dataDirectory;
    std::vector<ConsoleDatabaseServer> databases;
    bool help = false;
};

// False with a one-line reason for an unknown option, a missing or invalid
// value, or an attempt to give the password.
bool ParseConsoleOptions(int argc, const char* const* argv, ConsoleOptions& options,
                         std::string& error);

const char* ConsoleUsage();

// Writes the given logon values and data directory into the store, and the
// password from QUORVEL_PASSWORD (scrambled, as the wizard keeps it) when
// that is set. False with the store's error when a write fails.
bool ApplyConsoleOptions(const ConsoleOptions& options, settings::SettingsStore& store,
                         std::u16string& error);

// On a first run (no host name stored) stores the logon data of the
// simulated system's default scenario and its standalone database server
// (destination QASDB_SAPCCMSR through the first application server). True
// when nothing was needed or everything was stored.
bool PrefillSimulatorSettings(settings::SettingsStore& store, std::u16string& error);

// When the store holds no password and standard input is a terminal, asks
// for it without echo and stores it scrambled. True when nothing was needed
// or the answer was stored.
bool PromptForMissingPassword(settings::SettingsStore& store, std::u16string& error);
