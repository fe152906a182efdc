// Turns a host name into an IPv4 address: the overrides first (the full name,
// then its short form before the first dot), then the system resolver.
//
// Thread rules: pure function (getaddrinfo is thread-safe).
#pragma once

#include <netinet/in.h>

#include <map>
#include <string>

namespace rfclib {

bool ResolveHost(const std::string& host, uint16_t port,
                 const std::map<std::string, std::string>& overrides, sockaddr_in& out,
                 std::string& error);

}  // namespace rfclib
