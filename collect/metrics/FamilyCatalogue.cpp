#include "collect/metrics/FamilyCatalogue.h"

namespace metrics {

namespace {

using enum MetricType;

constexpr std::array<FamilyInfo, kFamilyCount> kFamilies = {{
    {"quorvel_work_processes", Gauge, "",
     "Work processes of the instance by type and status, as listed at the thread's start."},
    {"quorvel_instance_memory_used_bytes", Gauge, "bytes",
     "Memory in use by area: buffers, paging, roll, extended memory and heap."},
    {"quorvel_request_queue_length", Gauge, "",
     "Requests waiting in each dispatcher queue at the latest minute."},
    {"quorvel_dialog_steps", Counter, "",
     "Dialog steps read from the workload statistics, by task type."},
    {"quorvel_dialog_step_response_time_seconds", Histogram, "seconds",
     "Response time of the dialog steps read, by task type."},
    {"quorvel_dialog_step_cpu_time_seconds", Histogram, "seconds",
     "CPU time of the dialog steps read, by task type."},
    {"quorvel_dialog_step_database_time_seconds", Histogram, "seconds",
     "Database time of the dialog steps read, by task type."},
    {"quorvel_host_cpu_busy_ratio", Gauge, "ratio",
     "CPU busy (user and system) at the latest minute."},
    {"quorvel_host_memory_used_ratio", Gauge, "ratio",
     "Physical memory in use at the latest minute."},
    {"quorvel_host_swap_used_ratio", Gauge, "ratio", "Swap space in use at the latest minute."},
    {"quorvel_host_disk_utilisation_ratio", Gauge, "ratio",
     "Mean utilisation of the host's disks at the latest minute."},
    {"quorvel_host_physical_memory_bytes", Gauge, "bytes",
     "Physical memory of the host, as described at the thread's start."},
    {"quorvel_host_swap_size_bytes", Gauge, "bytes",
     "Swap space of the host, as described at the thread's start."},
    {"quorvel_host_filesystem_capacity_bytes", Gauge, "bytes",
     "Capacity of the host's file systems together, as described at the thread's start."},
    {"quorvel_capture_duration_seconds", Gauge, "seconds",
     "Duration of the latest capture of each kind."},
    {"quorvel_capture_last_success_timestamp_seconds", Gauge, "seconds",
     "Time of the latest successful capture of each kind, in seconds since the epoch."},
    {"quorvel_capture_failures", Counter, "", "Captures that ended in a failure, by kind."},
    {"quorvel_rfc_errors", Counter, "", "Captures that ended in an RFC error."},
    {"quorvel_rfc_reconnects", Counter, "",
     "Connections reopened after the first open, when a ping failed."},
    {"quorvel_servers", Gauge, "", "Application servers in the system's latest server list."},
    {"quorvel_threads", Gauge, "", "Collection threads of the session by kind."},
    {"quorvel_data_directory_free_bytes", Gauge, "bytes",
     "Bytes still free for the collector on the data directory's file system."},
    {"quorvel_session_folder_bytes", Gauge, "bytes", "Bytes of the current session folder."},
    {"quorvel_disk_guard_paused", Gauge, "",
     "1 while the dialog-step capture is paused for lack of free space, else 0."},
    {"quorvel_build", Info, "", "The collector's version."},
}};

}  // namespace

const FamilyInfo& Family(FamilyId id) {
    return kFamilies[static_cast<size_t>(id)];
}

std::string_view SampleSuffix(MetricType type) {
    switch (type) {
        case Counter:
            return "_total";
        case Info:
            return "_info";
        default:
            return "";
    }
}

}  // namespace metrics
