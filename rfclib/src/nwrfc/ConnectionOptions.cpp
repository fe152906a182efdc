#include "nwrfc/ConnectionOptions.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/TextCodec.h"

namespace rfclib::nw {
namespace {

constexpr std::string_view kLogonNames[] = {"ashost", "sysnr", "client", "user",
                                            "passwd", "lang",  "saprouter"};

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

}  // namespace

ConnectionParameters LogonParameters(const ConnectParameters& logon) {
    ConnectionParameters pairs;
    pairs.emplace_back(u"ashost", logon.host);
    const std::string sysnr = (logon.systemNumber < 10 ? "0" : "") +
                              std::to_string(logon.systemNumber);
    pairs.emplace_back(u"sysnr", platform::FromUtf8(sysnr));
    pairs.emplace_back(u"client", logon.client);
    pairs.emplace_back(u"user", logon.user);
    pairs.emplace_back(u"passwd", logon.password);
    pairs.emplace_back(u"lang", logon.language);
    if (!logon.routers.empty()) {
        // The route up to the application server, which ashost names.
        std::u16string route;
        for (const RouterHop& hop : logon.routers)
            route += u"/H/" + hop.host + u"/S/" + platform::FromUtf8(std::to_string(hop.port));
        route += u"/H/";
        pairs.emplace_back(u"saprouter", route);
    }
    return pairs;
}

bool ParseConnectionOptions(std::string_view text, std::string_view origin,
                            ConnectionParameters& out, std::string& error) {
    out.clear();
    size_t lineNumber = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        const std::string where = std::string(origin) + " line " + std::to_string(lineNumber);
        if (line.empty() || line.front() == '#') continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            error = where + ": no '=' between a name and its value";
            return false;
        }
        std::string name(Trim(line.substr(0, equals)));
        for (char& c : name)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (name.empty() || name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_") !=
                                std::string::npos) {
            error = where + ": a name is letters, digits and '_'";
            return false;
        }
        for (std::string_view logon : kLogonNames)
            if (name == logon) {
                error = where + ": '" + name +
                        "' comes from the logon data, not from the options file";
                return false;
            }
        out.emplace_back(platform::FromUtf8(name),
                         platform::FromUtf8(Trim(line.substr(equals + 1))));
    }
    return true;
}

bool ReadConnectionOptions(const std::string& path, ConnectionParameters& out,
                           std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the RFC options file " + path + ": " + std::strerror(errno);
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ParseConnectionOptions(text.str(), "RFC options file " + path, out, error);
}

}  // namespace rfclib::nw
