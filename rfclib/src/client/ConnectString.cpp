#include "client/ConnectString.h"

#include "platform/TextCodec.h"

namespace rfclib {
namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string Upper(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return out;
}

bool AllDigits(std::u16string_view text) {
    if (text.empty()) return false;
    for (char16_t c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

int ToInt(std::u16string_view digits) {
    int value = 0;
    for (char16_t c : digits) {
        value = value * 10 + (c - u'0');
        if (value > 1000000) return value;
    }
    return value;
}

struct Pair {
    std::u16string key;
    std::u16string value;
};

// Splits the text into KEY=value pairs.
bool SplitPairs(std::u16string_view text, std::vector<Pair>& pairs, std::string& error) {
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        if (i == text.size()) break;
        const size_t keyStart = i;
        while (i < text.size() && text[i] != u'=' && !IsBlank(text[i])) ++i;
        if (i == text.size() || text[i] != u'=') {
            // The text itself may be part of a password: only its place is named.
            error = pairs.empty() ? std::string("connect string: it does not begin with KEY=")
                                  : "connect string: text without '=' after the value of " +
                                        platform::ToUtf8(pairs.back().key);
            return false;
        }
        Pair pair{Upper(text.substr(keyStart, i - keyStart)), {}};
        ++i;  // '='
        if (i < text.size() && text[i] == u'"') {
            // Within quotes a doubled quote stands for one.
            bool closed = false;
            for (++i; i < text.size(); ++i) {
                if (text[i] != u'"') {
                    pair.value.push_back(text[i]);
                } else if (i + 1 < text.size() && text[i + 1] == u'"') {
                    pair.value.push_back(u'"');
                    ++i;
                } else {
                    closed = true;
                    ++i;
                    break;
                }
            }
            if (!closed) {
                error = "connect string: unterminated quote after " + platform::ToUtf8(pair.key);
                return false;
            }
        } else {
            const size_t valueStart = i;
            while (i < text.size() && !IsBlank(text[i])) ++i;
            pair.value = text.substr(valueStart, i - valueStart);
        }
        pairs.push_back(std::move(pair));
    }
    return true;
}

}  // namespace

bool ParseRouterAddress(std::u16string_view address, std::vector<RouterHop>& hops,
                        std::u16string& host, std::string& error) {
    hops.clear();
    host.clear();
    if (address.empty() || address[0] != u'/') {
        host = address;
        return true;
    }
    // Tokens between slashes: letter, value, letter, value, ...
    std::vector<std::u16string_view> parts;
    size_t i = 1;
    while (i <= address.size()) {
        const size_t next = address.find(u'/', i);
        const size_t end = next == std::u16string_view::npos ? address.size() : next;
        parts.push_back(address.substr(i, end - i));
        if (next == std::u16string_view::npos) break;
        i = next + 1;
    }
    std::vector<std::u16string> hosts;
    std::vector<uint16_t> ports;
    for (size_t p = 0; p + 1 < parts.size() + 1; p += 2) {
        const std::u16string letter = Upper(parts[p]);
        if (letter.empty() && p + 1 >= parts.size()) break;  // trailing "/"
        if (p + 1 >= parts.size()) {
            error = "router string: '" + platform::ToUtf8(letter) + "' without a value";
            return false;
        }
        const std::u16string_view value = parts[p + 1];
        if (letter == u"H") {
            if (value.empty()) {
                // "/H/gw/H/" ends the route; the host follows the string.
                if (p + 2 >= parts.size()) break;
                error = "router string: empty host after /H/";
                return false;
            }
            hosts.emplace_back(value);
            ports.push_back(kDefaultRouterPort);
        } else if (letter == u"S") {
            if (hosts.empty() || !AllDigits(value) || ToInt(value) < 1 || ToInt(value) > 65535) {
                error = "router string: bad port '" + platform::ToUtf8(value) + "' after /S/";
                return false;
            }
            ports.back() = static_cast<uint16_t>(ToInt(value));
        } else if (letter == u"P" || letter == u"W") {
            // hop password: not used by our routers
        } else {
            error = "router string: unknown part /" + platform::ToUtf8(letter) + "/";
            return false;
        }
    }
    if (hosts.empty()) {
        error = "router string names no host";
        return false;
    }
    // The last /H/ is the application server itself unless the string ended
    // with an empty /H/ (the host then follows it, joined by the caller).
    host = hosts.back();
    for (size_t h = 0; h + 1 < hosts.size(); ++h) hops.push_back({hosts[h], ports[h]});
    if (hops.empty()) {
        error = "router string names no router before the host";
        return false;
    }
    return true;
}

std::u16string FormatRoute(const std::vector<RouterHop>& hops, size_t from,
                           std::u16string_view host) {
    std::u16string route;
    for (size_t i = from; i < hops.size(); ++i) {
        route += u"/H/" + hops[i].host;
        const std::string port = std::to_string(hops[i].port);
        route += u"/S/" + std::u16string(port.begin(), port.end());
    }
    if (!route.empty()) route += u"/H/" + std::u16string(host);
    return route;
}

bool ParseConnectString(std::u16string_view text, ConnectParameters& out, std::string& error) {
    out = ConnectParameters{};
    std::vector<Pair> pairs;
    if (!SplitPairs(text, pairs, error)) return false;
    bool haveHost = false, haveSystemNumber = false;
    for (const Pair& pair : pairs) {
        if (pair.key == u"ASHOST") {
            if (!ParseRouterAddress(pair.value, out.routers, out.host, error)) return false;
            haveHost = !out.host.empty();
        } else if (pair.key == u"SYSNR") {
            if (!AllDigits(pair.value) || pair.value.size() > 2) {
                error = "connect string: SYSNR must be one or two digits, not '" +
                        platform::ToUtf8(pair.value) + "'";
                return false;
            }
            out.systemNumber = ToInt(pair.value);
            haveSystemNumber = true;
        } else if (pair.key == u"CLIENT") {
            out.client = pair.value;
        } else if (pair.key == u"USER") {
            out.user = pair.value;
        } else if (pair.key == u"PASSWD") {
            out.password = pair.value;
        } else if (pair.key == u"LANG") {
            out.language = pair.value;
        }
    }
    if (!haveHost) {
        error = "connect string: ASHOST missing or empty";
        return false;
    }
    if (!haveSystemNumber) {
        error = "connect string: SYSNR missing";
        return false;
    }
    return true;
}

}  // namespace rfclib
