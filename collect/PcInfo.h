// The collecting workstation: operating system, processor, memory and time
// zone, gathered once per session for pc.ctl.
//
// The operating-system text describes the running kernel the way the
// workstation's version is described: "Linux <release> (Build: <version>)".
//
// Thread rules: a plain value; Gather() reads only the local system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Exception.h"

// The framework's error for an argument it cannot convert.
class CInvalidArgException : public CException {
  public:
    std::u16string GetErrorMessage() const override;
};

// The description of a Linux kernel: "<name> <release> (Build: <version>)".
std::u16string KernelVersionText(std::u16string_view name, std::u16string_view release,
                                 std::u16string_view build);

class CPcInfo {
  public:
    CPcInfo() = default;

    // Fills every member from the local system, in the order operating
    // system, processor, memory, time zone. Throws CInvalidArgException
    // when the time-zone conversion fails.
    void Gather();

    std::u16string m_strOperatingSystem;
    std::u16string m_strProcessor;
    uint32_t m_nProcessors = 0;
    uint32_t m_nMegahertz = 0;
    uint32_t m_nMemoryLoad = 0;
    uint32_t m_nPhysicalTotal = 0;
    uint32_t m_nPhysicalAvailable = 0;
    uint32_t m_nPageFileTotal = 0;
    uint32_t m_nPageFileAvailable = 0;
    uint32_t m_nVirtualTotal = 0;
    uint32_t m_nVirtualAvailable = 0;
    int64_t m_nGmtOffset = 0;
};
