// Every metric family the collector serves, in the order of the exposition:
// name, type, unit and help text in one table. Thread snapshots and the
// registry file their sample lines under these identifiers, so the writer
// can group each family's samples from all sources under one header, as
// both text formats require.
//
// Labels common to every per-server family: system (the system id), server
// (the application server's name) and host (the host, or the database
// server's destination). No label per user, transaction or report.
//
// Thread rules: constant data.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace metrics {

enum class MetricType { Gauge, Counter, Histogram, Info };

enum class FamilyId : size_t {
    WorkProcesses,
    InstanceMemoryUsed,
    RequestQueueLength,
    DialogSteps,
    DialogStepResponseTime,
    DialogStepCpuTime,
    DialogStepDatabaseTime,
    HostCpuBusy,
    HostMemoryUsed,
    HostSwapUsed,
    HostDiskUtilisation,
    HostPhysicalMemory,
    HostSwapSize,
    HostFileSystemCapacity,
    CaptureDuration,
    CaptureLastSuccess,
    CaptureFailures,
    RfcErrors,
    RfcReconnects,
    Servers,
    Threads,
    DataDirectoryFree,
    SessionFolderSize,
    DiskGuardPaused,
    BuildInfo,
    Count
};

inline constexpr size_t kFamilyCount = static_cast<size_t>(FamilyId::Count);

struct FamilyInfo {
    // The family's name in OpenMetrics; a counter's samples add "_total",
    // an info family's "_info".
    std::string_view name;
    MetricType type;
    std::string_view unit;  // the name's unit suffix without "_", or empty
    std::string_view help;
};

const FamilyInfo& Family(FamilyId id);

// The name of the family's plain samples (counter "_total", info "_info").
std::string_view SampleSuffix(MetricType type);

}  // namespace metrics
