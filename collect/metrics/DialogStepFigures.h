// The dialog steps an instance has read so far, by task type: their count
// and histograms of response, CPU and database time. Times in the records
// are milliseconds; the histograms count seconds.
//
// Thread rules: owned by one instance thread's publisher.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <span>

#include "collect/metrics/Exposition.h"
#include "collect/metrics/SampleLines.h"
#include "collect/records/InstanceRecords.h"

namespace metrics {

// Bucket bounds of the step times, in seconds.
inline constexpr std::array<double, 12> kStepTimeBounds = {0.01, 0.025, 0.05, 0.1,  0.25, 0.5,
                                                           1.0,  2.5,   5.0,  10.0, 30.0, 60.0};

class DialogStepFigures {
  public:
    void Add(std::span<const instrec::DialogStepRecord> steps);
    uint64_t Total() const;
    void Render(Snapshot& snapshot, const LabelSet& source) const;

  private:
    struct TaskType {
        uint64_t steps = 0;
        Histogram response{kStepTimeBounds}, cpu{kStepTimeBounds}, database{kStepTimeBounds};
    };
    std::map<uint8_t, TaskType> taskTypes_;
};

}  // namespace metrics
