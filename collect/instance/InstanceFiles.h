// The writers of the instance data files: each takes the call object whose
// result it records and the file's path, opens the file in its mode, writes
// and closes it within the call. A file that cannot be opened throws
// CFileException and nothing is written to it.
//
// Thread rules: called by the instance thread that owns the call objects
// (its worker, or its owner during Initialize).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "collect/records/InstanceRecords.h"
#include "rfc/catalogue/GetParameter.h"
#include "rfc/catalogue/PflGetServerParamValues.h"
#include "rfc/catalogue/RfcSystemInfo.h"
#include "rfc/catalogue/SaptuneGetStorageInfos.h"
#include "rfc/catalogue/SaptuneGetSummaryStatistic.h"
#include "rfc/catalogue/SapwlStatrecReadFile.h"
#include "rfc/catalogue/ThRequestQueue.h"
#include "rfc/catalogue/ThSaprel.h"
#include "rfc/catalogue/ThWpInfo.h"

namespace instfile {

// The server as the server list names it.
struct InstanceIdentity {
    std::u16string name, host, services;
};

// The instance.ctl record from the identity and the three identity calls.
instrec::ControlRecord BuildControlRecord(const InstanceIdentity& identity,
                                          CRfcSystemInfo& systemInfo, CThSaprel& saprel,
                                          CGetParameter& parameter);

// .pfl: "name = value" per profile parameter, the default when no user value.
void WriteProfileFile(CPflGetServerParamValues& call, const std::u16string& path);
// .wp: one record per work process.
void WriteWorkProcessFile(CThWpInfo& call, const std::u16string& path);
// .stg: the storage record.
void WriteStorageFile(CSaptuneGetStorageInfos& call, const std::u16string& path);
// .mem and .drq: one record appended, stamped with the local time taken
// before the file is opened. Both return the bytes of an incomplete last
// record cut from the file before the append (0: none).
int64_t AppendMemoryRecord(CSaptuneGetSummaryStatistic& call, const std::u16string& path);
int64_t AppendRequestQueueRecord(CThRequestQueue& call, const std::u16string& path);

// The five quarter-hour files from the last summary result.
void WriteSummaryFile(CSaptuneGetSummaryStatistic& call, const std::u16string& path);
void WriteTableStatisticFile(CSaptuneGetSummaryStatistic& call, const std::u16string& path);
void WriteBufferStatisticFile(CSaptuneGetSummaryStatistic& call, const std::u16string& path);
void WriteTableQualityFile(CSaptuneGetSummaryStatistic& call, const std::u16string& path);
void WriteCursorCacheFile(CSaptuneGetSummaryStatistic& call, const std::u16string& path);

// What one dialog-step append did.
struct AppendedSteps {
    uint32_t steps = 0;   // records written
    int64_t tailCut = 0;  // bytes of an incomplete last record cut first
    int64_t length = 0;   // the file's length after the append
};

// .dss: the records of both result tables appended in one pass, times moved
// into the collector's clock by offsetDays. All or nothing: a failure cuts
// the file back to where the append began and throws, so the window can be
// read again without doubling a step.
// beforeWriting, when given, learns the file's length (on a record boundary)
// before the first record is written.
AppendedSteps AppendDialogSteps(CSapwlStatrecReadFile& call, const std::u16string& path,
                                double offsetDays,
                                const std::function<void(int64_t)>& beforeWriting = {});

}  // namespace instfile
