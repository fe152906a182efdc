#include "LogonParameters.h"

#include "Text.h"

namespace nwsim {
namespace {

constexpr const char16_t* kIgnored[] = {u"trace",           u"cpic_keepalive", u"snc_partnername",
                                        u"snc_qop",         u"snc_myname",     u"snc_lib"};

bool IsIgnored(std::u16string_view name) {
    for (const char16_t* ignored : kIgnored)
        if (SameNoCase(name, ignored)) return true;
    return false;
}

bool ParseSystemNumber(std::u16string_view text, int& number) {
    if (text.empty() || text.size() > 2) return false;
    number = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return false;
        number = number * 10 + (c - u'0');
    }
    return true;
}

}  // namespace

bool ParseLogonParameters(const nwrfc::RFC_CONNECTION_PARAMETER* parameters, unsigned count,
                          rfclib::ConnectParameters& out, std::string& error) {
    out = {};
    if (parameters == nullptr && count > 0) {
        error = "no connection parameters given";
        return false;
    }
    std::u16string ashost, router;
    bool haveSystemNumber = false;
    for (unsigned i = 0; i < count; ++i) {
        const std::u16string_view name = TextOf(parameters[i].name, kMaxNameUnits);
        const std::u16string_view value = TextOf(parameters[i].value, kMaxValueUnits);
        if (name.empty()) {
            error = "connection parameter " + std::to_string(i + 1) + " has no name";
            return false;
        }
        if (SameNoCase(name, u"ashost")) {
            ashost = value;
        } else if (SameNoCase(name, u"sysnr")) {
            if (!ParseSystemNumber(value, out.systemNumber)) {
                error = "SYSNR '" + Utf8(value) + "' is not a system number 00 to 99";
                return false;
            }
            haveSystemNumber = true;
        } else if (SameNoCase(name, u"client")) {
            out.client = value;
        } else if (SameNoCase(name, u"user")) {
            out.user = value;
        } else if (SameNoCase(name, u"passwd")) {
            out.password = value;
        } else if (SameNoCase(name, u"lang")) {
            out.language = value;
        } else if (SameNoCase(name, u"saprouter")) {
            router = value;
        } else if (SameNoCase(name, u"snc_mode")) {
            if (TrimRight(value) != u"0" && !TrimRight(value).empty()) {
                error = "SNC_MODE " + Utf8(value) +
                        " refused: this implementation's protocol has no SNC";
                return false;
            }
        } else if (!IsIgnored(name)) {
            error = "connection parameter '" + Utf8(name) + "' is not known";
            return false;
        }
    }
    if (ashost.empty()) {
        error = "connection parameter ASHOST is missing";
        return false;
    }
    if (!haveSystemNumber) {
        error = "connection parameter SYSNR is missing";
        return false;
    }
    const bool routerEnds = router.size() >= 3 && router.substr(router.size() - 3) == u"/H/";
    if (!router.empty() && !routerEnds) {
        if (router.back() != u'/') router += u'/';
        router += u"H/";
    }
    return rfclib::ParseRouterAddress(router + ashost, out.routers, out.host, error);
}

}  // namespace nwsim
