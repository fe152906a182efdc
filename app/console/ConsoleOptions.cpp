#include "app/console/ConsoleOptions.h"

#include <unistd.h>

#include <climits>
#include <string_view>

#include "collect/metrics/ListenAddress.h"
#include "platform/Directory.h"
#include "platform/TextCodec.h"

namespace {

bool AllDigits(std::string_view s) {
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

// The shell's working directory in front of a relative path: the program
// directory, which the wizard would use, is not where the operator stands.
bool MakeAbsolute(std::u16string& path, std::string& error) {
    if (platform::IsAbsolutePath(path)) return true;
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr) {
        error = "--data-dir: the working directory cannot be read";
        return false;
    }
    path = platform::WithTrailingSeparator(platform::FromUtf8(cwd)) + path;
    return true;
}

// Values the wizard's fields take; their rules (digits, limits, capitals)
// are the logon and directory steps' to apply, so a value that breaks one
// is refused with the page's text, as input.
struct TextOption {
    const char* flag;
    std::u16string ConsoleOptions::*field;
};

constexpr TextOption kTextOptions[] = {
    {"--host", &ConsoleOptions::host},
    {"--system-number", &ConsoleOptions::systemNumber},
    {"--client", &ConsoleOptions::client},
    {"--user", &ConsoleOptions::user},
    {"--language", &ConsoleOptions::language},
    {"--data-dir", &ConsoleOptions::dataDirectory},
};

bool TakeText(const TextOption& option, const std::string& value, ConsoleOptions& options,
              std::string& error) {
    if (value.empty()) {
        error = std::string(option.flag) + " needs a value";
        return false;
    }
    options.*option.field = platform::FromUtf8(value);
    return true;
}

}  // namespace

bool ParseByteSize(std::string_view text, uint64_t& bytes) {
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0 || digits > 19) return false;
    std::string suffix;
    for (char c : text.substr(digits))
        suffix += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    int shift = 0;
    if (!suffix.empty()) {
        static constexpr std::string_view kUnits = "KMGT";
        const size_t unit = kUnits.find(suffix[0]);
        const std::string_view rest = std::string_view(suffix).substr(1);
        if (unit == std::string_view::npos || !(rest.empty() || rest == "B" || rest == "IB"))
            return false;
        shift = 10 * static_cast<int>(unit + 1);
    }
    const uint64_t value = std::stoull(std::string(text.substr(0, digits)));
    if (value > (uint64_t{1} << 63 >> shift)) return false;
    bytes = value << shift;
    return true;
}

const char* ConsoleUsage() {
    return "usage: quorvel-console [options]\n"
           "  Runs one collection session with the connection wizard's values, until\n"
           "  Ctrl-C, SIGTERM or the given time. Values given here replace the stored\n"
           "  ones, as if typed into the wizard; they are stored once the logon test\n"
           "  has passed.\n"
           "  --minutes N | --seconds N   collect for this long, then stop\n"
           "  --host NAME                 application server host (short name, up to\n"
           "                              20 characters)\n"
           "  --system-number NN          system number (1 to 3 digits)\n"
           "  --client NNN                client (1 to 3 digits)\n"
           "  --user NAME                 user (up to 12 characters, in capitals)\n"
           "  --language XX               logon language (up to 2 characters, in capitals)\n"
           "  --data-dir DIR              data directory of the session folders (up to\n"
           "                              260 characters; a relative one lies below the\n"
           "                              working directory)\n"
           "  --database DEST[,SYSTEM[,GATEWAY]]\n"
           "                              standalone database server behind an RFC\n"
           "                              destination (repeatable; gateway: the first\n"
           "                              application server when not given)\n"
           "  --password-file FILE        read the password from FILE (mode 0600 or\n"
           "                              narrower)\n"
           "  --metrics-listen HOST:PORT  serve live figures for Prometheus at\n"
           "                              http://HOST:PORT/metrics (OpenMetrics or the\n"
           "                              Prometheus text format); PORT or :PORT listens\n"
           "                              on 127.0.0.1 only, another address only when\n"
           "                              named (0.0.0.0:9464, [::1]:9464); off by default\n"
           "  --rfc-library PATH          talk through SAP's NetWeaver RFC library\n"
           "                              (libsapnwrfc.so) instead of our own protocol;\n"
           "                              also QUORVEL_RFC_LIBRARY\n"
           "  --rfc-options FILE          further connection parameters for it, one\n"
           "                              name=value a line (SNC, keep-alive, trace);\n"
           "                              also QUORVEL_RFC_OPTIONS\n"
           "  --rotate PERIOD             hand over to a new session folder every hour,\n"
           "                              day (00:00) or week (Monday 00:00): hourly,\n"
           "                              daily, weekly; none (the default) keeps one\n"
           "  --keep-days N               remove this system's session folders finished\n"
           "                              more than N days ago (only the collector's own)\n"
           "  --keep-size SIZE            remove its oldest finished session folders while\n"
           "                              all of them together pass SIZE (50G, ...)\n"
           "  --min-free SIZE             free space to keep on the data directory's file\n"
           "                              system (512M, 2G, ...); below it the dialog-step\n"
           "                              capture pauses and catches up later (default:\n"
           "                              1G or 2% of the file system, the smaller)\n"
           "  --check                     pre-flight check: logon, authorizations and\n"
           "                              connections, one line each; no session folder\n"
           "  --start-without-unreachable start without servers that fail the connection\n"
           "                              test, naming them; each joins when it answers\n"
           "  --prefill-simulator         store the simulated system's logon data first\n"
           "                              when no host name is stored yet\n"
           "  --store-only                prove and store the values and end\n"
           "  The password comes from --password-file, the systemd credential\n"
           "  'password', QUORVEL_PASSWORD, the settings or a prompt on a terminal.\n"
           "  Observing a real system: name SAP's NetWeaver RFC library (downloaded\n"
           "  from SAP; libsapucum.so beside it) with --rfc-library; SNC and other\n"
           "  connection parameters go into the --rfc-options file. The RFC user needs\n"
           "  the authorizations that --check tests; passwords up to 40 characters\n"
           "  (up to 8 go in capitals, longer ones as typed).\n"
           "  Exit status: 0 done, 1 the start failed, 2 bad options, 3 refused input,\n"
           "  logon or check, 130/143 stopped by SIGINT/SIGTERM during the start.\n";
}

bool ParseConsoleOptions(int argc, const char* const* argv, ConsoleOptions& options,
                         std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--prefill-simulator" || arg == "--store-only" || arg == "--check" ||
            arg == "--start-without-unreachable") {
            bool ConsoleOptions::*flag = arg == "--check"        ? &ConsoleOptions::check
                                         : arg == "--store-only" ? &ConsoleOptions::storeOnly
                                         : arg == "--start-without-unreachable"
                                             ? &ConsoleOptions::startWithoutUnreachable
                                             : &ConsoleOptions::prefillSimulator;
            options.*flag = true;
            continue;
        }
        if (arg == "--password" || arg.starts_with("--password=")) {
            error =
                "the password is not taken from the command line; use --password-file or a "
                "credential";
            return false;
        }
        if (i + 1 >= argc) {
            error = arg.starts_with("--") ? arg + " needs a value" : "unknown argument " + arg;
            return false;
        }
        const std::string value = argv[++i];
        if (arg == "--minutes" || arg == "--seconds") {
            if (!AllDigits(value) || value.size() > 9) {
                error = arg + " takes a whole number, not " + value;
                return false;
            }
            options.runSeconds = std::stol(value) * (arg == "--minutes" ? 60 : 1);
            continue;
        }
        if (arg == "--database") {
            ConsoleDatabaseServer server;
            if (!ParseDatabase(value, server)) {
                error = "--database takes DEST[,SYSTEM[,GATEWAY]], not " + value;
                return false;
            }
            options.databases.push_back(server);
            continue;
        }
        if (arg == "--metrics-listen") {
            std::string reason;
            if (!metrics::ParseListenAddress(value, reason)) {
                error = "--metrics-listen: " + reason;
                return false;
            }
            options.metricsListen = value;
            continue;
        }
        if (arg == "--rotate") {
            const std::optional<RotationPeriod> period = ParseRotationPeriod(value);
            if (!period) {
                error = "--rotate takes hourly, daily, weekly or none, not " + value;
                return false;
            }
            options.rotation = *period;
            continue;
        }
        if (arg == "--keep-days") {
            if (!AllDigits(value) || value.size() > 5 || std::stoi(value) == 0) {
                error = "--keep-days takes a number of days from 1, not " + value;
                return false;
            }
            options.retention.keepDays = std::stoi(value);
            continue;
        }
        if (arg == "--keep-size") {
            uint64_t bytes = 0;
            if (!ParseByteSize(value, bytes) || bytes == 0) {
                error = "--keep-size takes a size such as 50G, not " + value;
                return false;
            }
            options.retention.keepBytes = bytes;
            continue;
        }
        if (arg == "--min-free") {
            uint64_t bytes = 0;
            if (!ParseByteSize(value, bytes)) {
                error = "--min-free takes a size such as 512M or 2G, not " + value;
                return false;
            }
            options.minFreeBytes = bytes;
            continue;
        }
        if (arg == "--password-file" || arg == "--rfc-library" || arg == "--rfc-options") {
            if (value.empty()) {
                error = arg + " needs a value";
                return false;
            }
            std::string ConsoleOptions::*field = arg == "--password-file" ? &ConsoleOptions::passwordFile
                                                 : arg == "--rfc-library"
                                                     ? &ConsoleOptions::rfcLibrary
                                                     : &ConsoleOptions::rfcOptions;
            options.*field = value;
            continue;
        }
        const TextOption* known = nullptr;
        for (const TextOption& t : kTextOptions)
            if (arg == t.flag) known = &t;
        if (!known) {
            error = "unknown option " + arg;
            return false;
        }
        if (!TakeText(*known, value, options, error)) return false;
    }
    if (!options.dataDirectory.empty() && !MakeAbsolute(options.dataDirectory, error)) return false;
    if (!options.metricsListen.empty() && (options.check || options.storeOnly)) {
        error = "--metrics-listen serves a session; not with --check or --store-only";
        return false;
    }
    if (options.check && options.storeOnly) {
        error = "--check and --store-only exclude each other";
        return false;
    }
    return true;
}
