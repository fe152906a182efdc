#include "collect/host/SaposcolRows.h"

namespace {

int32_t Integer(CTableRfc& call, const void* row, const char16_t* field) {
    int32_t value = 0;
    if (row != nullptr) call.GetTableField(call.TableKey(), field, row, value);
    return value;
}

template <size_t N>
void Text(CTableRfc& call, const void* row, const char16_t* field, char16_t (&out)[N]) {
    if (row != nullptr) call.GetTableField(call.TableKey(), field, row, out, sizeof out);
}

}  // namespace

CpuFigures ReadCpuFigures(CGetCpuAll& call, int row) {
    call.ReadRow(row);
    CpuFigures cpu;
    cpu.userTotal = call.GetRowRecord().USR_TOTAL;
    cpu.systemTotal = call.GetRowRecord().SYS_TOTAL;
    return cpu;
}

MemoryFigures ReadMemoryFigures(CGetMemAll& call, int row) {
    const void* r = call.GetRow(row);
    MemoryFigures m;
    m.physicalMemory = Integer(call, r, u"PHYS_MEM");
    m.freeMemory = Integer(call, r, u"FREE_MEM");
    m.swapSize = Integer(call, r, u"SWAP_SIZE");
    m.swapFree = Integer(call, r, u"SWAP_FREE");
    m.pagesIn = Integer(call, r, u"IN_PG_SEC");
    m.pagesOut = Integer(call, r, u"OUT_PG_SEC");
    return m;
}

PagingFigures ReadPagingFigures(CSpagAllRfc& call, int row) {
    call.ReadRow(row);
    PagingFigures paging;
    paging.processorUtilisation = call.GetRowRecord().AVGPROCUTL;
    paging.systemPagingRate = call.GetRowRecord().AVGSYSPGRT;
    return paging;
}

DiskFigures ReadDiskFigures(CGetDiskSingle& call, int row) {
    const void* r = call.GetRow(row);
    DiskFigures d;
    if (r != nullptr) call.GetTableField(call.TableKey(), u"DISKNAME", r, d.name);
    d.utilisation = Integer(call, r, u"UTIL");
    d.averageQueue = Integer(call, r, u"AVG_QUEUEL");
    d.averageWait = Integer(call, r, u"AVG_WAIT");
    d.averageService = Integer(call, r, u"AVG_SERVIC");
    d.kbPerSecond = Integer(call, r, u"KB_SEC");
    d.opsPerSecond = Integer(call, r, u"OP_SEC");
    d.response = Integer(call, r, u"RESPONSE");
    return d;
}

int32_t ReadFileSystemCapacity(CGetFsysSingle& call, int row) {
    return Integer(call, call.GetRow(row), u"CAPACITY");
}

tagPS_STAT ReadTopProcess(CGetTopSingle& call, int row) {
    const void* r = call.GetRow(row);
    tagPS_STAT process{};
    process.procId = Integer(call, r, u"PROC_ID");
    Text(call, r, u"USERNAME", process.userName);
    Text(call, r, u"COMMAND", process.command);
    Text(call, r, u"CPU_TIME", process.cpuTime);
    process.residentSize = Integer(call, r, u"RES_SIZE");
    return process;
}
