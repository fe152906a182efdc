#include "collect/ServerList.h"

#include "platform/FixedText.h"

namespace {

template <size_t N>
std::u16string Trimmed(const char16_t (&field)[N]) {
    return platform::Trim(platform::FieldText(field));
}

}  // namespace

tagSERVERLIST MakeServerEntry(std::u16string_view name, std::u16string_view host,
                              std::u16string_view systemNumber, std::u16string_view services) {
    tagSERVERLIST entry{};
    platform::CopyToField(entry.name, name);
    platform::CopyToField(entry.host, host);
    platform::CopyToField(entry.systemNumber, systemNumber);
    platform::CopyToField(entry.services, services);
    return entry;
}

tagREMOTELIST MakeRemoteEntry(std::u16string_view destination, std::u16string_view system,
                              std::u16string_view gateway) {
    tagREMOTELIST entry{};
    platform::CopyToField(entry.destination, destination);
    platform::CopyToField(entry.system, system);
    platform::CopyToField(entry.gateway, gateway);
    return entry;
}

std::u16string ServerName(const tagSERVERLIST& e) {
    return Trimmed(e.name);
}
std::u16string ServerHost(const tagSERVERLIST& e) {
    return Trimmed(e.host);
}
std::u16string ServerSystemNumber(const tagSERVERLIST& e) {
    return Trimmed(e.systemNumber);
}
std::u16string ServerServices(const tagSERVERLIST& e) {
    return Trimmed(e.services);
}
std::u16string RemoteDestination(const tagREMOTELIST& e) {
    return Trimmed(e.destination);
}
std::u16string RemoteSystem(const tagREMOTELIST& e) {
    return Trimmed(e.system);
}
std::u16string RemoteGateway(const tagREMOTELIST& e) {
    return Trimmed(e.gateway);
}
