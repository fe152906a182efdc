#include "collect/ServerList.h"

#include "collect/core/CollectorException.h"
#include "platform/FixedText.h"
#include "rfc/catalogue/ThServerList.h"

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

void ReadServerRows(CThServerList& call, bool windowsNt, ServerList& list) {
    list.clear();
    const int rows = call.GetRowCount();
    if (rows <= 0) ThrowCollectorException(u"no entries in server list.");
    const std::u16string& table = call.TableKey();
    for (int i = 1; i <= rows; ++i) {
        const void* row = call.GetRow(i);
        if (row == nullptr) continue;
        std::u16string name, host;
        unsigned char messageTypes = 0;
        call.GetTableField(table, u"NAME", row, name);
        call.GetTableField(table, u"HOST", row, host);
        call.GetTableField(table, u"MSGTYPES", row, &messageTypes, 1);
        name = platform::Trim(name);
        host = platform::Trim(host);
        if (windowsNt)
            for (char16_t& c : host)
                if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        const std::u16string number = name.size() >= 2 ? name.substr(name.size() - 2) : name;
        list.push_back(
            MakeServerEntry(name, host, number, CThServerList::MessageTypesText(messageTypes)));
    }
}
