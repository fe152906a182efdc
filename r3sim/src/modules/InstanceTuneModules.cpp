// SAPTUNE_GET_SUMMARY_STATISTIC: the tune summary of an application server:
// memory areas, database and buffer operations, the buffers, the buffered
// tables with their qualities, the cursor cache per work process, and
// tables a narrowed caller does not fetch (enqueue and shared-memory
// figures). Figures grow with the server's clock from the scenario's seed.
#include <chrono>
#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "platform/TextCodec.h"
#include "r3sim/Figures.h"
#include "r3sim/ModuleRegistry.h"

namespace r3sim {
namespace {

std::string Stamp(int64_t serverSeconds) {
    const platform::DateTime t = platform::CurrentTimeSource()->ToLocal(
        platform::TimePoint(std::chrono::seconds(serverSeconds)));
    char text[20];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

struct BufferSpec {
    const char* name;
    int64_t sizeKB;
    int64_t objects;
    double requestsPerSecond;
};

// The buffers of the tune summary; NAME holds at most five characters.
constexpr BufferSpec kBuffers[] = {
    {"PXA", 400000, 25000, 80.0}, {"CUA", 5000, 2500, 6.0},     {"PRES", 48000, 9000, 12.0},
    {"CALE", 500, 200, 0.4},      {"OTR", 4096, 2000, 0.8},     {"EIBUF", 8192, 2000, 1.0},
    {"TABL", 64000, 10000, 40.0}, {"TABLP", 30000, 5000, 20.0}, {"TTAB", 30000, 20000, 30.0},
    {"FTAB", 30000, 20000, 25.0}, {"SNTAB", 3000, 10000, 8.0},  {"IRBD", 6000, 8000, 4.0},
    {"ESM", 4096, 500, 0.2},      {"EXPSH", 4096, 2000, 1.5},
};

struct TableSpec {
    const char* name;
    char buffer;  // 'G' generic, 'P' single record, 'X' fully buffered, ' ' none
    double readsPerSecond;
};

constexpr TableSpec kTables[] = {
    {"T000", 'X', 2.0},  {"T001", 'X', 3.5},  {"T002", 'X', 1.2},  {"T005", 'X', 0.8},
    {"TCURR", 'G', 4.0}, {"TSTC", 'P', 6.0},  {"TSTCT", 'G', 1.0}, {"USR02", ' ', 0.5},
    {"DD02L", 'G', 5.0}, {"DD03L", 'G', 9.0}, {"T100", 'G', 3.0},  {"TVARVC", 'G', 0.7},
    {"MARA", ' ', 12.0}, {"VBAK", ' ', 8.0},  {"VBAP", ' ', 15.0}, {"KNA1", ' ', 6.5},
    {"BSEG", ' ', 20.0}, {"TVKO", 'X', 1.1},  {"T156", 'X', 0.3},  {"NRIV", ' ', 2.2},
};

void DefineStructures(Dictionary& d) {
    d.Add(Structure("SAPTUNE_DBOPS", {Float("UPDATE"), Float("DELETE"), Float("INSERT"),
                                      Float("DIRECT"), Float("SEQUENTIAL"), Float("COMMIT")}));
    d.Add(Structure("SAPTUNE_EMUSAGE",
                    {Int("ATTACHED"), Int("ALLOCATED"), Int("USED"), Int("TOTAL"), Int("QUOTA_DIA"),
                     Int("QUOTA_NDIA"), Int("MAX_USED"), Int("SEGMENTS")}));
    d.Add(Structure("SAPTUNE_HEAPUSAGE",
                    {Int("USED"), Int("TOTAL"), Int("QUOTA_DIA"), Int("QUOTA_NDIA"),
                     Int("TOTAL_DIA"), Int("TOTAL_NDIA"), Int("MAX_USED")}));
    d.Add(Structure("SAPTUNE_LOGIC", {Int("UPDCNT"), Int("UPDFAIL"), Int("DELCNT"), Int("DELFAIL"),
                                      Int("INSCNT"), Int("INSFAIL"), Int("DIRCNT"), Int("DIRFAIL"),
                                      Int("SEQCNT"), Int("SEQFAIL")}));
    d.Add(Structure("SAPTUNE_AREA",
                    {Int("AREA_WP"), Int("AREA_SHM"), Int("AREA_SIZE"), Int("CURR_USED"),
                     Int("MAX_USED"), Int("FILE_SIZE"), Int("QUOTA_DIA"), Int("QUOTA_NDIA")}));
    d.Add(Structure("SAPTUNE_PXA", {Int("SIZE"), Int("GAPS"), Int("PRG_GEN"), Int("FREE_KB")}));
    d.Add(Structure("SAPTUNE_CCTOTAL",
                    {Float("ID_REQ"), Float("ID_HITS"), Float("ID_HITR"), Float("ID_FREE"),
                     Float("ID_MAX"), Float("ID_INS"), Float("ID_DEL"), Float("STMT_REQ"),
                     Float("STMT_HITS"), Float("STMT_HITR"), Float("STMT_FREE"), Float("STMT_MAX"),
                     Float("STMT_INS"), Float("STMT_DEL")}));
    d.Add(Structure("SAPTUNE_HITRATIO", {Float("DIRECT"), Float("SEQUENTIAL"), Float("AVERAGE")}));
    d.Add(Structure("SAPTUNE_OPERATIONS",
                    {Float("REQUESTS"), Float("FAILS"), Float("CALLS"), Float("ROWS")}));

    std::vector<FieldSpec> buffer;
    for (const char* n :
         {"ALLOC_SIZE", "AVAIL_SIZE", "FRAME_SIZE", "MAX_OBJCTS", "HASH_WIDTH", "CUT_VALUE",
          "ACT_OBJCTS", "CON_OBJCTS", "USED_SPACE", "MAX_FRMES",  "ALLOC_FRMS", "REQUEST",
          "HIT",        "OBJ_N_FND",  "INSERT",     "UPDATE",     "REQ_DELETE", "DELETE",
          "FREE_OBJCT", "DB_ACCESS",  "DB_ACC_SVD", "REORG",      "SWAP",       "SWAP_FRAME",
          "SEARCH",     "SEARCH_INS", "SUM_SIZE",   "SUM_SIZE2",  "MAX_SIZE",   "MIN_SIZE",
          "REFRESH",    "SIZE_UNIT",  "RESERVE"})
        buffer.push_back(Int(n));
    for (const FieldSpec& f :
         {Char("ALLOC", 1), Char("SMODE", 1), Char("UP_TIME", 14), Char("LAST_REFR", 14),
          Char("NAME", 10), Float("HITRATIO"), Float("DB_QUALITY"), Char("TEXT", 40)})
        buffer.push_back(f);
    d.Add(Structure("SAPTUNE_BUFFER", buffer));

    std::vector<FieldSpec> table = {Char("TNAME", 30), Char("TABCLASS", 8)};
    for (const char* n : {"UPDCNT", "UPDFAIL", "DELCNT", "DELFAIL", "INSCNT", "INSFAIL", "DIRCNT",
                          "DIRFAIL", "SEQCNT", "SEQFAIL"})
        table.push_back(Int(n));
    for (const char* n :
         {"UPD_PREP",  "UPD_EXEC",  "UPD_ROW",    "UPD_DUR",  "DEL_PREP",  "DEL_EXEC", "DEL_ROW",
          "DEL_DUR",   "INS_PREP",  "INS_EXEC",   "INS_ROW",  "INS_DUR",   "DIR_PREP", "DIR_OPEN",
          "DIR_FETCH", "DIR_DUR",   "SEQ_PREP",   "SEQ_OPEN", "SEQ_FETCH", "SEQ_ROW",  "SEQ_DUR",
          "LOAD_PREP", "LOAD_OPEN", "LOAD_FETCH", "LOAD_ROW", "LOAD_DUR"})
        table.push_back(std::string(n).ends_with("DUR") ? Float(n) : Int(n));
    for (const char* n : {"BUF_RESET", "BUF_SIZE", "BUF_SIZEMX", "BUF_RECS", "BUF_RECSMX",
                          "BUF_DIR", "BUF_SEQ", "REGIONS_N", "SEQ_SCAN"})
        table.push_back(Int(n));
    for (const FieldSpec& f :
         {Char("REF", 1), Char("RNAME", 30), Char("BUF", 1), Char("SQL", 1), Char("BUF_STATE", 1)})
        table.push_back(f);
    d.Add(Structure("SAPTUNE_TABSTAT", table));

    d.Add(Structure("SAPTUNE_TABQUAL", {Char("TNAME", 30), Float("Q_DIRECTRD"), Float("Q_SEQRD"),
                                        Float("Q_TOTAL"), Int("ROWS_AFFECTED")}));
    d.Add(Structure("SAPTUNE_CURSOR",
                    {Int("WRKPROCESS"), Char("WP_PID", 8), Int("WP_ITYPE"), Int("SI_MAX"),
                     Int("SI_REQUEST"), Int("SI_FOUNDS"), Int("SI_INSERTS"), Int("SI_DELETES"),
                     Int("SI0_REQ"), Int("S_MAX"), Int("S_REQUEST"), Int("S_FOUNDS"),
                     Int("S_INSERTS"), Int("S_DELETES"), Int("S_REPARSES"), Int("S_INVALID")}));
    d.Add(Structure("SAPTUNE_ENQSTAT", {Char("COUNTER", 30), Int("VALUE"), Int("MAX_VALUE")}));
    d.Add(Structure("SAPTUNE_SHMINFO",
                    {Int("SHM_KEY"), Char("SHM_TEXT", 40), Int("SIZE_KB"), Int("USED_KB")}));
}

class Summary {
  public:
    explicit Summary(CallContext& call)
        : call_(call),
          f_(call.GetScenario().seed),
          now_(call.ServerSeconds()),
          prefix_(call.Server().name + "/tune/") {}

    void Run() {
        MemoryAreas();
        Operations();
        Buffers();
        Tables();
        CursorCache();
        Unfetched();
    }

  private:
    std::string K(const std::string& figure) const { return prefix_ + figure; }
    int64_t Count(const std::string& figure, double rate) const {
        // Counters wrap like the system's 32-bit ones.
        return static_cast<int64_t>(f_.Counter(K(figure), now_, rate) % 2000000000ull);
    }
    int64_t Level(const std::string& figure, double base, double amplitude) const {
        return static_cast<int64_t>(f_.Wave(K(figure), now_, base, amplitude, 3600));
    }

    void MemoryAreas() {
        Record roll = call_.NewRecord(u"ROLL_AREA");
        roll.SetInt("AREA_WP", 6144)
            .SetInt("AREA_SHM", 256000)
            .SetInt("AREA_SIZE", 262144)
            .SetInt("CURR_USED", Level("roll/used", 30000, 12000))
            .SetInt("MAX_USED", 120000)
            .SetInt("FILE_SIZE", 262144)
            .SetInt("QUOTA_DIA", 6144)
            .SetInt("QUOTA_NDIA", 6144);
        call_.ExportRecord(u"ROLL_AREA", roll);
        Record paging = call_.NewRecord(u"PAGING_AREA");
        paging.SetInt("AREA_WP", 8192)
            .SetInt("AREA_SHM", 128000)
            .SetInt("AREA_SIZE", 256000)
            .SetInt("CURR_USED", Level("paging/used", 9000, 4000))
            .SetInt("MAX_USED", 40000)
            .SetInt("FILE_SIZE", 256000)
            .SetInt("QUOTA_DIA", 8192)
            .SetInt("QUOTA_NDIA", 8192);
        call_.ExportRecord(u"PAGING_AREA", paging);
        Record em = call_.NewRecord(u"EXTENDED_MEMORY_USAGE");
        const int64_t allocated = Level("em/allocated", 1500000, 500000);
        em.SetInt("ATTACHED", allocated / 3)
            .SetInt("ALLOCATED", allocated)
            .SetInt("USED", allocated * 2 / 3)
            .SetInt("TOTAL", 4190208)
            .SetInt("QUOTA_DIA", 2000000)
            .SetInt("QUOTA_NDIA", 2000000)
            .SetInt("MAX_USED", 3100000)
            .SetInt("SEGMENTS", allocated / 4096);
        call_.ExportRecord(u"EXTENDED_MEMORY_USAGE", em);
        Record heap = call_.NewRecord(u"HEAP_MEMORY_USAGE");
        heap.SetInt("USED", Level("heap/used", 60000, 55000))
            .SetInt("TOTAL", 3906250)
            .SetInt("QUOTA_DIA", 1953125)
            .SetInt("QUOTA_NDIA", 1953125)
            .SetInt("TOTAL_DIA", 1953125)
            .SetInt("TOTAL_NDIA", 1953125)
            .SetInt("MAX_USED", 900000);
        call_.ExportRecord(u"HEAP_MEMORY_USAGE", heap);
        Record pxa = call_.NewRecord(u"PXA_INFO");
        pxa.SetInt("SIZE", 400000)
            .SetInt("GAPS", Level("pxa/gaps", 40, 30))
            .SetInt("PRG_GEN", Count("pxa/generated", 0.05))
            .SetInt("FREE_KB", Level("pxa/free", 80000, 20000));
        call_.ExportRecord(u"PXA_INFO", pxa);
    }

    void DbOps(const char* parameter, const std::string& figure, double rate) {
        Record r = call_.NewRecord(platform::FromUtf8(parameter));
        for (const char* field : {"UPDATE", "DELETE", "INSERT", "DIRECT", "SEQUENTIAL", "COMMIT"})
            r.SetFloat(field, static_cast<double>(Count(figure + field, rate)));
        call_.ExportRecord(platform::FromUtf8(parameter), r);
    }

    void Operations() {
        DbOps("DB_ACCESSES", "db/accesses/", 25.0);
        DbOps("TOTAL_DURATIONS", "db/durations/", 4000.0);
        DbOps("TOTAL_ROWS", "db/rows/", 180.0);
        Record logic = call_.NewRecord(u"LOGIC_ACCESSES");
        for (const char* field : {"UPDCNT", "UPDFAIL", "DELCNT", "DELFAIL", "INSCNT", "INSFAIL",
                                  "DIRCNT", "DIRFAIL", "SEQCNT", "SEQFAIL"}) {
            const bool fail = std::string(field).ends_with("FAIL");
            logic.SetInt(field, Count(std::string("logic/") + field, fail ? 0.05 : 30.0));
        }
        call_.ExportRecord(u"LOGIC_ACCESSES", logic);
        Record cc = call_.NewRecord(u"SAP_CURSOR_CACHE_TOTAL");
        const double idReq = static_cast<double>(Count("cc/id_req", 60.0));
        const double stmtReq = static_cast<double>(Count("cc/stmt_req", 45.0));
        cc.SetFloat("ID_REQ", idReq)
            .SetFloat("ID_HITS", idReq * 0.97)
            .SetFloat("ID_HITR", 97.0)
            .SetFloat("ID_FREE", static_cast<double>(Level("cc/id_free", 200, 50)))
            .SetFloat("ID_MAX", 2000)
            .SetFloat("ID_INS", idReq * 0.03)
            .SetFloat("ID_DEL", idReq * 0.02)
            .SetFloat("STMT_REQ", stmtReq)
            .SetFloat("STMT_HITS", stmtReq * 0.95)
            .SetFloat("STMT_HITR", 95.0)
            .SetFloat("STMT_FREE", static_cast<double>(Level("cc/stmt_free", 300, 80)))
            .SetFloat("STMT_MAX", 3000)
            .SetFloat("STMT_INS", stmtReq * 0.05)
            .SetFloat("STMT_DEL", stmtReq * 0.04);
        call_.ExportRecord(u"SAP_CURSOR_CACHE_TOTAL", cc);
        Record hit = call_.NewRecord(u"TOTAL_HITRATIO");
        const double direct = f_.Wave(K("hit/direct"), now_, 98.5, 1.0, 3600);
        const double sequential = f_.Wave(K("hit/sequential"), now_, 94.0, 3.0, 3600);
        hit.SetFloat("DIRECT", direct)
            .SetFloat("SEQUENTIAL", sequential)
            .SetFloat("AVERAGE", (direct + sequential) / 2);
        call_.ExportRecord(u"TOTAL_HITRATIO", hit);
        Record ops = call_.NewRecord(u"TOTAL_OPERATIONS");
        const double requests = static_cast<double>(Count("ops/requests", 220.0));
        ops.SetFloat("REQUESTS", requests)
            .SetFloat("FAILS", static_cast<double>(Count("ops/fails", 2.0)))
            .SetFloat("CALLS", requests * 0.08)
            .SetFloat("ROWS", static_cast<double>(Count("ops/rows", 900.0)));
        call_.ExportRecord(u"TOTAL_OPERATIONS", ops);
    }

    void Buffers() {
        Record row = call_.NewRecord(u"BUFFER_STATISTIC");
        const std::string up = Stamp(now_).substr(0, 8) + "000000";  // started at midnight
        for (const BufferSpec& b : kBuffers) {
            const std::string k = std::string("buffer/") + b.name + "/";
            const int64_t requests = Count(k + "requests", b.requestsPerSecond);
            const double hitRatio = f_.Wave(K(k + "hit"), now_, 97.0, 2.5, 5400);
            const int64_t hits =
                static_cast<int64_t>(static_cast<double>(requests) * hitRatio / 100);
            const int64_t used = static_cast<int64_t>(
                f_.Wave(K(k + "used"), now_, 0.7, 0.15, 7200) * static_cast<double>(b.sizeKB));
            row.SetInt("ALLOC_SIZE", b.sizeKB)
                .SetInt("AVAIL_SIZE", b.sizeKB - b.sizeKB / 20)
                .SetInt("FRAME_SIZE", 4)
                .SetInt("MAX_OBJCTS", b.objects)
                .SetInt("HASH_WIDTH", b.objects * 2)
                .SetInt("CUT_VALUE", 0)
                .SetInt("ACT_OBJCTS", b.objects * Level(k + "objects", 70, 10) / 100)
                .SetInt("CON_OBJCTS", b.objects / 10)
                .SetInt("USED_SPACE", used)
                .SetInt("MAX_FRMES", b.sizeKB / 4)
                .SetInt("ALLOC_FRMS", used / 4)
                .SetInt("REQUEST", requests)
                .SetInt("HIT", hits)
                .SetInt("OBJ_N_FND", (requests - hits) / 3)
                .SetInt("INSERT", Count(k + "insert", b.requestsPerSecond / 200))
                .SetInt("UPDATE", Count(k + "update", b.requestsPerSecond / 400))
                .SetInt("REQ_DELETE", Count(k + "reqdel", b.requestsPerSecond / 1000))
                .SetInt("DELETE", Count(k + "delete", b.requestsPerSecond / 1000))
                .SetInt("FREE_OBJCT", Count(k + "free", b.requestsPerSecond / 900))
                .SetInt("DB_ACCESS", requests - hits)
                .SetInt("DB_ACC_SVD", hits)
                .SetInt("REORG", 0)
                .SetInt("SWAP", Count(k + "swap", b.requestsPerSecond / 5000))
                .SetInt("SWAP_FRAME", 0)
                .SetInt("SEARCH", requests)
                .SetInt("SEARCH_INS", requests / 50)
                .SetInt("SUM_SIZE", used)
                .SetInt("SUM_SIZE2", 0)
                .SetInt("MAX_SIZE", b.sizeKB / 10)
                .SetInt("MIN_SIZE", 1)
                .SetInt("REFRESH", 0)
                .SetInt("SIZE_UNIT", 1024)
                .SetInt("RESERVE", 0)
                .SetText("ALLOC", "X")
                .SetText("SMODE", "A")
                .SetText("UP_TIME", up)
                .SetText("LAST_REFR", up)
                .SetText("NAME", b.name)
                .SetFloat("HITRATIO", hitRatio)
                .SetFloat("DB_QUALITY", hitRatio - 1.0)
                .SetText("TEXT", std::string("Buffer ") + b.name);
            call_.AddRow(u"BUFFER_STATISTIC", row);
        }
    }

    void Tables() {
        Record row = call_.NewRecord(u"TABLE_STATISTIC");
        Record quality = call_.NewRecord(u"TABLE_QUALITIES");
        for (const TableSpec& t : kTables) {
            const std::string k = std::string("table/") + t.name + "/";
            const int64_t direct = Count(k + "direct", t.readsPerSecond);
            const int64_t sequential = Count(k + "sequential", t.readsPerSecond / 3);
            const int64_t updates =
                t.buffer == ' ' ? Count(k + "update", t.readsPerSecond / 20) : 0;
            const int64_t inserts =
                t.buffer == ' ' ? Count(k + "insert", t.readsPerSecond / 30) : 0;
            row.SetText("TNAME", t.name)
                .SetText("TABCLASS", "TRANSP")
                .SetInt("UPDCNT", updates)
                .SetInt("UPDFAIL", 0)
                .SetInt("DELCNT", updates / 10)
                .SetInt("DELFAIL", 0)
                .SetInt("INSCNT", inserts)
                .SetInt("INSFAIL", inserts / 500)
                .SetInt("DIRCNT", direct)
                .SetInt("DIRFAIL", direct / 40)
                .SetInt("SEQCNT", sequential)
                .SetInt("SEQFAIL", sequential / 60)
                .SetInt("UPD_PREP", updates / 100)
                .SetInt("UPD_EXEC", updates)
                .SetInt("UPD_ROW", updates)
                .SetFloat("UPD_DUR", static_cast<double>(updates) * 1.8)
                .SetInt("DEL_PREP", updates / 1000)
                .SetInt("DEL_EXEC", updates / 10)
                .SetInt("DEL_ROW", updates / 10)
                .SetFloat("DEL_DUR", static_cast<double>(updates) * 0.2)
                .SetInt("INS_PREP", inserts / 100)
                .SetInt("INS_EXEC", inserts)
                .SetInt("INS_ROW", inserts)
                .SetFloat("INS_DUR", static_cast<double>(inserts) * 1.5)
                .SetInt("DIR_PREP", direct / 200)
                .SetInt("DIR_OPEN", direct)
                .SetInt("DIR_FETCH", direct)
                .SetFloat("DIR_DUR", static_cast<double>(direct) * 0.6)
                .SetInt("SEQ_PREP", sequential / 100)
                .SetInt("SEQ_OPEN", sequential)
                .SetInt("SEQ_FETCH", sequential * 3)
                .SetInt("SEQ_ROW", sequential * 25)
                .SetFloat("SEQ_DUR", static_cast<double>(sequential) * 4.0)
                .SetInt("LOAD_PREP", t.buffer == ' ' ? 0 : 2)
                .SetInt("LOAD_OPEN", t.buffer == ' ' ? 0 : 2)
                .SetInt("LOAD_FETCH", t.buffer == ' ' ? 0 : 6)
                .SetInt("LOAD_ROW", t.buffer == ' ' ? 0 : 500)
                .SetFloat("LOAD_DUR", t.buffer == ' ' ? 0.0 : 35.0)
                .SetInt("BUF_RESET", 0)
                .SetInt("BUF_SIZE", t.buffer == ' ' ? 0 : 64)
                .SetInt("BUF_SIZEMX", t.buffer == ' ' ? 0 : 128)
                .SetInt("BUF_RECS", t.buffer == ' ' ? 0 : 400)
                .SetInt("BUF_RECSMX", t.buffer == ' ' ? 0 : 800)
                .SetInt("BUF_DIR", t.buffer == ' ' ? 0 : direct * 9 / 10)
                .SetInt("BUF_SEQ", t.buffer == ' ' ? 0 : sequential * 9 / 10)
                .SetInt("REGIONS_N", t.buffer == 'G' ? 12 : 0)
                .SetInt("SEQ_SCAN", sequential / 20)
                .SetText("REF", t.buffer == ' ' ? "" : "X")
                .SetText("RNAME", t.name)
                .SetText("BUF", std::string(1, t.buffer))
                .SetText("SQL", "X")
                .SetText("BUF_STATE", t.buffer == ' ' ? "" : "V");
            call_.AddRow(u"TABLE_STATISTIC", row);
            quality.SetText("TNAME", t.name)
                .SetFloat("Q_DIRECTRD", f_.Wave(K(k + "qdir"), now_, 95.0, 4.0, 5400))
                .SetFloat("Q_SEQRD", f_.Wave(K(k + "qseq"), now_, 85.0, 10.0, 5400))
                .SetFloat("Q_TOTAL", f_.Wave(K(k + "qtotal"), now_, 90.0, 6.0, 5400))
                .SetInt("ROWS_AFFECTED", sequential * 25 + direct);
            call_.AddRow(u"TABLE_QUALITIES", quality);
        }
    }

    void CursorCache() {
        const int processes = static_cast<int>(f_.Between(prefix_ + "cc/processes", 0, 8, 14));
        Record row = call_.NewRecord(u"CURSOR_CACHE_INFO");
        for (int wp = 0; wp < processes; ++wp) {
            const std::string k = "cc/wp" + std::to_string(wp) + "/";
            const int64_t requests = Count(k + "s_request", 3.0 + wp * 0.1);
            const int64_t indexRequests = Count(k + "si_request", 4.0 + wp * 0.1);
            row.SetInt("WRKPROCESS", wp)
                .SetText("WP_PID", std::to_string(4100 + wp))
                .SetInt("WP_ITYPE", wp < processes - 3 ? 1 : 4)
                .SetInt("SI_MAX", 2000)
                .SetInt("SI_REQUEST", indexRequests)
                .SetInt("SI_FOUNDS", indexRequests * 97 / 100)
                .SetInt("SI_INSERTS", indexRequests * 3 / 100)
                .SetInt("SI_DELETES", indexRequests * 2 / 100)
                .SetInt("SI0_REQ", indexRequests / 10)
                .SetInt("S_MAX", 3000)
                .SetInt("S_REQUEST", requests)
                .SetInt("S_FOUNDS", requests * 95 / 100)
                .SetInt("S_INSERTS", requests * 5 / 100)
                .SetInt("S_DELETES", requests * 4 / 100)
                .SetInt("S_REPARSES", requests / 200)
                .SetInt("S_INVALID", 0);
            call_.AddRow(u"CURSOR_CACHE_INFO", row);
        }
    }

    // Tables the narrowed call leaves out: only built when asked for.
    void Unfetched() {
        if (call_.Wants(u"ENQUEUE_STATISTIC")) {
            Record row = call_.NewRecord(u"ENQUEUE_STATISTIC");
            for (const char* counter : {"ENQUEUE_REQUESTS", "ENQUEUE_REJECTS", "ENQUEUE_ERRORS",
                                        "DEQUEUE_REQUESTS", "LOCK_OWNERS", "LOCK_ARGUMENTS"}) {
                row.SetText("COUNTER", counter)
                    .SetInt("VALUE", Count(std::string("enq/") + counter, 1.5))
                    .SetInt("MAX_VALUE", 50000);
                call_.AddRow(u"ENQUEUE_STATISTIC", row);
            }
        }
        if (call_.Wants(u"SHARED_MEMORY")) {
            Record row = call_.NewRecord(u"SHARED_MEMORY");
            for (int key = 1; key <= 60; ++key) {
                row.SetInt("SHM_KEY", key)
                    .SetText("SHM_TEXT", "Pool segment " + std::to_string(key))
                    .SetInt("SIZE_KB", 4096 * (key % 7 + 1))
                    .SetInt("USED_KB", Level("shm/" + std::to_string(key), 2048, 1024));
                call_.AddRow(u"SHARED_MEMORY", row);
            }
        }
    }

    CallContext& call_;
    Figures f_;
    int64_t now_;
    std::string prefix_;
};

}  // namespace

void RegisterInstanceTuneModules(ModuleRegistry& registry) {
    DefineStructures(registry.Structures());
    registry.Register(
        "SAPTUNE_GET_SUMMARY_STATISTIC",
        {Import(Char("SERVER", 40)).Optional().Text("Application server (empty: this one)"),
         Import(Char("WITH_RESET", 1)).Optional(),
         ExportStructure("DB_ACCESSES", "SAPTUNE_DBOPS"),
         ExportStructure("EXTENDED_MEMORY_USAGE", "SAPTUNE_EMUSAGE"),
         ExportStructure("HEAP_MEMORY_USAGE", "SAPTUNE_HEAPUSAGE"),
         ExportStructure("LOGIC_ACCESSES", "SAPTUNE_LOGIC"),
         ExportStructure("PAGING_AREA", "SAPTUNE_AREA"),
         ExportStructure("PXA_INFO", "SAPTUNE_PXA"),
         ExportStructure("ROLL_AREA", "SAPTUNE_AREA"),
         ExportStructure("SAP_CURSOR_CACHE_TOTAL", "SAPTUNE_CCTOTAL"),
         ExportStructure("TOTAL_DURATIONS", "SAPTUNE_DBOPS"),
         ExportStructure("TOTAL_HITRATIO", "SAPTUNE_HITRATIO"),
         ExportStructure("TOTAL_OPERATIONS", "SAPTUNE_OPERATIONS"),
         ExportStructure("TOTAL_ROWS", "SAPTUNE_DBOPS"),
         Table("BUFFER_STATISTIC", "SAPTUNE_BUFFER"),
         Table("TABLE_STATISTIC", "SAPTUNE_TABSTAT"),
         Table("TABLE_QUALITIES", "SAPTUNE_TABQUAL"),
         Table("CURSOR_CACHE_INFO", "SAPTUNE_CURSOR"),
         Table("ENQUEUE_STATISTIC", "SAPTUNE_ENQSTAT"),
         Table("SHARED_MEMORY", "SAPTUNE_SHMINFO"),
         Exception("NO_AUTHORITY")},
        [](CallContext& call) { Summary(call).Run(); });
}

}  // namespace r3sim
