#include "collect/metrics/HostMetrics.h"

#include <utility>
#include "collect/metrics/RecordReadBack.h"

#include "platform/FixedText.h"

namespace metrics {

namespace {

// host.ctl keeps sizes in thousands of the kilobytes saposcol reports.
constexpr double kControlUnitBytes = 1000.0 * 1024.0;

}  // namespace

void HostMetrics::SetFiles(std::u16string cpuFile, const std::u16string& hostControlFile,
                           std::u16string_view controlName) {
    cpuFile_ = std::move(cpuFile);
    if (!IsAttached()) return;
    // The record's name field holds the name cut to its capacity.
    constexpr size_t kNameCapacity = sizeof(HostControlRecord::name) / sizeof(char16_t);
    const std::u16string wanted = platform::Trim(controlName.substr(0, kNameCapacity));
    try {
        int64_t offset = 0;
        for (const HostControlRecord& r : RecordsFrom<HostControlRecord>(hostControlFile, offset))
            if (platform::Trim(platform::FieldText(r.name)) == wanted) control_ = r;
    } catch (...) {
        // Without host.ctl the sizes are simply not served.
    }
    Publish();
}

void HostMetrics::Refresh(std::string_view kind) {
    if (kind == "host_statistics") minute_ = LastRecord<HostCpuRecord>(cpuFile_);
}

void HostMetrics::Render(Snapshot& snapshot) const {
    const LabelSet& labels = Labels();
    if (minute_) {
        AppendSample(snapshot, FamilyId::HostCpuBusy, labels, minute_->cpuBusyPercent / 100.0);
        AppendSample(snapshot, FamilyId::HostMemoryUsed, labels,
                     minute_->memoryUsedPercent / 100.0);
        AppendSample(snapshot, FamilyId::HostSwapUsed, labels, minute_->swapUsedPercent / 100.0);
        AppendSample(snapshot, FamilyId::HostDiskUtilisation, labels,
                     minute_->diskUtilAverage / 100.0);
    }
    if (control_) {
        // Copies: the record is packed. Zero: not described (an OMBRITH host); no figure rather
        // than a false one.
        const std::pair<FamilyId, double> sizes[] = {
            {FamilyId::HostPhysicalMemory, double(control_->physicalMemoryK)},
            {FamilyId::HostSwapSize, double(control_->swapSizeK)},
            {FamilyId::HostFileSystemCapacity, double(control_->fileSystemsK)}};
        for (const auto& [family, thousands] : sizes)
            if (thousands > 0)
                AppendSample(snapshot, family, labels, thousands * kControlUnitBytes);
    }
}

}  // namespace metrics
