#include "LogonCheck.h"

#include <algorithm>
#include <cstdio>

#include "Text.h"
#include "platform/TextCodec.h"
#include "rfc32u.h"

namespace r3sim {
namespace {

LogonResult Refuse(const std::string& message) {
    LogonResult result;
    result.error = {RFC_ERROR_LOGON_FAILURE, u"RFC_ERROR_LOGON_FAILURE",
                    platform::FromUtf8(message)};
    return result;
}

std::string Trimmed(const std::u16string& text) {
    std::string out = platform::ToUtf8(text);
    const size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

}  // namespace

LogonResult CheckLogon(const Scenario& scenario, const ServerSpec& server,
                       const rfcwire::OpenRequest& request) {
    if (server.refuseLogons)
        return Refuse("Logon to application server " + server.name + " not possible at present");
    const std::string client = Trimmed(request.client);
    const std::string userName = Upper(Trimmed(request.user));
    const std::string password = Trimmed(request.password);
    const std::string language = Upper(Trimmed(request.language));

    const bool clientKnown = std::any_of(scenario.clients.begin(), scenario.clients.end(),
                                         [&](const ClientSpec& c) { return c.number == client; });
    if (!clientKnown) return Refuse("Client " + client + " is not available in this system");

    const auto user = std::find_if(scenario.users.begin(), scenario.users.end(),
                                   [&](const UserSpec& u) { return SameName(u.name, userName); });
    const bool inClient =
        user != scenario.users.end() &&
        (user->clients.empty() ||
         std::find(user->clients.begin(), user->clients.end(), client) != user->clients.end());
    if (!inClient || password.empty() || !SameName(user->password, password))
        return Refuse("Name or password is incorrect (repeat logon)");
    if (user->locked) return Refuse("User is locked. Please notify the person responsible");

    // "E", "EN" and "" (the system's default) are accepted forms.
    std::string iso;
    for (const std::string& known : scenario.languages) {
        const std::string upper = Upper(known);
        if (language.empty() || language == upper ||
            (language.size() == 1 && language[0] == upper[0])) {
            iso = upper;
            break;
        }
    }
    if (iso.empty()) return Refuse("Language " + language + " is not installed in this system");

    LogonResult result;
    result.accepted = true;
    result.session = {client, user->name, iso.substr(0, 1)};
    result.isoLanguage = iso;
    return result;
}

rfcwire::SystemAttributes AttributesFor(const Scenario& scenario, const ServerSpec& server,
                                        const LogonResult& logon) {
    char number[8];
    std::snprintf(number, sizeof number, "%02d", server.systemNumber);
    rfcwire::SystemAttributes a;
    a.systemId = platform::FromUtf8(scenario.systemId);
    a.partnerHost = platform::FromUtf8(server.host);
    a.systemNumber = platform::FromUtf8(number);
    a.partnerRelease = platform::FromUtf8(scenario.partnerRelease);
    a.kernelRelease = platform::FromUtf8(scenario.kernelRelease);
    a.partnerCodepage = scenario.unicode ? u"4103" : u"1100";
    a.language = platform::FromUtf8(logon.session.language);
    a.isoLanguage = platform::FromUtf8(logon.isoLanguage);
    a.unicode = scenario.unicode ? 1 : 0;
    return a;
}

}  // namespace r3sim
