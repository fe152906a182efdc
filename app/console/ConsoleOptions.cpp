#include "app/console/ConsoleOptions.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "app/settings/SettingsStore.h"
#include "platform/TextCodec.h"
#include "rfc/RfcConnection.h"

namespace {

constexpr const char16_t* kLogon = u"Logon";

bool AllDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// DEST[,SYSTEM[,GATEWAY]]
bool ParseDatabase(const std::string& value, ConsoleDatabaseServer& server) {
    std::vector<std::string> parts(1);
    for (char c : value) {
        if (c == ',') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    if (parts.size() > 3 || parts[0].empty()) return false;
    parts.resize(3);
    server = {platform::FromUtf8(parts[0]), platform::FromUtf8(parts[1]),
              platform::FromUtf8(parts[2])};
    return true;
}

bool StorePassword(settings::SettingsStore& store, std::u16string password, std::u16string& error) {
    CRfcConnection().ScramblePassword(password);
    return store.SetString(kLogon, u"Password", password, &error);
}

}  // namespace

const char* ConsoleUsage() {
    return "usage: quorvel-console [options]\n"
           "  Runs one collection session with the connection wizard's values, until\n"
           "  Ctrl-C, SIGTERM or the given time. Values given here replace the stored\n"
           "  ones, as if typed into the wizard.\n"
           "  --minutes N | --seconds N   collect for this long, then stop\n"
           "  --host NAME                 application server host\n"
           "  --system-number NN          system number (two digits)\n"
           "  --client NNN                client (three digits)\n"
           "  --user NAME                 user\n"
           "  --language XX               logon language\n"
           "  --data-dir DIR              data directory of the session folders\n"
           "  --database DEST[,SYSTEM[,GATEWAY]]\n"
           "                              standalone database server behind an RFC\n"
           "                              destination (repeatable; gateway: the first\n"
           "                              application server when not given)\n"
           "  --prefill-simulator         store the simulated system's logon data first\n"
           "                              when no host name is stored yet\n"
           "  --store-only                store the values and end without collecting\n"
           "  The password comes from the settings, QUORVEL_PASSWORD or a prompt.\n";
}

bool ParseConsoleOptions(int argc, const char* const* argv, ConsoleOptions& options,
                         std::string& error) {
    struct Text {
        const char* flag;
        std::u16string ConsoleOptions::*field;
    };
    const Text texts[] = {{"--host", &ConsoleOptions::host},
                          {"--system-number", &ConsoleOptions::systemNumber},
                          {"--client", &ConsoleOptions::client},
                          {"--user", &ConsoleOptions::user},
                          {"--language", &ConsoleOptions::language},
                          {"--data-dir", &ConsoleOptions::dataDirectory}};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--prefill-simulator") {
            options.prefillSimulator = true;
            continue;
        }
        if (arg == "--store-only") {
            options.storeOnly = true;
            continue;
        }
        if (arg == "--password" || arg.starts_with("--password=")) {
            error = "the password is not taken from the command line; use QUORVEL_PASSWORD";
            return false;
        }
        if (i + 1 >= argc) {
            error = arg.starts_with("--") ? arg + " needs a value" : "unknown argument " + arg;
            return false;
        }
        const std::string value = argv[i + 1];
        bool known = false;
        if (arg == "--minutes" || arg == "--seconds") {
            if (!AllDigits(value) || value.size() > 9) {
                error = arg + " takes a whole number, not " + value;
                return false;
            }
            options.runSeconds = std::stol(value) * (arg == "--minutes" ? 60 : 1);
            known = true;
        } else if (arg == "--database") {
            ConsoleDatabaseServer server;
            if (!ParseDatabase(value, server)) {
                error = "--database takes DEST[,SYSTEM[,GATEWAY]], not " + value;
                return false;
            }
            options.databases.push_back(server);
            known = true;
        }
        for (const Text& t : texts) {
            if (arg != t.flag) continue;
            if (value.empty()) {
                error = arg + " needs a value";
                return false;
            }
            options.*t.field = platform::FromUtf8(value);
            known = true;
        }
        if (!known) {
            error = "unknown option " + arg;
            return false;
        }
        ++i;
    }
    if (!options.systemNumber.empty() &&
        (options.systemNumber.size() != 2 || !AllDigits(platform::ToUtf8(options.systemNumber)))) {
        error = "--system-number takes two digits";
        return false;
    }
    if (!options.client.empty() &&
        (options.client.size() != 3 || !AllDigits(platform::ToUtf8(options.client)))) {
        error = "--client takes three digits";
        return false;
    }
    return true;
}

bool PrefillSimulatorSettings(settings::SettingsStore& store, std::u16string& error) {
    if (!store.GetString(kLogon, u"HostName").empty()) return true;
    std::u16string password = u"SECRET";
    CRfcConnection().ScramblePassword(password);
    return store.SetStrings(kLogon,
                            {{u"HostName", u"qashost1"},
                             {u"SystemNumber", u"00"},
                             {u"Client", u"100"},
                             {u"User", u"COLLECTOR"},
                             {u"Password", password},
                             {u"Language", u"EN"}},
                            &error) &&
           store.SetStrings(u"QAS",
                            {{u"DestinationList", u"QASDB_SAPCCMSR\n"},
                             {u"SystemList", u"\n"},
                             {u"Destination1", u"QASDB_SAPCCMSR"},
                             {u"System1", u""},
                             {u"Gateway1", u"qashost1_QAS_00"}},
                            &error);
}

bool ApplyConsoleOptions(const ConsoleOptions& options, settings::SettingsStore& store,
                         std::u16string& error) {
    settings::SettingsStore::Values logon;
    const std::pair<const char16_t*, const std::u16string*> given[] = {
        {u"HostName", &options.host}, {u"SystemNumber", &options.systemNumber},
        {u"Client", &options.client}, {u"User", &options.user},
        {u"Language", &options.language}};
    for (const auto& [key, value] : given)
        if (!value->empty()) logon.emplace_back(key, *value);
    if (!logon.empty() && !store.SetStrings(kLogon, logon, &error)) return false;
    if (!options.dataDirectory.empty() &&
        !store.SetString(u"Data", u"Path", options.dataDirectory, &error))
        return false;
    if (const char* password = std::getenv("QUORVEL_PASSWORD"); password && *password)
        return StorePassword(store, platform::FromUtf8(password), error);
    return true;
}

bool PromptForMissingPassword(settings::SettingsStore& store, std::u16string& error) {
    if (!store.GetString(kLogon, u"Password").empty() || !::isatty(STDIN_FILENO)) return true;
    std::fputs("Password: ", stderr);
    std::fflush(stderr);
    termios saved{};
    const bool terminal = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    std::getline(std::cin, line);
    if (terminal) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::fputs("\n", stderr);
    if (line.empty()) return true;
    return StorePassword(store, platform::FromUtf8(line), error);
}
