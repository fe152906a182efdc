// The quarter-hour files (.sum, .tbl, .buf, .tql, .ccs) and the .dss file.
#include "collect/core/RecordAppend.h"
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

// The fields of a statistics record, in the order of kDialogStepFields.
enum DialogStepField : size_t {
    kStartDate,
    kStartTime,
    kEndDate,
    kEndTime,
    kAccount,
    kTcode,
    kReport,
    kTaskType,
    kRespTime,
    kGuiTime,
    kGuiNetTime,
    kCpuTime,
    kReadDirTime,
    kReadSeqTime,
    kUpdTime,
    kDelTime,
    kInsTime,
    kCommitTime,
    kMemSum,
    kDialogStepFieldCount
};
constexpr std::array<std::u16string_view, kDialogStepFieldCount> kDialogStepFields = {
    u"STARTDATE", u"STARTTIME", u"ENDDATE", u"ENDTIME",    u"ACCOUNT", u"TCODE",     u"REPORT",
    u"TASKTYPE",  u"RESPTI",    u"GUITIME", u"GUINETTIME", u"CPUTI",   u"READDIRTI", u"READSEQTI",
    u"UPDTI",     u"DELTI",     u"INSTI",   u"COMMITTI",   u"MEMSUM"};

// A date or time field as its trimmed text.
struct ShortText {
    char16_t units[32];
    std::u16string_view View() const {
        return std::u16string_view(units, std::char_traits<char16_t>::length(units));
    }
};

// One statistics record; normal records add the GUI times to the response.
DialogStepRecord BuildDialogStep(const ResolvedFields<kDialogStepFieldCount>& fields,
                                 const void* row, double offsetDays, bool normal) {
    DialogStepRecord r{};
    ShortText startDate{}, startTime{}, endDate{}, endTime{};
    fields.Text(kStartDate, row, startDate.units);
    fields.Text(kStartTime, row, startTime.units);
    fields.Text(kEndDate, row, endDate.units);
    fields.Text(kEndTime, row, endTime.units);
    r.start = CollectorTime(startDate.View(), startTime.View(), offsetDays);
    r.end = CollectorTime(endDate.View(), endTime.View(), offsetDays);
    fields.Text(kAccount, row, r.account);
    fields.Text(kTcode, row, r.tcode);
    fields.Text(kReport, row, r.report);
    uint8_t taskType = 0;
    fields.Bytes(kTaskType, row, &taskType, 1);
    r.taskType = taskType;

    const int64_t respTime = fields.Value<int64_t>(kRespTime, row);
    if (normal) {
        r.responseTime = NormalResponseTime(
            respTime, static_cast<uint32_t>(fields.Value<int32_t>(kGuiTime, row)),
            static_cast<uint32_t>(fields.Value<int32_t>(kGuiNetTime, row)));
    } else {
        r.responseTime = BatchResponseTime(respTime);
    }
    r.cpuTime = CpuTime(fields.Value<double>(kCpuTime, row));
    int32_t times[6] = {};
    for (size_t i = 0; i < 6; ++i) times[i] = fields.Value<int32_t>(kReadDirTime + i, row);
    r.databaseTime = DatabaseTime(times);
    r.memSum = fields.Value<int32_t>(kMemSum, row);
    return r;
}

}  // namespace

AppendedSteps AppendDialogSteps(CSapwlStatrecReadFile& call, const std::u16string& path,
                                double offsetDays,
                                const std::function<void(int64_t)>& beforeWriting) {
    AppendedSteps done;
    File file;
    done.tailCut = OpenForRecords(file, path, sizeof(DialogStepRecord));
    const int64_t start = file.Length();
    if (beforeWriting) beforeWriting(start);
    uint32_t steps = 0;
    try {
        for (const bool normal : {true, false}) {
            const std::u16string_view table = normal ? call.kNormalRecords : call.kBatchStepRecords;
            const ResolvedFields fields(call, TableKey(table), kDialogStepFields);
            ForEachRow(call, table, [&](const void* row) {
                const DialogStepRecord r = BuildDialogStep(fields, row, offsetDays, normal);
                file.Write(&r, sizeof r);
                ++steps;
            });
        }
        file.Flush();
        done.length = file.Length();
    } catch (...) {
        // The window is read again whole; what part of it reached the disk goes.
        try {
            file.CutBackTo(start);
        } catch (const CException&) {
            // The file keeps whole records either way; the first failure is the one to report.
        }
        throw;
    }
    file.Close();
    done.steps = steps;
    return done;
}

}  // namespace instfile
