#include "collect/metrics/InstanceMetrics.h"

#include "collect/metrics/RecordReadBack.h"
#include "platform/FixedText.h"
#include "platform/TextCodec.h"

namespace metrics {

namespace {

// R/3 reports the memory areas in kilobytes.
constexpr double kBytesPerKilobyte = 1024.0;

template <size_t N>
std::string Text(const char16_t (&field)[N]) {
    return platform::ToUtf8(platform::Trim(platform::FieldText(field)));
}

}  // namespace

void InstanceMetrics::Refresh(std::string_view kind) {
    if (kind == "work_process_information") {
        workProcesses_.clear();
        int64_t offset = 0;
        for (const auto& wp : RecordsFrom<instrec::WorkProcessRecord>(files_.workProcesses, offset))
            ++workProcesses_[{Text(wp.wpTyp), Text(wp.wpStatus)}];
    } else if (kind == "memory_statistics") {
        memory_ = LastRecord<instrec::MemoryRecord>(files_.memory);
    } else if (kind == "request_queue_statistics") {
        queues_ = LastRecord<instrec::RequestQueueRecord>(files_.requestQueues);
    } else if (kind == "dialog_step_statistics") {
        steps_.Add(RecordsFrom<instrec::DialogStepRecord>(files_.dialogSteps, dialogStepOffset_));
    }
}

void InstanceMetrics::Render(Snapshot& snapshot) const {
    for (const auto& [key, count] : workProcesses_) {
        LabelSet labels = Labels();
        labels.Add("type", key.first).Add("status", key.second);
        AppendSample(snapshot, FamilyId::WorkProcesses, labels, count);
    }
    if (memory_) {
        const std::pair<const char*, double> areas[] = {
            {"buffers", double(memory_->bufferUsedSpace)},
            {"paging", double(memory_->pagingCurrUsed)},
            {"roll", double(memory_->rollCurrUsed)},
            {"extended", double(memory_->extendedAllocated)},
            {"heap", double(memory_->heapUsed)}};
        for (const auto& [area, kilobytes] : areas) {
            LabelSet labels = Labels();
            labels.Add("area", area);
            AppendSample(snapshot, FamilyId::InstanceMemoryUsed, labels,
                         kilobytes * kBytesPerKilobyte);
        }
    }
    if (queues_) {
        for (size_t i = 0; i < instrec::kQueueNames.size(); ++i) {
            LabelSet labels = Labels();
            labels.Add("queue", platform::ToUtf8(instrec::kQueueNames[i]));
            AppendSample(snapshot, FamilyId::RequestQueueLength, labels, queues_->queue[i]);
        }
    }
    steps_.Render(snapshot, Labels());
}

}  // namespace metrics
