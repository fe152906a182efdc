#include "collect/PcInfo.h"

#include <chrono>

#include "platform/DateTime.h"
#include "platform/FixedText.h"
#include "platform/Format.h"
#include "platform/SystemInformation.h"

std::u16string CInvalidArgException::GetErrorMessage() const {
    return u"Encountered an improper argument.";
}

std::u16string WindowsVersionText(const std::optional<WindowsVersion>& version) {
    if (!version) return {};
    const WindowsVersion& v = *version;
    std::u16string text;
    const std::u16string& sp = v.servicePack;
    if (v.platformId == WindowsVersion::kWin32s) {
        text += u"Microsoft Win32s ";
    } else if (v.platformId == WindowsVersion::kWindows && v.major == 4) {
        if (v.minor == 0) {
            text += u"Microsoft Windows 95 ";
            if (sp.size() >= 2) {
                if (sp[1] == u'C')
                    text += u"OSR2 ";
                else
                    text += std::u16string(1, sp[1]) + u" ";
            }
        } else if (v.minor == 10) {
            text += u"Microsoft Windows 98 ";
            if (sp.size() >= 2 && sp[1] == u'A') text += u"SE ";
        } else if (v.minor == 90) {
            text += u"Microsoft Windows Me ";
        }
    } else if (v.platformId == WindowsVersion::kWindowsNT) {
        if (v.major <= 4)
            text += u"Microsoft Windows NT ";
        else if (v.major == 5 && v.minor == 0)
            text += u"Microsoft Windows 2000 ";
        else if (v.major == 5 && v.minor == 1)
            text += u"Microsoft Windows XP ";
        else if (v.major == 5 && v.minor == 2)
            text += u"Microsoft Windows Server 2003 ";
        const std::u16string pack = platform::TrimRight(sp);
        const uint32_t build = v.build & 0xFFFF;
        if (v.major <= 4)
            text +=
                platform::Format(u"version: %u.%u %s (Build: %u)", v.major, v.minor, pack, build);
        else
            text += platform::Format(u"%s (Build: %u)", pack, build);
    }
    return platform::TrimRight(text);
}

std::u16string ProcessorTypeName(uint32_t type) {
    switch (type) {
        case 386:
            return u"Intel 386";
        case 486:
            return u"Intel 486";
        case 586:
            return u"Intel Pentium";
        case 601:
            return u"PowerPC 601";
        case 603:
            return u"PowerPC 603";
        case 604:
            return u"PowerPC 604";
        case 620:
            return u"PowerPC 620";
        case 2200:
            return u"Intel IA64";
        case 4000:
            return u"MIPS";
        case 21064:
            return u"Alpha";
        default:
            return u"Unknown";
    }
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
