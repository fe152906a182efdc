// Which RFC library the collector talks through: our own protocol (the
// default), or SAP's NetWeaver RFC library from a path the operator gives,
// with an optional file of further connection parameters. Chosen once at
// start, before the first connection.
#pragma once

#include <string>

// The library named by the option, else by QUORVEL_RFC_LIBRARY; the options
// file likewise by QUORVEL_RFC_OPTIONS. Empty: our own protocol.
struct RfcLibraryChoice {
    std::string path;
    std::string optionsFile;
};

RfcLibraryChoice RfcLibraryFromEnvironment(RfcLibraryChoice given);

// Installs the choice; false with one line naming the path and what is
// missing (the library, or the function it lacks).
bool UseRfcLibrary(const RfcLibraryChoice& choice, std::u16string& error);

// The library in use and its version, for --check and the logon page.
std::u16string RfcLibraryDescription();
