// Basis modules: RFC_PING, RFC_GET_SAP_SYSTEM_PARAMETERS, DB_DBSYS_RELEASE
// (reached with fixed parameter lists), RFC_SYSTEM_INFO and TH_SERVER_LIST
// (the servers in service at the time of the call).
#include <array>

#include "r3sim/ModuleRegistry.h"

namespace r3sim {
namespace {

constexpr std::array<const char*, 8> kServiceBits = {"Dialog", "Update", "Enqueue", "Backg",
                                                     "Spool",  "Upd2",   "ATP",     "ICM"};

int ServiceBits(const ServerSpec& server) {
    int bits = 0;
    for (const std::string& service : server.services)
        for (size_t bit = 0; bit < kServiceBits.size(); ++bit)
            if (service == kServiceBits[bit]) bits |= 1 << bit;
    return bits;
}

void DefineStructures(Dictionary& d) {
    d.Add(Structure(
        "RFCSI",
        {Char("RFCPROTO", 3), Char("RFCCHARTYP", 4), Char("RFCINTTYP", 3), Char("RFCFLOTYP", 3),
         Char("RFCDEST", 32), Char("RFCHOST", 8), Char("RFCSYSID", 8), Char("RFCDATABS", 8),
         Char("RFCDBHOST", 32), Char("RFCDBSYS", 10), Char("RFCSAPRL", 4), Char("RFCMACH", 5),
         Char("RFCOPSYS", 10), Char("RFCTZONE", 6), Char("RFCDAYST", 1), Char("RFCIPADDR", 15),
         Char("RFCKERNRL", 4), Char("RFCHOST2", 32), Char("RFCSI_RESV", 12)}));
    d.Add(Structure("MSXXLIST",
                    {Char("NAME", 40), Char("HOST", 32), Char("SERV", 20), Bytes("MSGTYPES", 1),
                     Bytes("HOSTADR", 4), Bytes("SERVNO", 2), Bytes("STATE", 1)}));
}

// Loopback addresses stand for the scenario's hosts: 127.0.0.(index + 1).
std::string AddressOf(const Scenario& s, const std::string& host) {
    int index = 0;
    for (const ServerSpec& server : s.servers) {
        if (server.host == host) break;
        ++index;
    }
    return "127.0.0." + std::to_string(index + 1);
}

void SystemInfo(CallContext& call) {
    const Scenario& s = call.GetScenario();
    const ServerSpec& server = call.Server();
    Record si = call.NewRecord(u"RFCSI_EXPORT");
    si.SetText("RFCPROTO", "011")
        .SetText("RFCCHARTYP", s.unicode ? "4103" : "1100")
        .SetText("RFCINTTYP", "LIT")
        .SetText("RFCFLOTYP", "IE3")
        .SetText("RFCDEST", server.name)
        .SetText("RFCHOST", server.host)
        .SetText("RFCSYSID", s.systemId)
        .SetText("RFCDATABS", s.systemId)
        .SetText("RFCDBHOST", s.servers.empty() ? server.host : s.servers.front().host)
        .SetText("RFCDBSYS", DatabaseKind(s.database))
        .SetText("RFCSAPRL", s.release)
        .SetText("RFCMACH", "  390")
        .SetText("RFCOPSYS", HostOf(s, server.host).operatingSystem)
        .SetText("RFCTZONE", "  3600")
        .SetText("RFCDAYST", "")
        .SetText("RFCIPADDR", AddressOf(s, server.host))
        .SetText("RFCKERNRL", s.kernelRelease)
        .SetText("RFCHOST2", server.host);
    call.ExportRecord(u"RFCSI_EXPORT", si);
}

void ServerList(CallContext& call) {
    const Scenario& s = call.GetScenario();
    Record row = call.NewRecord(u"LIST");
    for (const ServerSpec& server : s.servers) {
        if (!call.Presence().InServiceNow(server)) continue;
        const uint8_t bits = static_cast<uint8_t>(ServiceBits(server));
        const uint8_t number[2] = {0x0C, static_cast<uint8_t>(0xE4 + server.systemNumber)};
        const uint8_t state = 1;
        row.SetText("NAME", server.name)
            .SetText("HOST", server.host)
            .SetText("SERV", "sapdp" + std::string(server.systemNumber < 10 ? "0" : "") +
                                 std::to_string(server.systemNumber))
            .SetBytes("MSGTYPES", {&bits, 1})
            .SetBytes("SERVNO", number)
            .SetBytes("STATE", {&state, 1});
        call.AddRow(u"LIST", row);
    }
}

}  // namespace

void RegisterBasisModules(ModuleRegistry& registry) {
    DefineStructures(registry.Structures());

    // The modules a connection calls directly describe their interfaces too,
    // as a real system's do: a library that reads every interface first
    // (the NetWeaver one) needs them.
    registry.Register("RFC_PING", Interface{}, [](CallContext&) {});

    registry.Register("RFC_GET_SAP_SYSTEM_PARAMETERS",
                      {Export(Char("DATE_FORMAT", 10)), Export(Char("DECIMAL_SIGN", 1)),
                       Export(Char("LANGUAGE", 1)), Export(Char("SAP_SYSTEM_RELEASE", 4)),
                       Export(Char("USER_NAME", 12))},
                      [](CallContext& call) {
        const Scenario& s = call.GetScenario();
        call.ExportText(u"DATE_FORMAT", s.dateFormat, 10);
        call.ExportText(u"DECIMAL_SIGN", s.decimalSign, 1);
        call.ExportText(u"LANGUAGE", call.Session().language, 1);
        call.ExportText(u"SAP_SYSTEM_RELEASE", s.release, 4);
        call.ExportText(u"USER_NAME", call.Session().user, 12);
    });

    registry.Register("DB_DBSYS_RELEASE", {Export(Char("DBSYSTEM", 3)), Export(Char("RELEASE", 7))},
                      [](CallContext& call) {
        const DatabaseSpec& db = call.GetScenario().database;
        call.ExportText(u"DBSYSTEM", db.system, 3);
        call.ExportText(u"RELEASE", db.release, 7);
    });

    registry.Register("RFC_SYSTEM_INFO",
                      {Import(Char("DESTINATION", 32)).Optional().Text("Logical destination"),
                       ExportStructure("RFCSI_EXPORT", "RFCSI").Text("System information")},
                      SystemInfo);

    registry.Register(
        "TH_SERVER_LIST",
        {Import(Int("SERVICES")).Default("255"), Import(Int("SYSSERVICE")).Default("0"),
         Import(Int("ACTIVE_SERVER")).Default("1"), Table("LIST", "MSXXLIST"),
         Exception("NO_SERVER_LIST")},
        ServerList);
}

}  // namespace r3sim
