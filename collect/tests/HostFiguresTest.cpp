#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "collect/host/HostFigures.h"

namespace {

TEST(HostFiguresTest, CpuBusyIsLimitedToAPercentage) {
    HostCpuRecord r{};
    FillCpu(r, {70, 45});
    EXPECT_EQ(+r.cpuBusyPercent, 100);
    FillCpu(r, {-30, 10});
    EXPECT_EQ(+r.cpuBusyPercent, 0);
    FillCpu(r, {30, 12});
    EXPECT_EQ(+r.cpuBusyPercent, 42);
    // Sums beyond 32 bits neither wrap nor overflow.
    FillCpu(r, {INT_MAX, INT_MAX});
    EXPECT_EQ(+r.cpuBusyPercent, 100);
    FillCpu(r, {INT_MIN, INT_MIN});
    EXPECT_EQ(+r.cpuBusyPercent, 0);
}

TEST(HostFiguresTest, UsedPercentTruncatesAndGuardsTheTotal) {
    EXPECT_EQ(UsedPercent(1000, 333), 66);
    EXPECT_EQ(UsedPercent(100, 71), 29);  // exact quotients stay exact
    EXPECT_EQ(UsedPercent(3, 1), 66);
    EXPECT_EQ(UsedPercent(0, 0), 0);
    EXPECT_EQ(UsedPercent(-5, -10), 0);
    EXPECT_EQ(UsedPercent(100, 150), 0);  // more free than total
    EXPECT_EQ(UsedPercent(100, -900), 100);
    EXPECT_EQ(UsedPercent(INT_MAX, INT_MIN), 100);
    EXPECT_EQ(UsedPercent(1, INT_MAX), 0);
}

TEST(HostFiguresTest, MemoryFillsPagingAndBothPercentages) {
    HostCpuRecord r{};
    FillMemory(r, {1000, 333, 2000, 500, 7, 9});
    EXPECT_EQ(+r.memoryUsedPercent, 66);
    EXPECT_EQ(+r.swapUsedPercent, 75);
    EXPECT_EQ(+r.pagesInPerSecond, 7);
    EXPECT_EQ(+r.pagesOutPerSecond, 9);
    EXPECT_EQ(+r.cpuBusyPercent, 0);
}

TEST(HostFiguresTest, PagingFillsOnlyBusyAndPagesIn) {
    HostCpuRecord r{};
    FillPaging(r, {150, 12});
    // The paging table's figures are stored as reported.
    EXPECT_EQ(+r.cpuBusyPercent, 150);
    EXPECT_EQ(+r.pagesInPerSecond, 12);
    EXPECT_EQ(+r.pagesOutPerSecond, 0);
    EXPECT_EQ(+r.memoryUsedPercent, 0);
}

TEST(HostFiguresTest, ThreeDisksAverageTheirLimitedUtilisation) {
    HostCpuRecord cpu{};
    DiskTotals totals;
    std::vector<int32_t> stored;
    for (int32_t util : {100, 120, -5}) {
        DiskFigures d;
        d.utilisation = util;
        d.kbPerSecond = 10;
        d.opsPerSecond = 2;
        d.response = 4;
        const HostDiskRecord record = MakeDiskRecord(2.5, d);
        EXPECT_EQ(+record.time, 2.5);
        EXPECT_EQ(+record.response, 4);
        stored.push_back(+record.utilisation);
        totals.Add(record);
    }
    totals.FillCpu(cpu);
    EXPECT_EQ(stored, (std::vector<int32_t>{100, 100, 0}));
    EXPECT_EQ(+cpu.diskUtilAverage, 66);
    EXPECT_EQ(+cpu.diskKbPerSecond, 30);
    EXPECT_EQ(+cpu.diskOpsPerSecond, 6);
}

TEST(HostFiguresTest, NoDisksLeaveTheDiskFiguresZero) {
    HostCpuRecord cpu{};
    DiskTotals totals;
    totals.FillCpu(cpu);
    EXPECT_EQ(+cpu.diskUtilAverage, 0);
    EXPECT_EQ(+cpu.diskKbPerSecond, 0);
}

TEST(HostFiguresTest, DiskThroughputSumsWrapAt32Bits) {
    DiskTotals totals;
    DiskFigures d;
    d.kbPerSecond = INT_MAX;
    totals.Add(MakeDiskRecord(0, d));
    d.kbPerSecond = 2;
    totals.Add(MakeDiskRecord(0, d));
    HostCpuRecord cpu{};
    totals.FillCpu(cpu);
    EXPECT_EQ(+cpu.diskKbPerSecond, INT_MIN + 1);
}

TEST(HostFiguresTest, StorageFiguresAreThousands) {
    HostControlRecord r{};
    MemoryFigures m;
    m.physicalMemory = 2'047'999;
    m.swapSize = -1500;
    const std::vector<int32_t> capacities = {INT_MAX, INT_MAX, 4000};
    FillStorage(r, m, capacities);
    EXPECT_EQ(+r.physicalMemoryK, 2047);
    EXPECT_EQ(+r.swapSizeK, -1);  // toward zero
    // 2 * INT_MAX + 4000 wraps to 3998, read unsigned.
    EXPECT_EQ(+r.fileSystemsK, 3u);
    const std::vector<int32_t> negative = {-1000};
    FillStorage(r, m, negative);
    EXPECT_EQ(+r.fileSystemsK, (UINT32_MAX - 999u) / 1000u);
}

}  // namespace
