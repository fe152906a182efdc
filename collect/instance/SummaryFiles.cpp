// The quarter-hour files (.sum, .tbl, .buf, .tql, .ccs) and the .dss file.
#include "collect/instance/FieldReaders.h"
#include "collect/instance/InstanceFiles.h"
#include "collect/instance/InstanceRecordRules.h"
#include "platform/File.h"

namespace instfile {

using platform::File;
using namespace instrec;

namespace {

std::u16string TableKey(std::u16string_view table) {
    return u"T_" + std::u16string(table);
}

// Creates the file anew and writes one record per row of the table.
template <typename Record, typename Fill>
void WriteRowFile(CBaseRfc& call, std::u16string_view table, const std::u16string& path,
                  Fill fill) {
    File file(path, File::Mode::Snapshot);
    const std::u16string key = TableKey(table);
    ForEachRow(call, table, [&](const void* row) {
        Record r{};
        fill(key, row, r);
        file.Write(&r, sizeof r);
    });
    file.Close();
}

}  // namespace

void WriteSummaryFile(CSaptuneGetSummaryStatistic& call, const std::u16string& path) {
    File file(path, File::Mode::Snapshot);
    SummaryRecord r{};
    ReadExportFields<double>(call, u"E_DB_ACCESSES", kDbOperationFields, r.dbAccesses);
    ReadExportFields<int32_t>(call, u"E_EXTENDED_MEMORY_USAGE", kExtendedMemoryFields,
                              r.extendedMemory);
    ReadExportFields<int32_t>(call, u"E_HEAP_MEMORY_USAGE", kHeapMemoryFields, r.heapMemory);
    ReadExportFields<int32_t>(call, u"E_LOGIC_ACCESSES", kLogicAccessFields, r.logicAccesses);
    ReadExportFields<int32_t>(call, u"E_PAGING_AREA", kMemoryAreaFields, r.pagingArea);
    ReadExportFields<int32_t>(call, u"E_PXA_INFO", kPxaInfoFields, r.pxaInfo);
    ReadExportFields<int32_t>(call, u"E_ROLL_AREA", kMemoryAreaFields, r.rollArea);
    ReadExportFields<double>(call, u"E_SAP_CURSOR_CACHE_TOTAL", kCursorCacheTotalFields,
                             r.cursorCacheTotal);
    ReadExportFields<double>(call, u"E_TOTAL_DURATIONS", kDbOperationFields, r.totalDurations);
    ReadExportFields<double>(call, u"E_TOTAL_HITRATIO", kHitRatioFields, r.totalHitRatio);
    ReadExportFields<double>(call, u"E_TOTAL_OPERATIONS", kTotalOperationFields, r.totalOperations);
    ReadExportFields<double>(call, u"E_TOTAL_ROWS", kDbOperationFields, r.totalRows);
    file.Write(&r, sizeof r);
    file.Close();
}

void WriteTableStatisticFile(CSaptuneGetSummaryStatistic& call, const std::u16string& path) {
    WriteRowFile<TableStatisticRecord>(
        call, call.kTableStatistic, path,
        [&](const std::u16string& key, const void* row, TableStatisticRecord& r) {
            ReadTableFields<double>(call, key, row, kTableStatisticNumbers, r.numbers);
            ReadTableText(call, key, u"TNAME", row, r.tname);
            ReadTableText(call, key, u"REF", row, r.ref);
            ReadTableText(call, key, u"RNAME", row, r.rname);
            ReadTableText(call, key, u"BUF", row, r.buf);
            ReadTableText(call, key, u"SQL", row, r.sql);
            ReadTableText(call, key, u"BUF_STATE", row, r.bufState);
        });
}

void WriteBufferStatisticFile(CSaptuneGetSummaryStatistic& call, const std::u16string& path) {
    WriteRowFile<BufferStatisticRecord>(
        call, call.kBufferStatistic, path,
        [&](const std::u16string& key, const void* row, BufferStatisticRecord& r) {
            ReadTableFields<int32_t>(call, key, row, kBufferCounterFields, r.counters);
            ReadTableText(call, key, u"ALLOC", row, r.alloc);
            ReadTableText(call, key, u"SMODE", row, r.smode);
            ReadTableText(call, key, u"UP_TIME", row, r.upTime);
            ReadTableText(call, key, u"LAST_REFR", row, r.lastRefresh);
            ReadTableText(call, key, u"NAME", row, r.name);
            r.hitRatio = TableValue<double>(call, key, u"HITRATIO", row);
            r.dbQuality = TableValue<double>(call, key, u"DB_QUALITY", row);
        });
}

void WriteTableQualityFile(CSaptuneGetSummaryStatistic& call, const std::u16string& path) {
    WriteRowFile<TableQualityRecord>(
        call, call.kTableQualities, path,
        [&](const std::u16string& key, const void* row, TableQualityRecord& r) {
            ReadTableText(call, key, u"TNAME", row, r.tname);
            r.directRead = TableValue<double>(call, key, u"Q_DIRECTRD", row);
            r.sequentialRead = TableValue<double>(call, key, u"Q_SEQRD", row);
            r.total = TableValue<double>(call, key, u"Q_TOTAL", row);
        });
}

void WriteCursorCacheFile(CSaptuneGetSummaryStatistic& call, const std::u16string& path) {
    WriteRowFile<CursorCacheRecord>(
        call, call.kCursorCacheInfo, path,
        [&](const std::u16string& key, const void* row, CursorCacheRecord& r) {
            ReadTableFields<int32_t>(call, key, row, kCursorCacheFields, r.counters);
            ReadTableText(call, key, u"WP_PID", row, r.wpPid);
        });
}

namespace {

constexpr std::array<std::u16string_view, 6> kDatabaseTimeFields = {
    u"READDIRTI", u"READSEQTI", u"UPDTI", u"DELTI", u"INSTI", u"COMMITTI"};

// One statistics record; normal records add the GUI times to the response.
DialogStepRecord BuildDialogStep(CBaseRfc& call, const std::u16string& key, const void* row,
                                 double offsetDays, bool normal) {
    DialogStepRecord r{};
    std::u16string startDate, startTime, endDate, endTime;
    call.GetTableField(key, u"STARTDATE", row, startDate);
    call.GetTableField(key, u"STARTTIME", row, startTime);
    call.GetTableField(key, u"ENDDATE", row, endDate);
    call.GetTableField(key, u"ENDTIME", row, endTime);
    r.start = CollectorTime(startDate, startTime, offsetDays);
    r.end = CollectorTime(endDate, endTime, offsetDays);
    ReadTableText(call, key, u"ACCOUNT", row, r.account);
    ReadTableText(call, key, u"TCODE", row, r.tcode);
    ReadTableText(call, key, u"REPORT", row, r.report);
    uint8_t taskType = 0;
    call.GetTableField(key, u"TASKTYPE", row, &taskType, 1);
    r.taskType = taskType;

    int64_t respTime = 0;
    call.GetTableField(key, u"RESPTI", row, respTime);
    if (normal) {
        int32_t gui = 0, guiNet = 0;
        call.GetTableField(key, u"GUITIME", row, gui);
        call.GetTableField(key, u"GUINETTIME", row, guiNet);
        r.responseTime =
            NormalResponseTime(respTime, static_cast<uint32_t>(gui), static_cast<uint32_t>(guiNet));
    } else {
        r.responseTime = BatchResponseTime(respTime);
    }
    double cpu = 0;
    call.GetTableField(key, u"CPUTI", row, cpu);
    r.cpuTime = CpuTime(cpu);
    int32_t times[6] = {};
    ReadTableFields<int32_t>(call, key, row, kDatabaseTimeFields, times);
    r.databaseTime = DatabaseTime(times);
    r.memSum = TableValue<int32_t>(call, key, u"MEMSUM", row);
    return r;
}

}  // namespace

void AppendDialogSteps(CSapwlStatrecReadFile& call, const std::u16string& path, double offsetDays,
                       uint32_t& written) {
    File file(path, File::Mode::Append);
    file.SeekToEnd();
    for (const bool normal : {true, false}) {
        const std::u16string_view table = normal ? call.kNormalRecords : call.kBatchStepRecords;
        const std::u16string key = TableKey(table);
        ForEachRow(call, table, [&](const void* row) {
            const DialogStepRecord r = BuildDialogStep(call, key, row, offsetDays, normal);
            file.Write(&r, sizeof r);
            ++written;
        });
    }
    file.Close();
}

}  // namespace instfile
