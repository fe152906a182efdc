#include "client/ClientSettings.h"

#include <cerrno>
#include <cstdlib>

namespace rfclib {
namespace {

std::string Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

int IntFromEnvironment(const char* name, int fallback, int minimum, int maximum) {
    const char* raw = std::getenv(name);
    if (raw == nullptr || *raw == '\0') return fallback;
    char* end = nullptr;
    const long value = std::strtol(raw, &end, 10);
    if (*end != '\0' || value < minimum || value > maximum) return fallback;
    return static_cast<int>(value);
}

uint64_t BytesFromEnvironment(const char* name, uint64_t fallback) {
    const char* raw = std::getenv(name);
    if (raw == nullptr || *raw == '\0') return fallback;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(raw, &end, 10);
    // A minimum keeps every ordinary reply (interfaces, structures) possible.
    constexpr uint64_t kMinimum = 64 * 1024;
    if (*end != '\0' || errno != 0 || raw[0] == '-' || value < kMinimum) return fallback;
    return value;
}

}  // namespace

std::map<std::string, std::string> ParseHostOverrides(std::string_view text) {
    std::map<std::string, std::string> hosts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string_view entry = text.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        const size_t equals = entry.find('=');
        if (equals != std::string_view::npos) {
            const std::string name = Lower(Trim(entry.substr(0, equals)));
            const std::string address = Trim(entry.substr(equals + 1));
            if (!name.empty() && !address.empty()) hosts[name] = address;
        }
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return hosts;
}

ClientSettings SettingsFromEnvironment() {
    ClientSettings settings;
    settings.portBase =
        IntFromEnvironment("QUORVEL_RFC_PORT_BASE", kDefaultPortBase, 1, 65535 - 99);
    settings.connectTimeoutMs =
        IntFromEnvironment("QUORVEL_RFC_CONNECT_TIMEOUT_MS", kDefaultConnectTimeoutMs, 1, 3600000);
    settings.readTimeoutMs =
        IntFromEnvironment("QUORVEL_RFC_READ_TIMEOUT_MS", kDefaultReadTimeoutMs, 1, 86400000);
    settings.maxReplyBytes =
        BytesFromEnvironment("QUORVEL_RFC_MAX_REPLY_BYTES", kDefaultMaxReplyBytes);
    settings.maxRepliesBytes = BytesFromEnvironment(
        "QUORVEL_RFC_MAX_REPLIES_BYTES", settings.maxReplyBytes * kDefaultMaxRepliesFactor);
    if (const char* hosts = std::getenv("QUORVEL_RFC_HOSTS"))
        settings.hosts = ParseHostOverrides(hosts);
    return settings;
}

}  // namespace rfclib
