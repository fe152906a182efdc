#include "tools/pellamy4/Workload.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/pellamy4/SessionFiles.h"

namespace pellamy {

namespace {
constexpr uint8_t kDialogTaskType = 0x01;
}

std::string TaskTypeName(uint8_t taskType) {
    switch (taskType) {
        case 0x01:
            return "DIALOG";
        case 0x02:
            return "UPDATE";
        case 0x03:
            return "SPOOL";
        case 0x04:
            return "BACKGROUND";
        case 0x05:
            return "ENQUEUE";
        case 0x06:
            return "BUF.SYNC";
        case 0x07:
            return "AUTOABAP";
        case 0x08:
            return "UPDATE2";
        case 0xFC:
            return "ALE";
        case 0xFD:
            return "CPIC";
        case 0xFE:
            return "RFC";
        default:
            break;
    }
    char text[16];
    std::snprintf(text, sizeof text, "type 0x%02X", taskType);
    return text;
}

void StepTotals::Add(const instrec::DialogStepRecord& r) {
    ++steps;
    response += r.responseTime;
    cpu += r.cpuTime;
    database += r.databaseTime;
}

void StepTotals::Add(const StepTotals& other) {
    steps += other.steps;
    response += other.response;
    cpu += other.cpu;
    database += other.database;
}

size_t ResponseClass(int32_t responseMs) {
    const auto it = std::upper_bound(kResponseBounds.begin(), kResponseBounds.end(), responseMs);
    return static_cast<size_t>(it - kResponseBounds.begin());
}

std::string ResponseClassLabel(size_t index) {
    if (index == 0) return "0-" + std::to_string(kResponseBounds[0]);
    if (index >= kResponseBounds.size()) return ">= " + std::to_string(kResponseBounds.back());
    return std::to_string(kResponseBounds[index - 1]) + "-" +
           std::to_string(kResponseBounds[index]);
}

int64_t OleSeconds(double ole) {
    return std::llround(ole * 86400.0);
}

template <size_t N>
size_t Workload::KeyHash::operator()(const Key<N>& k) const {
    uint64_t h = 1469598103934665603ull;
    for (char16_t c : k.units) {
        if (c == 0) break;
        h = (h ^ c) * 1099511628211ull;
    }
    return static_cast<size_t>(h);
}

void Workload::Add(const instrec::DialogStepRecord& r, size_t instance) {
    total_.Add(r);
    byType_[r.taskType].Add(r);
    const size_t cls = ResponseClass(r.responseTime);
    ++distribution_[cls];
    if (r.taskType == kDialogTaskType) ++dialogDistribution_[cls];
    if (perInstance_.size() <= instance) perInstance_.resize(instance + 1);
    perInstance_[instance].Add(r);

    Key<20> tcode;
    std::memcpy(tcode.units.data(), r.tcode, sizeof r.tcode);
    byTcode_[tcode].Add(r);
    Key<40> report;
    std::memcpy(report.units.data(), r.report, sizeof r.report);
    byReport_[report].Add(r);

    const double start = r.start, end = r.end;
    if (!PlausibleTime(end)) {
        ++withoutTime_;
        return;
    }
    const int64_t endSecond = OleSeconds(end);
    const int64_t startSecond =
        PlausibleTime(start) && start <= end ? OleSeconds(start) : endSecond;
    if (first_ == 0 || startSecond < first_) first_ = startSecond;
    if (endSecond > last_) last_ = endSecond;
    const int64_t minute = endSecond / 60;
    if (minute != lastMinute_) {
        lastMinute_ = minute;
        lastMinuteCounts_ = &perMinute_[minute];
    }
    ++(*lastMinuteCounts_)[r.taskType];
}

std::map<uint8_t, StepTotals> Workload::ByTaskType() const {
    std::map<uint8_t, StepTotals> out;
    for (size_t i = 0; i < byType_.size(); ++i) {
        if (byType_[i].steps != 0) out[static_cast<uint8_t>(i)] = byType_[i];
    }
    return out;
}

namespace {

// Merges keys that differ only in blanks and sorts by total response time,
// then by name, so the order is the same on every run.
template <typename Map>
std::vector<std::pair<std::string, StepTotals>> Ranked(const Map& map, size_t limit) {
    std::map<std::string, StepTotals> merged;
    for (const auto& [key, totals] : map)
        merged[FieldUtf8(key.units.data(), key.units.size())].Add(totals);
    std::vector<std::pair<std::string, StepTotals>> out(merged.begin(), merged.end());
    std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
        return a.second.response > b.second.response;
    });
    if (limit != 0 && out.size() > limit) out.resize(limit);
    return out;
}

}  // namespace

std::vector<std::pair<std::string, StepTotals>> Workload::TopTransactions(size_t limit) const {
    return Ranked(byTcode_, limit);
}

std::vector<std::pair<std::string, StepTotals>> Workload::TopReports(size_t limit) const {
    return Ranked(byReport_, limit);
}

}  // namespace pellamy
