// The live figures of one host or remote thread: CPU busy, memory and swap
// in use and the mean disk utilisation of the latest minute (.cpu), and the
// host's memory, swap and file-system sizes as host.ctl describes it, each
// read back from the file the thread has written.
//
// The thread attaches it before its start, gives it the files and its
// host.ctl name at the end of Initialize (SetFiles) and wraps its captures
// in Timed.
//
// Thread rules: as SourcePublisher.
#pragma once

#include <optional>
#include <string>

#include "collect/metrics/SourcePublisher.h"
#include "collect/records/HostRecords.h"

namespace metrics {

class HostMetrics : public SourcePublisher {
  public:
    // Reads the host.ctl record named controlName at once.
    void SetFiles(std::u16string cpuFile, const std::u16string& hostControlFile,
                  std::u16string_view controlName);

  protected:
    void Refresh(std::string_view kind) override;
    void Render(Snapshot& snapshot) const override;

  private:
    std::u16string cpuFile_;
    std::optional<HostCpuRecord> minute_;
    std::optional<HostControlRecord> control_;
};

}  // namespace metrics
