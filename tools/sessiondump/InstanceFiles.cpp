// Decoders of the instance thread's files.
#include "collect/records/InstanceRecords.h"
#include "tools/sessiondump/DecoderRegistry.h"
#include "tools/sessiondump/RecordLine.h"

namespace sessiondump {

using namespace instrec;

namespace {

std::vector<std::string> Control(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<ControlRecord>(bytes, [](const ControlRecord& r, size_t i) {
        return RecordLine(i)
            .Text("name", r.name)
            .Text("host", r.host)
            .Text("services", r.services)
            .Text("RFCSYSID", r.rfcSysId)
            .Text("RFCDBSYS", r.rfcDbSys)
            .Text("RFCDBHOST", r.rfcDbHost)
            .Text("RFCDATABS", r.rfcDatabs)
            .Text("RFCSAPRL", r.rfcSapRl)
            .Text("RFCKERNRL", r.rfcKernRl)
            .Text("RFCPROTO", r.rfcProto)
            .Text("KERN_COMP_ON", r.kernCompOn)
            .Text("KERN_COMP_TIME", r.kernCompTime)
            .Text("KERN_DBLIB", r.kernDbLib)
            .Text("KERN_PATCHLEVEL", r.kernPatchLevel)
            .Text("KERN_REL", r.kernRel)
            .Text("FP_COLLVERSION", r.collVersion)
            .Text("FP_COLLSINCE", r.collSince)
            .Text("FP_OPSYSTEM", r.opSystem)
            .Text("FP_LASTCOLLWRT", r.lastCollWrite)
            .Int("FP_INTERVAL", r.interval)
            .Str();
    });
}

std::vector<std::string> WorkProcesses(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<WorkProcessRecord>(bytes, [](const WorkProcessRecord& r, size_t i) {
        return RecordLine(i)
            .Text("WP_NO", r.wpNo)
            .Text("WP_TYP", r.wpTyp)
            .Text("WP_PID", r.wpPid)
            .Text("WP_STATUS", r.wpStatus)
            .Text("WP_CPU", r.wpCpu)
            .Str();
    });
}

std::vector<std::string> Storage(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<StorageRecord>(bytes, [](const StorageRecord& r, size_t i) {
        return RecordLine(i)
            .Int("DW_BSS", r.dwBss)
            .Int("DW_DATA", r.dwData)
            .Int("DW_ERROR", r.dwError)
            .Int("DW_TEXT", r.dwText)
            .Int("EXT_MEM", r.extMem)
            .Int("HEAP_AREA_TOTAL", r.heapAreaTotal)
            .Int("NUM_SHMS", r.numShms)
            .Int("PAGE_BUFSZ", r.pageBufSz)
            .Int("ROLL_AREA", r.rollArea)
            .Int("SHM_ASIZE_USED", r.shmASizeUsed)
            .Int("SHM_TOTAL", r.shmTotal)
            .Int("SHM_TOTAL_NOT_USED", r.shmTotalNotUsed)
            .Int("SHM_TOTAL_USED", r.shmTotalUsed)
            .Int("SHORT_ST", r.shortSt)
            .Int("USE_PAGING", r.usePaging)
            .Int("VMEM_SIZE", r.vmemSize)
            .Int("VMEM_SIZE_WP", r.vmemSizeWp)
            .Int("WP_ALL", r.wpAll)
            .Int("WP_NUMBER", r.wpNumber)
            .Str();
    });
}

std::vector<std::string> Memory(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<MemoryRecord>(bytes, [](const MemoryRecord& r, size_t i) {
        return RecordLine(i)
            .Date("time", r.time)
            .Int("BUFFER_USED_SPACE", r.bufferUsedSpace)
            .Int("PAGING_CURR_USED", r.pagingCurrUsed)
            .Int("ROLL_CURR_USED", r.rollCurrUsed)
            .Int("EXTENDED_ALLOCATED", r.extendedAllocated)
            .Int("HEAP_USED", r.heapUsed)
            .Str();
    });
}

std::vector<std::string> RequestQueues(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<RequestQueueRecord>(bytes, [](const RequestQueueRecord& r, size_t i) {
        return RecordLine(i).Date("time", r.time).Group<int32_t>(kQueueNames, r.queue).Str();
    });
}

std::vector<std::string> Summary(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<SummaryRecord>(bytes, [](const SummaryRecord& r, size_t i) {
        return RecordLine(i)
            .Group<double>(kDbOperationFields, r.dbAccesses)
            .Group<int32_t>(kExtendedMemoryFields, r.extendedMemory)
            .Group<int32_t>(kHeapMemoryFields, r.heapMemory)
            .Group<int32_t>(kLogicAccessFields, r.logicAccesses)
            .Group<int32_t>(kMemoryAreaFields, r.pagingArea)
            .Group<int32_t>(kPxaInfoFields, r.pxaInfo)
            .Group<int32_t>(kMemoryAreaFields, r.rollArea)
            .Group<double>(kCursorCacheTotalFields, r.cursorCacheTotal)
            .Group<double>(kDbOperationFields, r.totalDurations)
            .Group<double>(kHitRatioFields, r.totalHitRatio)
            .Group<double>(kTotalOperationFields, r.totalOperations)
            .Group<double>(kDbOperationFields, r.totalRows)
            .Str();
    });
}

std::vector<std::string> TableStatistics(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<TableStatisticRecord>(bytes, [](const TableStatisticRecord& r, size_t i) {
        return RecordLine(i)
            .Text("TNAME", r.tname)
            .Group<double>(kTableStatisticNumbers, r.numbers)
            .Text("REF", r.ref)
            .Text("RNAME", r.rname)
            .Text("BUF", r.buf)
            .Text("SQL", r.sql)
            .Text("BUF_STATE", r.bufState)
            .Str();
    });
}

std::vector<std::string> BufferStatistics(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<BufferStatisticRecord>(
        bytes, [](const BufferStatisticRecord& r, size_t i) {
            return RecordLine(i)
                .Text("NAME", r.name)
                .Group<int32_t>(kBufferCounterFields, r.counters)
                .Text("ALLOC", r.alloc)
                .Text("SMODE", r.smode)
                .Text("UP_TIME", r.upTime)
                .Text("LAST_REFR", r.lastRefresh)
                .Real("HITRATIO", r.hitRatio)
                .Real("DB_QUALITY", r.dbQuality)
                .Str();
        });
}

std::vector<std::string> TableQualities(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<TableQualityRecord>(bytes, [](const TableQualityRecord& r, size_t i) {
        return RecordLine(i)
            .Text("TNAME", r.tname)
            .Real("Q_DIRECTRD", r.directRead)
            .Real("Q_SEQRD", r.sequentialRead)
            .Real("Q_TOTAL", r.total)
            .Str();
    });
}

std::vector<std::string> CursorCache(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<CursorCacheRecord>(bytes, [](const CursorCacheRecord& r, size_t i) {
        return RecordLine(i)
            .Group<int32_t>(kCursorCacheFields, r.counters)
            .Text("WP_PID", r.wpPid)
            .Str();
    });
}

std::vector<std::string> DialogSteps(const std::vector<unsigned char>& bytes) {
    return DecodeRecords<DialogStepRecord>(bytes, [](const DialogStepRecord& r, size_t i) {
        return RecordLine(i)
            .Date("start", r.start)
            .Date("end", r.end)
            .Text("ACCOUNT", r.account)
            .Text("TCODE", r.tcode)
            .Text("REPORT", r.report)
            .Int("TASKTYPE", r.taskType)
            .Int("response", r.responseTime)
            .Int("cpu", r.cpuTime)
            .Int("database", r.databaseTime)
            .Int("MEMSUM", r.memSum)
            .Str();
    });
}

}  // namespace

void RegisterInstanceDecoders(DecoderRegistry& registry) {
    registry.AddName("instance.ctl", Control);
    registry.AddExtension(".wp", WorkProcesses);
    registry.AddExtension(".stg", Storage);
    registry.AddExtension(".mem", Memory);
    registry.AddExtension(".drq", RequestQueues);
    registry.AddExtension(".sum", Summary);
    registry.AddExtension(".tbl", TableStatistics);
    registry.AddExtension(".buf", BufferStatistics);
    registry.AddExtension(".tql", TableQualities);
    registry.AddExtension(".ccs", CursorCache);
    registry.AddExtension(".dss", DialogSteps);
}

}  // namespace sessiondump
