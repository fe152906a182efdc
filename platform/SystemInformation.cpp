#include "platform/SystemInformation.h"

#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <ctime>
#include <fstream>
#include <limits>
#include <sstream>

namespace platform {
namespace {

std::u16string Widen(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (unsigned char c : text) out.push_back(c < 0x80 ? c : u'?');
    return out;
}

uint32_t Capped(unsigned long long bytes) {
    return static_cast<uint32_t>(
        std::min<unsigned long long>(bytes, std::numeric_limits<uint32_t>::max()));
}

std::string Trimmed(std::string text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<KernelInformation> ReadKernelInformation() {
    utsname names{};
    if (uname(&names) != 0) return std::nullopt;
    return KernelInformation{Widen(names.sysname), Widen(names.release), Widen(names.version)};
}

std::u16string_view BuildKernelName() {
#if defined(__linux__)
    return u"Linux";
#else
#error "the platform layer is written for Linux"
#endif
}

bool RunsOnBuildPlatform(const std::optional<KernelInformation>& kernel) {
    return !kernel || kernel->name == BuildKernelName();
}

ProcessorInformation ParseCpuInfo(const std::string& text) {
    ProcessorInformation out;
    std::istringstream lines(text);
    std::string line;
    bool haveName = false, haveClock = false;
    while (std::getline(lines, line) && !(haveName && haveClock)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string key = Trimmed(line.substr(0, colon));
        const std::string value = Trimmed(line.substr(colon + 1));
        if (!haveName && key == "model name") {
            out.name = Widen(value);
            haveName = true;
        } else if (!haveClock && key == "cpu MHz") {
            char* end = nullptr;
            const double mhz = std::strtod(value.c_str(), &end);
            if (end != value.c_str() && mhz > 0 && mhz < 1e6)
                out.megahertz = static_cast<uint32_t>(std::lround(mhz));
            haveClock = true;
        }
    }
    return out;
}

ProcessorInformation ReadProcessorInformation() {
    std::ifstream in("/proc/cpuinfo");
    std::ostringstream text;
    if (in) text << in.rdbuf();
    ProcessorInformation out = ParseCpuInfo(text.str());
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    out.count = online > 0 ? static_cast<uint32_t>(online) : 0;
    return out;
}

MemoryInformation ReadMemoryInformation() {
    MemoryInformation out;
    struct sysinfo info {};
    if (sysinfo(&info) == 0) {
        const unsigned long long unit = info.mem_unit ? info.mem_unit : 1;
        const unsigned long long total = info.totalram * unit;
        const unsigned long long available = (info.freeram + info.bufferram) * unit;
        out.physicalTotal = Capped(total);
        out.physicalAvailable = Capped(available);
        out.swapTotal = Capped(info.totalswap * unit);
        out.swapAvailable = Capped(info.freeswap * unit);
        if (total > 0)
            out.load = static_cast<uint32_t>(100 - std::min(total, available) * 100 / total);
    }
    // The user address space: the process's limit, when it has one.
    rlimit limit{};
    unsigned long long space = std::numeric_limits<unsigned long long>::max();
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        space = limit.rlim_cur;
    out.virtualTotal = Capped(space);
    out.virtualAvailable = out.virtualTotal;
    return out;
}

std::optional<int64_t> StandardGmtOffsetSeconds(int64_t unixSeconds) {
    const time_t now = static_cast<time_t>(unixSeconds);
    tm gmt{};
    if (gmtime_r(&now, &gmt) == nullptr) return std::nullopt;
    gmt.tm_isdst = 0;
    errno = 0;
    const time_t local = mktime(&gmt);
    if (local == static_cast<time_t>(-1) && errno != 0) return std::nullopt;
    return static_cast<int64_t>(now) - static_cast<int64_t>(local);
}

}  // namespace platform
