#include "client/HostResolver.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <cstring>

namespace rfclib {
namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

bool ResolveHost(const std::string& host, uint16_t port,
                 const std::map<std::string, std::string>& overrides, sockaddr_in& out,
                 std::string& error) {
    std::string name = host;
    const std::string lower = Lower(host);
    if (auto it = overrides.find(lower); it != overrides.end()) {
        name = it->second;
    } else if (const size_t dot = lower.find('.'); dot != std::string::npos) {
        if (auto shortIt = overrides.find(lower.substr(0, dot)); shortIt != overrides.end())
            name = shortIt->second;
    }
    out = sockaddr_in{};
    out.sin_family = AF_INET;
    out.sin_port = htons(port);
    if (::inet_pton(AF_INET, name.c_str(), &out.sin_addr) == 1) return true;

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    const int rc = ::getaddrinfo(name.c_str(), nullptr, &hints, &result);
    if (rc != 0 || result == nullptr) {
        error = "host name '" + host + "' unknown (" + ::gai_strerror(rc) + ")";
        return false;
    }
    out.sin_addr = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr;
    ::freeaddrinfo(result);
    return true;
}

}  // namespace rfclib
