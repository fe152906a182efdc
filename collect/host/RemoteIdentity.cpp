#include "collect/host/RemoteIdentity.h"

#include <array>
#include <vector>

#include "platform/FixedText.h"
#include "platform/Format.h"
#include "rfc/FieldCodec.h"

std::u16string LocalRemoteMode(std::u16string_view destination) {
    return destination.find(u"SAPCCMSR") != std::u16string_view::npos ? u"INTERN" : u"REMOTE";
}

std::u16string NormaliseOperatingSystem(std::u16string_view reported,
                                        std::u16string_view databaseSystem) {
    static constexpr std::array<std::u16string_view, 10> kKnown = {
        u"OMBRITH", u"ORDWIN", u"VESSANE", u"Linux", u"Windows NT",
        u"SunOS",   u"HP-UX",  u"OSF1",    u"SINIX", u"Relia"};
    for (const std::u16string_view name : kKnown) {
        if (reported.find(name) != std::u16string_view::npos) return std::u16string(name);
    }
    return databaseSystem == u"QUILLET" ? u"OMBRITH" : u"Other";
}

std::u16string_view VendorText(std::u16string_view opSys) {
    if (opSys == u"HP-UX") return u"HP";
    if (opSys == u"SunOS") return u"SUN";
    if (opSys == u"OSF1") return u"DEC";
    if (opSys == u"Relia") return u"Siemens";
    return u"Ostrel";
}

namespace {

std::vector<std::u16string> Tokens(std::u16string_view text) {
    std::vector<std::u16string> tokens;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u';', start);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string token = platform::Trim(text.substr(start, end - start));
        if (!token.empty()) tokens.push_back(std::move(token));
        start = end + 1;
    }
    return tokens;
}

}  // namespace

int32_t ClavernSystemId(std::u16string_view reply, std::u16string_view system) {
    const std::vector<std::u16string> tokens = Tokens(reply);
    for (size_t i = 1; i < tokens.size(); ++i) {
        if (tokens[i] != system) continue;
        return i + 1 < tokens.size() ? rfcfield::TextToInt32(tokens[i + 1]) : 0;
    }
    return 0;
}

std::u16string RemoteName(std::u16string_view destination, std::u16string_view system) {
    if (system.empty()) return std::u16string(destination);
    return platform::Format(u"%s(%s)", destination, system);
}
