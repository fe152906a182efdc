// The figures of one minute's host capture, taken out of the saposcol tables
// into plain values, and the rules that turn them into the .cpu and .dsk
// records: every percentage limited to 0..100, truncated, and never divided
// by a total that is zero or negative.
//
// Thread rules: plain values and pure functions.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "collect/records/HostRecords.h"

// Row 1 of T_TF_CPU_ALL, the part the minute record uses.
struct CpuFigures {
    int32_t userTotal = 0;    // USR_TOTAL
    int32_t systemTotal = 0;  // SYS_TOTAL
};

// Row 1 of T_TF_MEM_ALL.
struct MemoryFigures {
    int32_t physicalMemory = 0;  // PHYS_MEM
    int32_t freeMemory = 0;      // FREE_MEM
    int32_t swapSize = 0;        // SWAP_SIZE
    int32_t swapFree = 0;        // SWAP_FREE
    int32_t pagesIn = 0;         // IN_PG_SEC
    int32_t pagesOut = 0;        // OUT_PG_SEC
};

// Row 1 of T_TF_SPAG_ALL on an OMBRITH host.
struct PagingFigures {
    int32_t processorUtilisation = 0;  // AVGPROCUTL
    int32_t systemPagingRate = 0;      // AVGSYSPGRT
};

// One row of T_TF_DISK_SINGLE.
struct DiskFigures {
    std::u16string name;  // DISKNAME as reported
    int32_t utilisation = 0, averageQueue = 0, averageWait = 0, averageService = 0, kbPerSecond = 0,
            opsPerSecond = 0, response = 0;
};

// The value limited to 0..100.
int32_t LimitPercent(int64_t value);

// (total - free) / total * 100, truncated and limited to 0..100; 0 when the
// total is zero or negative.
int32_t UsedPercent(int32_t total, int32_t free);

void FillCpu(HostCpuRecord& record, const CpuFigures& cpu);
void FillMemory(HostCpuRecord& record, const MemoryFigures& memory);
void FillPaging(HostCpuRecord& record, const PagingFigures& paging);

HostDiskRecord MakeDiskRecord(double time, const DiskFigures& disk);

// The disk part of the CPU record: the average of the limited utilisations
// (only when there are disks) and the sums of throughput and operations,
// which wrap around at 32 bits as the stored fields do.
class DiskTotals {
  public:
    void Add(const HostDiskRecord& disk);
    void FillCpu(HostCpuRecord& record) const;
    int32_t Count() const { return count_; }

  private:
    int64_t utilisationSum_ = 0;
    uint32_t kbPerSecond_ = 0;
    uint32_t opsPerSecond_ = 0;
    int32_t count_ = 0;
};

// host.ctl's memory and file-system figures in thousands: PHYS_MEM and
// SWAP_SIZE divided as signed values, the 32-bit sum of the capacities as
// an unsigned one.
void FillStorage(HostControlRecord& record, const MemoryFigures& memory,
                 std::span<const int32_t> fileSystemCapacities);
