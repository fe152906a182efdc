// What the library takes from the environment at each open: the port base,
// the time-outs and the host-name overrides.
//
//   QUORVEL_RFC_PORT_BASE          port of system number 00 (default 3300)
//   QUORVEL_RFC_CONNECT_TIMEOUT_MS limit of the host-name lookup and of the
//                                  connect, each (default 10000)
//   QUORVEL_RFC_READ_TIMEOUT_MS    wait for each answer (default 60000)
//   QUORVEL_RFC_HOSTS              "name=address,name=address"
//   QUORVEL_RFC_MAX_REPLY_BYTES    bound of one reply's bytes (default 256 MiB)
//   QUORVEL_RFC_MAX_REPLIES_BYTES  bound of all replies arriving at once
//                                  (default eight times the reply bound)
//
// Malformed values fall back to the defaults.
//
// Thread rules: pure functions (getenv is only read).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace rfclib {

inline constexpr int kDefaultPortBase = 3300;
inline constexpr int kDefaultConnectTimeoutMs = 10000;
inline constexpr int kDefaultReadTimeoutMs = 60000;
// Above the largest real window: a million dialog steps of a Unicode
// system are some 340 MB, which the dialog-step capture reads in parts.
inline constexpr uint64_t kDefaultMaxReplyBytes = uint64_t{256} << 20;
// Eight dialog-step transfers may run at once.
inline constexpr uint64_t kDefaultMaxRepliesFactor = 8;

struct ClientSettings {
    int portBase = kDefaultPortBase;
    int connectTimeoutMs = kDefaultConnectTimeoutMs;
    int readTimeoutMs = kDefaultReadTimeoutMs;
    uint64_t maxReplyBytes = kDefaultMaxReplyBytes;
    uint64_t maxRepliesBytes = kDefaultMaxReplyBytes * kDefaultMaxRepliesFactor;
    std::map<std::string, std::string> hosts;  // lower-case name -> address
};

ClientSettings SettingsFromEnvironment();

// "a=127.0.0.1, b.lan=127.0.0.1": entries without '=' are skipped.
std::map<std::string, std::string> ParseHostOverrides(std::string_view text);

}  // namespace rfclib
