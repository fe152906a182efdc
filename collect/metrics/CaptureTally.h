// What one collection thread's captures did: per capture kind the duration
// of the latest run, the time of the latest success and the failures; for
// the thread the RFC errors and the reconnections.
//
// Thread rules: owned by one thread's publisher (collect/metrics/SourcePublisher.h).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "collect/metrics/Exposition.h"
#include "collect/metrics/SampleLines.h"

namespace metrics {

enum class CaptureOutcome { Succeeded, RfcError, OtherFailure };

// The kind label of a capture routine: "CInstanceThread::GetMemoryStatistics"
// gives "memory_statistics" (the operation in snake case, "get_" dropped).
std::string CaptureKind(std::u16string_view routine);

class CaptureTally {
  public:
    // A connection open is a reconnection from the second on.
    static constexpr std::string_view kOpenConnection = "open_connection";

    // nowSeconds: the capture's end in seconds since the epoch.
    void Record(const std::string& kind, double durationSeconds, double nowSeconds,
                CaptureOutcome outcome);
    void Render(Snapshot& snapshot, const LabelSet& source) const;

    uint64_t RfcErrors() const { return rfcErrors_; }
    uint64_t Reconnects() const { return opens_ > 0 ? opens_ - 1 : 0; }

  private:
    struct Kind {
        double lastDuration = 0.0;
        double lastSuccess = 0.0;
        bool succeeded = false;
        uint64_t failures = 0;
    };
    std::map<std::string, Kind, std::less<>> kinds_;
    uint64_t rfcErrors_ = 0;
    uint64_t opens_ = 0;
};

}  // namespace metrics
