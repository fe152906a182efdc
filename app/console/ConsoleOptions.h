// The headless front end's command line. The logon values, the data
// directory and the standalone database servers given here take the place
// of the stored ones, exactly as if the operator had typed them into the
// wizard; they are stored only once the logon test has passed. A password
// is never taken from the command line (see PasswordSource.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "collect/system/FolderRetention.h"
#include "collect/system/FolderRotation.h"

struct ConsoleDatabaseServer {
    std::u16string destination;  // RFC destination
    std::u16string system;       // system within a clavern; may be empty
    std::u16string gateway;      // application server; empty: the first of the list
};

struct ConsoleOptions {
    long runSeconds = -1;  // -1: until stopped
    bool prefillSimulator = false;
    bool storeOnly = false;  // prove and store the values and end: the main window collects
    bool check = false;      // the pre-flight check instead of a session
    bool startWithoutUnreachable = false;  // servers failing the connection test join later
    std::u16string host, systemNumber, client, user, language;
    std::u16string dataDirectory;  // absolute: a relative one is taken from the working directory
    std::string passwordFile;
    std::string metricsListen;  // empty: no endpoint
    std::string rfcLibrary;     // empty: QUORVEL_RFC_LIBRARY, else our own protocol
    std::string rfcOptions;     // further NetWeaver connection parameters
    std::vector<ConsoleDatabaseServer> databases;
    std::optional<uint64_t> minFreeBytes;  // none: the collector's default
    RotationPeriod rotation = RotationPeriod::None;
    RetentionRules retention;  // none: every folder is kept
    bool help = false;
};

// "1073741824", "512M", "1G", "2GiB", "10T": a size in bytes, the suffixes
// binary (K, M, G, T, with or without "iB"/"B", any case). False for
// anything else and for sizes past 2^63.
bool ParseByteSize(std::string_view text, uint64_t& bytes);

// False with a one-line reason for an unknown option, a missing or invalid
// value, or an attempt to give the password.
bool ParseConsoleOptions(int argc, const char* const* argv, ConsoleOptions& options,
                         std::string& error);

const char* ConsoleUsage();
