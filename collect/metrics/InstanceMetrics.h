// The live figures of one instance thread: its work processes by type and
// status (.wp), memory in use (.mem) and request-queue lengths (.drq) of the
// latest minute, and the dialog steps appended to .dss, each read back from
// the file the capture has just written.
//
// The instance thread attaches it (Attach) before its start, gives it the
// file paths at the end of Initialize (SetFiles) and wraps every capture
// body in Timed.
//
// Thread rules: as SourcePublisher.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "collect/metrics/DialogStepFigures.h"
#include "collect/metrics/SourcePublisher.h"
#include "collect/records/InstanceRecords.h"

namespace metrics {

struct InstanceFiles {
    std::u16string workProcesses, memory, requestQueues, dialogSteps;
};

class InstanceMetrics : public SourcePublisher {
  public:
    void SetFiles(InstanceFiles files) { files_ = std::move(files); }
    uint64_t DialogStepsRead() const { return steps_.Total(); }

  protected:
    void Refresh(std::string_view kind) override;
    void Render(Snapshot& snapshot) const override;

  private:
    InstanceFiles files_;
    std::map<std::pair<std::string, std::string>, int> workProcesses_;
    std::optional<instrec::MemoryRecord> memory_;
    std::optional<instrec::RequestQueueRecord> queues_;
    DialogStepFigures steps_;
    int64_t dialogStepOffset_ = 0;
};

}  // namespace metrics
