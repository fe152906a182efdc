// Parsing of connect strings such as
//   "ASHOST=/H/gw/S/3299/H/srv1.lan SYSNR=00 CLIENT=100 USER=U PASSWD=P LANG=E".
//
// Pairs are separated by blanks; keys are case-insensitive; a value may be
// written in double quotes to hold blanks; an empty value ("LANG=") is kept
// empty; keys other than the six of a logon are ignored. A router string in
// front of the host names the hops to take: /H/<host>[/S/<port>] each, the
// last /H/ being the application server; /P/<password> parts are skipped.
//
// Thread rules: pure functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rfclib {

inline constexpr uint16_t kDefaultRouterPort = 3299;

struct RouterHop {
    std::u16string host;
    uint16_t port = kDefaultRouterPort;
};

struct ConnectParameters {
    std::u16string host;             // application server, without router hops
    std::vector<RouterHop> routers;  // in the order they are passed
    int systemNumber = 0;
    std::u16string client;
    std::u16string user;
    std::u16string password;
    std::u16string language;
};

// False with a reason when ASHOST or SYSNR is missing or malformed.
bool ParseConnectString(std::u16string_view text, ConnectParameters& out, std::string& error);

// Splits "/H/a/S/1/H/b" into its hops and the final host.
bool ParseRouterAddress(std::u16string_view address, std::vector<RouterHop>& hops,
                        std::u16string& host, std::string& error);

// "/H/b/S/2/H/host": the route still to take after the first hop.
std::u16string FormatRoute(const std::vector<RouterHop>& hops, size_t from,
                           std::u16string_view host);

}  // namespace rfclib
