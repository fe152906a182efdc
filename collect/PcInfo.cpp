#include "collect/PcInfo.h"

#include <chrono>

#include "platform/DateTime.h"
#include "platform/FixedText.h"
#include "platform/Format.h"
#include "platform/SystemInformation.h"

std::u16string CInvalidArgException::GetErrorMessage() const {
    return u"Encountered an improper argument.";
}

std::u16string KernelVersionText(std::u16string_view name, std::u16string_view release,
                                 std::u16string_view build) {
    return platform::TrimRight(
        platform::Format(u"%s %s (Build: %s)", name, release, platform::Trim(build)));
}

void CPcInfo::Gather() {
    if (const auto kernel = platform::ReadKernelInformation())
        m_strOperatingSystem = KernelVersionText(kernel->name, kernel->release, kernel->build);

    const platform::ProcessorInformation cpu = platform::ReadProcessorInformation();
    m_nProcessors = cpu.count;
    m_strProcessor = cpu.name.empty() ? u"Unknown" : platform::Trim(cpu.name);
    m_nMegahertz = cpu.megahertz;

    const platform::MemoryInformation memory = platform::ReadMemoryInformation();
    m_nMemoryLoad = memory.load;
    m_nPhysicalTotal = memory.physicalTotal;
    m_nPhysicalAvailable = memory.physicalAvailable;
    m_nPageFileTotal = memory.swapTotal;
    m_nPageFileAvailable = memory.swapAvailable;
    m_nVirtualTotal = memory.virtualTotal;
    m_nVirtualAvailable = memory.virtualAvailable;

    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                         platform::CurrentTimeSource()->Now().time_since_epoch())
                         .count();
    const auto offset = platform::StandardGmtOffsetSeconds(now);
    if (!offset) throw CInvalidArgException();
    m_nGmtOffset = *offset;
}
