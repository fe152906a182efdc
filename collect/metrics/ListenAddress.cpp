#include "collect/metrics/ListenAddress.h"

#include <charconv>

namespace metrics {

namespace {

bool ParsePort(std::string_view text, int& port) {
    if (text.empty() || text.size() > 5) return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), port);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && port >= 0 &&
           port <= 65535;
}

}  // namespace

std::optional<ListenAddress> ParseListenAddress(std::string_view spec, std::string& error) {
    const std::string quoted = "\"" + std::string(spec) + "\"";
    ListenAddress address;
    std::string_view portText = spec;
    if (!spec.empty() && spec.front() == '[') {
        const size_t close = spec.find(']');
        if (close == std::string_view::npos || close + 1 >= spec.size() || spec[close + 1] != ':') {
            error = "metrics address " + quoted + ": expected [IPv6 address]:PORT";
            return std::nullopt;
        }
        address.host = std::string(spec.substr(1, close - 1));
        portText = spec.substr(close + 2);
    } else if (const size_t colon = spec.rfind(':'); colon != std::string_view::npos) {
        if (spec.find(':') != colon) {
            error = "metrics address " + quoted + ": an IPv6 address goes in brackets, [::1]:PORT";
            return std::nullopt;
        }
        if (colon > 0) address.host = std::string(spec.substr(0, colon));
        portText = spec.substr(colon + 1);
    }
    if (address.host.empty()) {
        error = "metrics address " + quoted + ": empty host";
        return std::nullopt;
    }
    if (!ParsePort(portText, address.port)) {
        error = "metrics address " + quoted + ": the port must be a number from 0 to 65535";
        return std::nullopt;
    }
    return address;
}

}  // namespace metrics
