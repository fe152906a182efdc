// Turns a host name into an IPv4 address: the overrides first (the full name,
// then its short form before the first dot), then the system resolver,
// within a time limit.
//
// Thread rules: pure functions; each lookup runs on a thread of its own.
#pragma once

#include <netinet/in.h>

#include <functional>
#include <map>
#include <string>

namespace rfclib {

// A blocking lookup: getaddrinfo's result code, the address on success.
using AddressLookup = std::function<int(const std::string& name, in_addr& address)>;

// The system resolver (getaddrinfo, IPv4).
int SystemAddressLookup(const std::string& name, in_addr& address);

// Runs lookup, waiting at most timeoutMs: a broken resolver can block
// getaddrinfo for minutes. After a give-up the lookup finishes in the
// background and its result is dropped. false with the reason in error.
bool LookUpAddress(const std::string& name, int timeoutMs, const AddressLookup& lookup,
                   in_addr& address, std::string& error);

bool ResolveHost(const std::string& host, uint16_t port,
                 const std::map<std::string, std::string>& overrides, int timeoutMs,
                 sockaddr_in& out, std::string& error,
                 const AddressLookup& lookup = SystemAddressLookup);

}  // namespace rfclib
