#include "collect/host/HostFigures.h"

#include <algorithm>

int32_t LimitPercent(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, 100));
}

int32_t UsedPercent(int32_t total, int32_t free) {
    if (total <= 0) return 0;
    // Multiplying first keeps exact quotients exact (29 of 100 is 29, not
    // 28.999...); the limit comes before the conversion, so no value can
    // overflow it.
    const double used = (static_cast<double>(total) - static_cast<double>(free)) * 100.0;
    return static_cast<int32_t>(std::clamp(used / static_cast<double>(total), 0.0, 100.0));
}

void FillCpu(HostCpuRecord& record, const CpuFigures& cpu) {
    record.cpuBusyPercent =
        LimitPercent(static_cast<int64_t>(cpu.userTotal) + static_cast<int64_t>(cpu.systemTotal));
}

void FillMemory(HostCpuRecord& record, const MemoryFigures& memory) {
    record.pagesInPerSecond = memory.pagesIn;
    record.pagesOutPerSecond = memory.pagesOut;
    record.memoryUsedPercent = UsedPercent(memory.physicalMemory, memory.freeMemory);
    record.swapUsedPercent = UsedPercent(memory.swapSize, memory.swapFree);
}

void FillPaging(HostCpuRecord& record, const PagingFigures& paging) {
    record.cpuBusyPercent = paging.processorUtilisation;
    record.pagesInPerSecond = paging.systemPagingRate;
}

HostDiskRecord MakeDiskRecord(double time, const DiskFigures& disk) {
    HostDiskRecord record{};
    record.time = time;
    record.utilisation = LimitPercent(disk.utilisation);
    record.averageQueue = disk.averageQueue;
    record.averageWait = disk.averageWait;
    record.averageService = disk.averageService;
    record.kbPerSecond = disk.kbPerSecond;
    record.opsPerSecond = disk.opsPerSecond;
    record.response = disk.response;
    return record;
}

void DiskTotals::Add(const HostDiskRecord& disk) {
    utilisationSum_ += disk.utilisation;
    kbPerSecond_ += static_cast<uint32_t>(disk.kbPerSecond);
    opsPerSecond_ += static_cast<uint32_t>(disk.opsPerSecond);
    ++count_;
}

void DiskTotals::FillCpu(HostCpuRecord& record) const {
    record.diskKbPerSecond = static_cast<int32_t>(kbPerSecond_);
    record.diskOpsPerSecond = static_cast<int32_t>(opsPerSecond_);
    if (count_ > 0) record.diskUtilAverage = static_cast<int32_t>(utilisationSum_ / count_);
}

void FillStorage(HostControlRecord& record, const MemoryFigures& memory,
                 std::span<const int32_t> fileSystemCapacities) {
    record.physicalMemoryK = memory.physicalMemory / 1000;
    record.swapSizeK = memory.swapSize / 1000;
    uint32_t capacity = 0;
    for (const int32_t c : fileSystemCapacities) capacity += static_cast<uint32_t>(c);
    record.fileSystemsK = capacity / 1000u;
}
