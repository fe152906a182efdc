#include "collect/instance/InstanceFiles.h"

#include "collect/core/RecordAppend.h"
#include "collect/instance/FieldReaders.h"
#include "collect/instance/InstanceRecordRules.h"
#include "platform/AnsiTextFile.h"
#include "platform/File.h"
#include "platform/FixedText.h"
#include "platform/Format.h"

namespace instfile {

using platform::File;

instrec::ControlRecord BuildControlRecord(const InstanceIdentity& identity,
                                          CRfcSystemInfo& systemInfo, CThSaprel& saprel,
                                          CGetParameter& parameter) {
    instrec::ControlRecord r{};
    platform::CopyToField(r.name, identity.name);
    platform::CopyToField(r.host, identity.host);
    platform::CopyToField(r.services, identity.services);
    constexpr std::u16string_view kSi = u"E_RFCSI_EXPORT";
    systemInfo.GetExportField(kSi, u"RFCSYSID", r.rfcSysId, sizeof r.rfcSysId);
    systemInfo.GetExportField(kSi, u"RFCDBSYS", r.rfcDbSys, sizeof r.rfcDbSys);
    systemInfo.GetExportField(kSi, u"RFCDBHOST", r.rfcDbHost, sizeof r.rfcDbHost);
    systemInfo.GetExportField(kSi, u"RFCDATABS", r.rfcDatabs, sizeof r.rfcDatabs);
    systemInfo.GetExportField(kSi, u"RFCSAPRL", r.rfcSapRl, sizeof r.rfcSapRl);
    systemInfo.GetExportField(kSi, u"RFCKERNRL", r.rfcKernRl, sizeof r.rfcKernRl);
    systemInfo.GetExportField(kSi, u"RFCPROTO", r.rfcProto, sizeof r.rfcProto);
    saprel.GetExport(u"E_KERN_COMP_ON", r.kernCompOn, sizeof r.kernCompOn);
    saprel.GetExport(u"E_KERN_COMP_TIME", r.kernCompTime, sizeof r.kernCompTime);
    saprel.GetExport(u"E_KERN_DBLIB", r.kernDbLib, sizeof r.kernDbLib);
    saprel.GetExport(u"E_KERN_PATCHLEVEL", r.kernPatchLevel, sizeof r.kernPatchLevel);
    saprel.GetExport(u"E_KERN_REL", r.kernRel, sizeof r.kernRel);
    parameter.GetExport(u"E_FP_COLLVERSION", r.collVersion, sizeof r.collVersion);
    parameter.GetExport(u"E_FP_COLLSINCE", r.collSince, sizeof r.collSince);
    parameter.GetExport(u"E_FP_OPSYSTEM", r.opSystem, sizeof r.opSystem);
    parameter.GetExport(u"E_FP_LASTCOLLWRT", r.lastCollWrite, sizeof r.lastCollWrite);
    int32_t interval = 0;
    parameter.GetExport(u"E_FP_INTERVAL", interval);
    r.interval = interval;
    return r;
}

void WriteProfileFile(CPflGetServerParamValues& call, const std::u16string& path) {
    platform::AnsiTextFile file;
    file.Open(path, File::Mode::Snapshot);
    const std::u16string& key = call.TableKey();
    ForEachRow(call, call.TableName(), [&](const void* row) {
        std::u16string name, user, standard;
        call.GetTableField(key, u"PARAM_NAME", row, name);
        call.GetTableField(key, u"USER_VALUE", row, user);
        call.GetTableField(key, u"DFL_VALUE", row, standard);
        file.Write(platform::Format(u"%s = %s\n", name, user.empty() ? standard : user));
    });
    file.Close();
}

void WriteWorkProcessFile(CThWpInfo& call, const std::u16string& path) {
    File file(path, File::Mode::Snapshot);
    const std::u16string& key = call.TableKey();
    ForEachRow(call, call.TableName(), [&](const void* row) {
        instrec::WorkProcessRecord r{};
        ReadTableText(call, key, u"WP_NO", row, r.wpNo);
        ReadTableText(call, key, u"WP_TYP", row, r.wpTyp);
        ReadTableText(call, key, u"WP_PID", row, r.wpPid);
        ReadTableText(call, key, u"WP_STATUS", row, r.wpStatus);
        ReadTableText(call, key, u"WP_CPU", row, r.wpCpu);
        file.Write(&r, sizeof r);
    });
    file.Close();
}

void WriteStorageFile(CSaptuneGetStorageInfos& call, const std::u16string& path) {
    File file(path, File::Mode::Snapshot);
    instrec::StorageRecord r{};
    call.GetExport(u"E_DW_BSS", r.dwBss);
    call.GetExport(u"E_DW_DATA", r.dwData);
    call.GetExport(u"E_DW_ERROR", r.dwError);
    call.GetExport(u"E_DW_TEXT", r.dwText);
    call.GetExport(u"E_EXT_MEM", r.extMem);
    int64_t heap = 0;
    call.GetExport(u"E_HEAP_AREA_TOTAL", heap);
    r.heapAreaTotal = heap;
    call.GetExport(u"E_NUM_SHMS", r.numShms);
    call.GetExport(u"E_PAGE_BUFSZ", r.pageBufSz);
    call.GetExport(u"E_ROLL_AREA", r.rollArea);
    call.GetExport(u"E_SHM_ASIZE_USED", r.shmASizeUsed);
    call.GetExport(u"E_SHM_TOTAL", r.shmTotal);
    call.GetExport(u"E_SHM_TOTAL_NOT_USED", r.shmTotalNotUsed);
    call.GetExport(u"E_SHM_TOTAL_USED", r.shmTotalUsed);
    call.GetExport(u"E_SHORT_ST", r.shortSt);
    call.GetExport(u"E_USE_PAGING", r.usePaging);
    call.GetExport(u"E_VMEM_SIZE", r.vmemSize);
    call.GetExport(u"E_VMEM_SIZE_WP", r.vmemSizeWp);
    call.GetExport(u"E_WP_ALL", r.wpAll);
    call.GetExport(u"E_WP_NUMBER", r.wpNumber);
    file.Write(&r, sizeof r);
    file.Close();
}

int64_t AppendMemoryRecord(CSaptuneGetSummaryStatistic& call, const std::u16string& path) {
    instrec::MemoryRecord r{};
    r.time = instrec::LocalNowOle();
    File file;
    const int64_t cut = OpenForRecords(file, path, sizeof r);
    uint32_t used = 0;  // the sum wraps in 32 bits
    const std::u16string key = std::u16string(u"T_") + call.kBufferStatistic;
    ForEachRow(call, call.kBufferStatistic, [&](const void* row) {
        used += static_cast<uint32_t>(TableValue<int32_t>(call, key, u"USED_SPACE", row));
    });
    r.bufferUsedSpace = static_cast<int32_t>(used);
    call.GetExportField(u"E_PAGING_AREA", u"CURR_USED", r.pagingCurrUsed);
    call.GetExportField(u"E_ROLL_AREA", u"CURR_USED", r.rollCurrUsed);
    call.GetExportField(u"E_EXTENDED_MEMORY_USAGE", u"ALLOCATED", r.extendedAllocated);
    call.GetExportField(u"E_HEAP_MEMORY_USAGE", u"USED", r.heapUsed);
    file.Write(&r, sizeof r);
    file.Close();
    return cut;
}

int64_t AppendRequestQueueRecord(CThRequestQueue& call, const std::u16string& path) {
    instrec::RequestQueueRecord r{};
    r.time = instrec::LocalNowOle();
    File file;
    const int64_t cut = OpenForRecords(file, path, sizeof r);
    ForEachRow(call, call.TableName(), [&](const void* row) {
        std::u16string line;
        call.GetTableField(call.TableKey(), u"THLINE", row, line);
        instrec::ApplyRequestQueueLine(line, r);
    });
    file.Write(&r, sizeof r);
    file.Close();
    return cut;
}

}  // namespace instfile
