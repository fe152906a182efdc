// Where the metrics endpoint listens, from the operator's "HOST:PORT",
// ":PORT" or "PORT" (an IPv6 host in brackets: "[::1]:9464"). Without a host
// it is the loopback address; any other address is used only when named.
// Port 0 asks the system for a free port.
//
// Thread rules: plain values and a pure function.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace metrics {

struct ListenAddress {
    static constexpr std::string_view kLoopback = "127.0.0.1";
    std::string host = std::string(kLoopback);
    int port = 0;
};

// The address, or nullopt with the reason in error.
std::optional<ListenAddress> ParseListenAddress(std::string_view spec, std::string& error);

}  // namespace metrics
