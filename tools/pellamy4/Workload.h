// The workload of a session from its dialog-step records: steps per minute
// by task type, response, CPU and database time per task type, the
// response-time distribution, and totals per transaction code, report and
// instance. Records are added one at a time, so a file of a million steps
// is reduced while it is read and never held in memory.
//
// Times are those of the records: response, CPU and database time as the
// collector stored them (the statistics record's microseconds / 1000, so
// milliseconds). A step belongs to the minute in which it ended.
//
// Not thread-safe; one aggregator per reduction.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "collect/records/InstanceRecords.h"

namespace pellamy {

// The name of an R/3 task type byte ("DIALOG", "BACKGROUND", ...), or
// "type 0xNN" for one the table does not know.
std::string TaskTypeName(uint8_t taskType);

struct StepTotals {
    uint64_t steps = 0;
    int64_t response = 0;  // ms
    int64_t cpu = 0;       // ms
    int64_t database = 0;  // ms
    void Add(const instrec::DialogStepRecord& r);
    void Add(const StepTotals& other);
};

// Upper bounds (ms, exclusive) of the response-time classes; the last class
// has no bound.
inline constexpr std::array<int32_t, 9> kResponseBounds = {100,  200,   500,   1000, 2000,
                                                           5000, 10000, 30000, 60000};
inline constexpr size_t kResponseClasses = kResponseBounds.size() + 1;
size_t ResponseClass(int32_t responseMs);
// "0-100", "100-200", ..., ">= 60000".
std::string ResponseClassLabel(size_t index);

// An OLE date as whole seconds since 30 December 1899 (rounded), the
// common clock of every series.
int64_t OleSeconds(double ole);

class Workload {
  public:
    Workload() = default;
    // The per-minute cursor points into its own map: moves keep it valid,
    // copies would not.
    Workload(const Workload&) = delete;
    Workload& operator=(const Workload&) = delete;
    Workload(Workload&&) = default;
    Workload& operator=(Workload&&) = default;

    // A record of the instance with this index (in the reduction's order).
    void Add(const instrec::DialogStepRecord& r, size_t instance);

    uint64_t Steps() const { return total_.steps; }
    const StepTotals& Total() const { return total_; }
    uint64_t StepsWithoutTime() const { return withoutTime_; }
    // Seconds (OleSeconds) of the first start and the last end; 0 when no
    // step carries a valid time.
    int64_t FirstSecond() const { return first_; }
    int64_t LastSecond() const { return last_; }

    // Task types present, in byte order, with their totals.
    std::map<uint8_t, StepTotals> ByTaskType() const;
    // Steps ending in each minute (minute = OleSeconds / 60) per task type.
    const std::map<int64_t, std::map<uint8_t, uint32_t>>& PerMinute() const { return perMinute_; }
    // Response-time classes over all steps and over dialog steps.
    const std::array<uint64_t, kResponseClasses>& Distribution() const { return distribution_; }
    const std::array<uint64_t, kResponseClasses>& DialogDistribution() const {
        return dialogDistribution_;
    }
    // Totals per trimmed transaction code or report ("" for none), largest
    // total response first, at most limit entries (0: all).
    std::vector<std::pair<std::string, StepTotals>> TopTransactions(size_t limit) const;
    std::vector<std::pair<std::string, StepTotals>> TopReports(size_t limit) const;
    const std::vector<StepTotals>& PerInstance() const { return perInstance_; }

  private:
    template <size_t N>
    struct Key {
        std::array<char16_t, N> units;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        template <size_t N>
        size_t operator()(const Key<N>& k) const;
    };

    StepTotals total_;
    uint64_t withoutTime_ = 0;
    int64_t first_ = 0, last_ = 0;
    std::array<StepTotals, 256> byType_{};
    std::map<int64_t, std::map<uint8_t, uint32_t>> perMinute_;
    std::array<uint64_t, kResponseClasses> distribution_{};
    std::array<uint64_t, kResponseClasses> dialogDistribution_{};
    std::unordered_map<Key<20>, StepTotals, KeyHash> byTcode_;
    std::unordered_map<Key<40>, StepTotals, KeyHash> byReport_;
    std::vector<StepTotals> perInstance_;
    // The last minute seen, so the common case of steps in time order does
    // not search the map for every record.
    int64_t lastMinute_ = INT64_MIN;
    std::map<uint8_t, uint32_t>* lastMinuteCounts_ = nullptr;
};

}  // namespace pellamy
