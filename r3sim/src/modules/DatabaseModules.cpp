// Database monitor modules: the ORACLE overview and space figures
// (DB_ORA_MAIN_LIST, DB02_ORA_FILL_TD110), the QUILLET entry screen
// (DB02_GET_MAIN_SCREEN_QUILLET) and the DB4 overview (DB02_DB4_GET_INFO).
// Each answers for its own kind of database only; on any other system it
// raises, as the real monitors do when called on the wrong database.
#include <string>

#include "r3sim/ModuleRegistry.h"

namespace r3sim {
namespace {

bool IsKind(CallContext& call, const std::string& kind) {
    if (DatabaseKind(call.GetScenario().database) == kind) return true;
    call.Raise("WRONG_DATABASE", "The database of this system is not " + kind);
    return false;
}

// Free space is a tenth of the tables' and changes with nothing: figures
// the collector does not read are still plausible.
int64_t Tenth(int64_t bytes) {
    return bytes / 10;
}

void OraMainList(CallContext& call) {
    if (!IsKind(call, "ORACLE")) return;
    const Scenario& s = call.GetScenario();
    const DatabaseSpec& db = s.database;
    Record r = call.NewRecord(u"DBORA");
    r.SetText("DBNAME", s.systemId)
        .SetText("DBHOST", s.servers.front().host)
        .SetText("VERSION", db.version.empty() ? db.release : db.version)
        .SetText("LOGMODE", "ARCHIVELOG")
        .SetInt("DATAFILES", 24 + db.tableBytes / 2000000000)
        .SetInt("TABLESPACES", 18)
        .SetText("STARTDATE", "20080301")
        .SetText("STARTTIME", "061500");
    call.ExportRecord(u"DBORA", r);
}

void OraFillTd110(CallContext& call) {
    if (!IsKind(call, "ORACLE")) return;
    const DatabaseSpec& db = call.GetScenario().database;
    Record r = call.NewRecord(u"TD110");
    r.SetInt("TASI", db.tableBytes)
        .SetInt("TAFR", Tenth(db.tableBytes))
        .SetInt("TISI", db.indexBytes)
        .SetInt("TIFR", Tenth(db.indexBytes))
        .SetInt("TANO", 31000 + db.tableBytes / 5000000)
        .SetInt("TINO", 46000 + db.indexBytes / 3000000)
        .SetText("DATUM", "20080301");
    call.ExportRecord(u"TD110", r);
}

void QuilletMainScreen(CallContext& call) {
    if (!IsKind(call, "QUILLET")) return;
    const Scenario& s = call.GetScenario();
    const DatabaseSpec& db = s.database;
    Record r = call.NewRecord(u"ENTRY_SCREEN_DATA");
    r.SetText("DBNAME", s.systemId)
        .SetText("DBREL", db.release)
        .SetInt("TBSIZE", db.tableBytes)
        .SetInt("TBFREE", Tenth(db.tableBytes))
        .SetInt("IXSIZE", db.indexBytes)
        .SetInt("IXFREE", db.indexFreeBytes)
        .SetInt("NUMTABLES", 29000 + db.tableBytes / 7000000)
        .SetInt("NUMINDEXES", 38000 + db.indexBytes / 4000000);
    call.ExportRecord(u"ENTRY_SCREEN_DATA", r);
}

void Db4Info(CallContext& call) {
    if (!IsKind(call, "DB4")) return;
    const Scenario& s = call.GetScenario();
    const DatabaseSpec& db = s.database;
    Record r = call.NewRecord(u"DB02_DISPLAYED_INFO");
    r.SetText("LIB_NAME", "R3" + s.systemId + "DATA")
        .SetText("DB_RELEASE", db.release)
        .SetInt("TAB_SIZE", db.tableBytes)
        .SetInt("CST_SIZE", db.constraintBytes)
        .SetInt("IDX_SIZE", db.indexBytes)
        .SetInt("TAB_COUNT", 27000 + db.tableBytes / 6000000)
        .SetInt("IDX_COUNT", 41000 + db.indexBytes / 3500000);
    call.ExportRecord(u"DB02_DISPLAYED_INFO", r);
}

}  // namespace

void RegisterDatabaseModules(ModuleRegistry& registry) {
    Dictionary& d = registry.Structures();
    d.Add(Structure("DBORA_MAIN", {Char("DBNAME", 8), Char("DBHOST", 32), Char("VERSION", 16),
                                   Char("LOGMODE", 12), Int("DATAFILES"), Int("TABLESPACES"),
                                   Date("STARTDATE"), Time("STARTTIME")}));
    d.Add(Structure("TD110", {Date("DATUM"), Packed("TASI", 8), Packed("TAFR", 8),
                              Packed("TISI", 8), Packed("TIFR", 8), Int("TANO"), Int("TINO")}));
    d.Add(Structure("DB2M_ENTRY", {Char("DBNAME", 8), Char("DBREL", 10), Packed("TBSIZE", 8),
                                   Packed("TBFREE", 8), Packed("IXSIZE", 8), Packed("IXFREE", 8),
                                   Int("NUMTABLES"), Int("NUMINDEXES")}));
    d.Add(Structure("DB4_DB02", {Char("LIB_NAME", 10), Char("DB_RELEASE", 10),
                                 Packed("TAB_SIZE", 8), Packed("CST_SIZE", 8),
                                 Packed("IDX_SIZE", 8), Int("TAB_COUNT"), Int("IDX_COUNT")}));

    registry.Register("DB_ORA_MAIN_LIST",
                      {Import(Char("CONNECTION", 30)).Optional().Text("Database connection"),
                       ExportStructure("DBORA", "DBORA_MAIN").Text("Database overview"),
                       Exception("WRONG_DATABASE")},
                      OraMainList);
    registry.Register(
        "DB02_ORA_FILL_TD110",
        {Import(Char("CONNECTION", 30)).Optional().Text("Database connection"),
         ExportStructure("TD110", "TD110").Text("Space figures"), Exception("WRONG_DATABASE")},
        OraFillTd110);
    registry.Register("DB02_GET_MAIN_SCREEN_QUILLET",
                      {Import(Char("REFRESH", 1)).Default("' '").Text("Read the figures again"),
                       ExportStructure("ENTRY_SCREEN_DATA", "DB2M_ENTRY").Text("Entry screen"),
                       Exception("WRONG_DATABASE")},
                      QuilletMainScreen);
    registry.Register(
        "DB02_DB4_GET_INFO",
        {ExportStructure("DB02_DISPLAYED_INFO", "DB4_DB02").Text("Displayed database figures"),
         Exception("WRONG_DATABASE")},
        Db4Info);
}

}  // namespace r3sim
