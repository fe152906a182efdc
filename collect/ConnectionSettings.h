// What the connection wizard hands to the system thread when it finishes:
// the eight logon values in the order SetLogonData takes them, the identity
// of the tested system, and the three directories. The server list and the
// remote list travel beside it (the system thread owns them).
//
// Plain values; no thread rules.
#pragma once

#include <cstddef>
#include <string>

struct ConnectionSettings {
    // Limits of the wizard's logon controls, in UTF-16 units.
    static constexpr size_t kHostNameLimit = 20, kSystemNumberLimit = 3, kClientLimit = 3,
                            kUserLimit = 12, kPasswordLimit = 40, kLanguageLimit = 2,
                            kDomainLimit = 64, kRouterLimit = 64;

    std::u16string hostName;      // short host name of the application server
    std::u16string systemNumber;  // e.g. 00
    std::u16string client;        // logon client, e.g. 100
    std::u16string user;          // RFC user, upper case
    std::u16string password;      // plain; only the settings file holds it scrambled
    std::u16string language;      // logon language, upper case
    std::u16string domain;        // DNS domain appended to the host, may be empty
    std::u16string routerString;  // router string put in front of the host, may be empty

    std::u16string systemId;         // RFCSYSID of the tested system
    std::u16string operatingSystem;  // RFCOPSYS of the tested system

    // Directories ending in the path separator.
    std::u16string programPath;  // the program directory, current directory after the wizard
    std::u16string dataPath;     // the data directory
    std::u16string sessionPath;  // this run's session folder inside the data directory
};
