// What the running system says about itself: the kernel, the processor,
// the memory and the standard time zone, for the description of the
// collecting workstation. Each query fills what it can read; what cannot be
// read stays empty or zero.
//
// Thread rules: plain functions, callable from any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct KernelInformation {
    std::u16string name;     // e.g. Linux
    std::u16string release;  // e.g. 6.1.0-18-amd64
    std::u16string build;    // the kernel's version text, e.g. #1 SMP PREEMPT_DYNAMIC ...
};

struct ProcessorInformation {
    std::u16string name;  // model name; empty when unknown
    uint32_t count = 0;   // processors online
    uint32_t megahertz = 0;
};

// Bytes, each capped at 4 GiB - 1 as a 32-bit memory status reports them.
struct MemoryInformation {
    uint32_t load = 0;  // percent of physical memory in use
    uint32_t physicalTotal = 0;
    uint32_t physicalAvailable = 0;
    uint32_t swapTotal = 0;
    uint32_t swapAvailable = 0;
    uint32_t virtualTotal = 0;
    uint32_t virtualAvailable = 0;
};

std::optional<KernelInformation> ReadKernelInformation();

// The kernel name of the system this program was built for, e.g. Linux.
std::u16string_view BuildKernelName();
// Whether the program runs on the kind of system it was built for: every
// release of that kernel passes. An unreadable kernel is no evidence against
// it (the program is running, after all), so only another kernel's name fails.
bool RunsOnBuildPlatform(const std::optional<KernelInformation>& kernel);
ProcessorInformation ReadProcessorInformation();
MemoryInformation ReadMemoryInformation();

// The processor's model name and clock from the text of /proc/cpuinfo
// (first "model name" and "cpu MHz" lines).
ProcessorInformation ParseCpuInfo(const std::string& text);

// Seconds by which local standard time is ahead of GMT at unixSeconds:
// the GMT breakdown of the moment read back as local standard time (no
// daylight saving). Empty when the conversion fails.
std::optional<int64_t> StandardGmtOffsetSeconds(int64_t unixSeconds);

}  // namespace platform
