#include "collect/system/DiskGuard.h"

#include <algorithm>

#include "platform/Directory.h"
#include "platform/Format.h"

uint64_t DiskGuard::DefaultMinimum(uint64_t totalBytes) {
    return std::min(kDefaultCeiling, totalBytes / 100 * kDefaultPercent);
}

DiskGuard::Change DiskGuard::Check(const std::u16string& path) {
    platform::FileSystemSpace space;
    if (!platform::SpaceOf(path, space)) return Change::None;
    reading_.known = true;
    reading_.availableBytes = space.availableBytes;
    const uint64_t minimum = minimum_;
    reading_.minimumBytes = minimum == kUseDefault ? DefaultMinimum(space.totalBytes) : minimum;
    const bool low = space.availableBytes < reading_.minimumBytes;
    if (low == reading_.paused) return Change::None;
    reading_.paused = low;
    return low ? Change::Paused : Change::Resumed;
}

std::u16string DiskGuard::Message(Change change, const std::u16string& path) const {
    const std::u16string free = ByteSizeText(reading_.availableBytes);
    const std::u16string minimum = ByteSizeText(reading_.minimumBytes);
    switch (change) {
        case Change::Paused:
            return platform::Format(
                u"dialog step capture paused: %s has %s free, less than the %s to keep free.", path,
                free, minimum);
        case Change::Resumed:
            return platform::Format(
                u"dialog step capture resumed: %s has %s free again (at least %s); the dialog "
                u"steps since the last capture are read at the next quarter hour.",
                path, free, minimum);
        default:
            return {};
    }
}

std::u16string ByteSizeText(uint64_t bytes) {
    static constexpr const char16_t* kUnits[] = {u"KiB", u"MiB", u"GiB", u"TiB"};
    if (bytes < 1024)
        return platform::Format(u"%llu bytes", static_cast<unsigned long long>(bytes));
    double value = static_cast<double>(bytes) / 1024.0;
    size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
        value /= 1024.0;
        ++unit;
    }
    return value < 10.0 ? platform::Format(u"%.1f %s", value, kUnits[unit])
                        : platform::Format(u"%.0f %s", value, kUnits[unit]);
}
