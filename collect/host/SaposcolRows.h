// Reading the saposcol tables of the GET_* calls into plain figures and
// records: integer fields with the 32-bit reader, text fields with the
// fixed-width one (cut to the record's field). A row that is not there
// reads as zeros.
//
// Thread rules: used by the thread that owns the call object.
#pragma once

#include <cstdint>

#include "collect/host/HostFigures.h"
#include "collect/records/HostRecords.h"
#include "rfc/catalogue/GetCpuAll.h"
#include "rfc/catalogue/GetDiskSingle.h"
#include "rfc/catalogue/GetFsysSingle.h"
#include "rfc/catalogue/GetMemAll.h"
#include "rfc/catalogue/GetTopSingle.h"
#include "rfc/catalogue/SpagRow.h"

CpuFigures ReadCpuFigures(CGetCpuAll& call, int row);
MemoryFigures ReadMemoryFigures(CGetMemAll& call, int row);
PagingFigures ReadPagingFigures(CSpagAllRfc& call, int row);
DiskFigures ReadDiskFigures(CGetDiskSingle& call, int row);
int32_t ReadFileSystemCapacity(CGetFsysSingle& call, int row);
tagPS_STAT ReadTopProcess(CGetTopSingle& call, int row);
