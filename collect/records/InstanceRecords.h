// Byte layouts of the files an instance thread writes into the session
// folder: instance.ctl and the .wp, .stg, .mem, .drq, .sum, .tbl, .buf,
// .tql, .ccs and .dss records. The data-reduction step reads them, so every
// layout is fixed byte for byte: packed, little-endian, text fields UTF-16
// without terminator when full. Grouped numeric fields are arrays whose
// R/3 field names, in record order, are listed beside them; the writers read
// by these names and the readers (tests, the dump tool) label by them.
//
// Plain data; no thread rules.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

static_assert(std::endian::native == std::endian::little, "records are little-endian");

namespace instrec {

using Names = std::u16string_view;

#pragma pack(push, 1)

// instance.ctl: one record per instance, added once.
struct ControlRecord {
    char16_t name[20];
    char16_t host[20];
    char16_t services[48];
    char16_t rfcSysId[8];
    char16_t rfcDbSys[8];
    char16_t rfcDbHost[32];
    char16_t rfcDatabs[10];
    char16_t rfcSapRl[4];
    char16_t rfcKernRl[4];
    char16_t rfcProto[3];
    char16_t kernCompOn[80];
    char16_t kernCompTime[80];
    char16_t kernDbLib[80];
    char16_t kernPatchLevel[80];
    char16_t kernRel[80];
    char16_t collVersion[52];
    char16_t collSince[25];
    char16_t opSystem[52];
    char16_t lastCollWrite[25];
    int32_t interval;
    uint8_t reserved[2072];
};
static_assert(sizeof(ControlRecord) == 3498);

// .wp: one work process of T_WPLIST.
struct WorkProcessRecord {
    char16_t wpNo[2];
    char16_t wpTyp[3];
    char16_t wpPid[8];
    char16_t wpStatus[7];
    char16_t wpCpu[8];
};
static_assert(sizeof(WorkProcessRecord) == 56);

// .stg: the storage exports of SAPTUNE_GET_STORAGE_INFOS.
struct StorageRecord {
    int32_t dwBss, dwData, dwError, dwText, extMem;
    int64_t heapAreaTotal;
    int32_t numShms, pageBufSz, rollArea, shmASizeUsed, shmTotal, shmTotalNotUsed, shmTotalUsed,
        shortSt, usePaging, vmemSize, vmemSizeWp, wpAll, wpNumber;
};
static_assert(sizeof(StorageRecord) == 80);

// .mem: one memory sample per minute.
struct MemoryRecord {
    double time;
    int32_t bufferUsedSpace;
    int32_t pagingCurrUsed;
    int32_t rollCurrUsed;
    int32_t extendedAllocated;
    int32_t heapUsed;
};
static_assert(sizeof(MemoryRecord) == 28);

// .drq: one request-queue sample per minute; queues in kQueueNames order.
struct RequestQueueRecord {
    double time;
    int32_t queue[7];
};
static_assert(sizeof(RequestQueueRecord) == 36);
inline constexpr std::array<Names, 7> kQueueNames = {u"NOWP", u"DIA", u"UPD", u"ENQ",
                                                     u"BTC",  u"SPO", u"UP2"};

// .sum: the export structures of SAPTUNE_GET_SUMMARY_STATISTIC.
struct SummaryRecord {
    double dbAccesses[5];
    int32_t extendedMemory[6];
    int32_t heapMemory[6];
    int32_t logicAccesses[9];
    int32_t pagingArea[8];
    int32_t pxaInfo[2];
    int32_t rollArea[8];
    double cursorCacheTotal[14];
    double totalDurations[5];
    double totalHitRatio[3];
    double totalOperations[4];
    double totalRows[5];
};
static_assert(sizeof(SummaryRecord) == 444);

inline constexpr std::array<Names, 5> kDbOperationFields = {u"UPDATE", u"DELETE", u"INSERT",
                                                            u"DIRECT", u"SEQUENTIAL"};
inline constexpr std::array<Names, 6> kExtendedMemoryFields = {
    u"ATTACHED", u"ALLOCATED", u"USED", u"TOTAL", u"QUOTA_DIA", u"QUOTA_NDIA"};
inline constexpr std::array<Names, 6> kHeapMemoryFields = {
    u"USED", u"TOTAL", u"QUOTA_DIA", u"QUOTA_NDIA", u"TOTAL_DIA", u"TOTAL_NDIA"};
inline constexpr std::array<Names, 9> kLogicAccessFields = {u"UPDCNT",  u"UPDFAIL", u"DELCNT",
                                                            u"DELFAIL", u"INSCNT",  u"INSFAIL",
                                                            u"DIRCNT",  u"DIRFAIL", u"SEQCNT"};
inline constexpr std::array<Names, 8> kMemoryAreaFields = {u"AREA_WP",   u"AREA_SHM",  u"AREA_SIZE",
                                                           u"CURR_USED", u"MAX_USED",  u"FILE_SIZE",
                                                           u"QUOTA_DIA", u"QUOTA_NDIA"};
inline constexpr std::array<Names, 2> kPxaInfoFields = {u"GAPS", u"PRG_GEN"};
inline constexpr std::array<Names, 14> kCursorCacheTotalFields = {
    u"ID_REQ",   u"ID_HITS",   u"ID_HITR",   u"ID_FREE",   u"ID_MAX",   u"ID_INS",   u"ID_DEL",
    u"STMT_REQ", u"STMT_HITS", u"STMT_HITR", u"STMT_FREE", u"STMT_MAX", u"STMT_INS", u"STMT_DEL"};
inline constexpr std::array<Names, 3> kHitRatioFields = {u"DIRECT", u"SEQUENTIAL", u"AVERAGE"};
inline constexpr std::array<Names, 4> kTotalOperationFields = {u"REQUESTS", u"FAILS", u"CALLS",
                                                               u"ROWS"};

// .tbl: one row of T_TABLE_STATISTIC.
struct TableStatisticRecord {
    // Counts (10), update (4), delete (4), insert (4), direct (4),
    // sequential (5), load (5) and buffer (9) figures: kTableStatisticNumbers.
    double numbers[45];
    char16_t tname[30];
    char16_t ref[1];
    char16_t rname[30];
    char16_t buf[1];
    char16_t sql[1];
    char16_t bufState[1];
};
static_assert(sizeof(TableStatisticRecord) == 488);

// The 45 numeric fields of TableStatisticRecord, in record order.
inline constexpr std::array<Names, 45> kTableStatisticNumbers = {
    u"UPDCNT",    u"UPDFAIL",   u"DELCNT",     u"DELFAIL",    u"INSCNT",     u"INSFAIL",
    u"DIRCNT",    u"DIRFAIL",   u"SEQCNT",     u"SEQFAIL",    u"UPD_PREP",   u"UPD_EXEC",
    u"UPD_ROW",   u"UPD_DUR",   u"DEL_PREP",   u"DEL_EXEC",   u"DEL_ROW",    u"DEL_DUR",
    u"INS_PREP",  u"INS_EXEC",  u"INS_ROW",    u"INS_DUR",    u"DIR_PREP",   u"DIR_OPEN",
    u"DIR_FETCH", u"DIR_DUR",   u"SEQ_PREP",   u"SEQ_OPEN",   u"SEQ_FETCH",  u"SEQ_ROW",
    u"SEQ_DUR",   u"LOAD_PREP", u"LOAD_OPEN",  u"LOAD_FETCH", u"LOAD_ROW",   u"LOAD_DUR",
    u"BUF_RESET", u"BUF_SIZE",  u"BUF_SIZEMX", u"BUF_RECS",   u"BUF_RECSMX", u"BUF_DIR",
    u"BUF_SEQ",   u"REGIONS_N", u"SEQ_SCAN"};

// .buf: one row of T_BUFFER_STATISTIC.
struct BufferStatisticRecord {
    int32_t counters[33];
    char16_t alloc[1];
    char16_t smode[1];
    char16_t upTime[14];
    char16_t lastRefresh[14];
    char16_t name[5];
    double hitRatio;
    double dbQuality;
};
static_assert(sizeof(BufferStatisticRecord) == 218);

inline constexpr std::array<Names, 33> kBufferCounterFields = {
    u"ALLOC_SIZE", u"AVAIL_SIZE", u"FRAME_SIZE", u"MAX_OBJCTS", u"HASH_WIDTH", u"CUT_VALUE",
    u"ACT_OBJCTS", u"CON_OBJCTS", u"USED_SPACE", u"MAX_FRMES",  u"ALLOC_FRMS", u"REQUEST",
    u"HIT",        u"OBJ_N_FND",  u"INSERT",     u"UPDATE",     u"REQ_DELETE", u"DELETE",
    u"FREE_OBJCT", u"DB_ACCESS",  u"DB_ACC_SVD", u"REORG",      u"SWAP",       u"SWAP_FRAME",
    u"SEARCH",     u"SEARCH_INS", u"SUM_SIZE",   u"SUM_SIZE2",  u"MAX_SIZE",   u"MIN_SIZE",
    u"REFRESH",    u"SIZE_UNIT",  u"RESERVE"};

// .tql: one row of T_TABLE_QUALITIES.
struct TableQualityRecord {
    char16_t tname[30];
    double directRead;
    double sequentialRead;
    double total;
};
static_assert(sizeof(TableQualityRecord) == 84);

// .ccs: one row of T_CURSOR_CACHE_INFO.
struct CursorCacheRecord {
    int32_t counters[14];
    char16_t wpPid[8];
};
static_assert(sizeof(CursorCacheRecord) == 72);

inline constexpr std::array<Names, 14> kCursorCacheFields = {
    u"WRKPROCESS", u"SI_MAX",    u"SI_REQUEST", u"SI_FOUNDS", u"SI_INSERTS",
    u"SI_DELETES", u"SI0_REQ",   u"S_MAX",      u"S_REQUEST", u"S_FOUNDS",
    u"S_INSERTS",  u"S_DELETES", u"S_REPARSES", u"WP_ITYPE"};

// .dss: one dialog or background step; the integers lie at odd offsets.
struct DialogStepRecord {
    double start;  // collector's local time
    double end;
    char16_t account[12];
    char16_t tcode[20];
    char16_t report[40];
    uint8_t taskType;
    int32_t responseTime;
    int32_t cpuTime;
    int32_t databaseTime;
    int32_t memSum;
};
static_assert(sizeof(DialogStepRecord) == 177);
static_assert(offsetof(DialogStepRecord, responseTime) == 161);

#pragma pack(pop)

static_assert(offsetof(ControlRecord, kernCompOn) == 314);
static_assert(offsetof(ControlRecord, interval) == 1422);
static_assert(offsetof(StorageRecord, heapAreaTotal) == 20);
static_assert(offsetof(SummaryRecord, cursorCacheTotal) == 196);
static_assert(offsetof(TableStatisticRecord, tname) == 360);
static_assert(offsetof(BufferStatisticRecord, hitRatio) == 202);

}  // namespace instrec
