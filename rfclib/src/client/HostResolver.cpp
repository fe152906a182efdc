#include "client/HostResolver.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace rfclib {
namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Shared by the waiting caller and the lookup thread, which may outlive the wait.
struct PendingLookup {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    int rc = 0;
    in_addr address{};
};

}  // namespace

int SystemAddressLookup(const std::string& name, in_addr& address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    const int rc = ::getaddrinfo(name.c_str(), nullptr, &hints, &result);
    if (rc != 0) return rc;
    if (result == nullptr) return EAI_NONAME;
    address = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr;
    ::freeaddrinfo(result);
    return 0;
}

bool LookUpAddress(const std::string& name, int timeoutMs, const AddressLookup& lookup,
                   in_addr& address, std::string& error) {
    auto pending = std::make_shared<PendingLookup>();
    try {
        std::thread([pending, name, lookup] {
            in_addr found{};
            const int rc = lookup(name, found);
            std::lock_guard lock(pending->mutex);
            pending->rc = rc;
            pending->address = found;
            pending->done = true;
            pending->finished.notify_all();
        }).detach();
    } catch (const std::system_error& e) {
        error = "host name '" + name + "' not resolved: " + e.what();
        return false;
    }
    std::unique_lock lock(pending->mutex);
    if (!pending->finished.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [&] { return pending->done; })) {
        error = "host name '" + name + "' not resolved within " + std::to_string(timeoutMs) + " ms";
        return false;
    }
    if (pending->rc != 0) {
        error = "host name '" + name + "' unknown (" + ::gai_strerror(pending->rc) + ")";
        return false;
    }
    address = pending->address;
    return true;
}

bool ResolveHost(const std::string& host, uint16_t port,
                 const std::map<std::string, std::string>& overrides, int timeoutMs,
                 sockaddr_in& out, std::string& error, const AddressLookup& lookup) {
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
    return LookUpAddress(name, timeoutMs, lookup, out.sin_addr, error);
}

}  // namespace rfclib
