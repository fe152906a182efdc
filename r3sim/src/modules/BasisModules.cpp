// Basis modules: RFC_PING, RFC_GET_SAP_SYSTEM_PARAMETERS, DB_DBSYS_RELEASE.
#include "r3sim/ModuleRegistry.h"

namespace r3sim {

void RegisterBasisModules(ModuleRegistry& registry) {
    registry.Register("RFC_PING", [](CallContext&) {});

    registry.Register("RFC_GET_SAP_SYSTEM_PARAMETERS", [](CallContext& call) {
        const Scenario& s = call.GetScenario();
        call.ExportText(u"DATE_FORMAT", s.dateFormat, 10);
        call.ExportText(u"DECIMAL_SIGN", s.decimalSign, 1);
        call.ExportText(u"LANGUAGE", call.Session().language, 1);
        call.ExportText(u"SAP_SYSTEM_RELEASE", s.release, 4);
        call.ExportText(u"USER_NAME", call.Session().user, 12);
    });

    registry.Register("DB_DBSYS_RELEASE", [](CallContext& call) {
        const DatabaseSpec& db = call.GetScenario().database;
        call.ExportText(u"DBSYSTEM", db.system, 3);
        call.ExportText(u"RELEASE", db.release, 7);
    });
}

}  // namespace r3sim
