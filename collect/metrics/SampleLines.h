// The sample lines of the text exposition, written the same way for the
// OpenMetrics and the Prometheus 0.0.4 format: `name{labels} value` with
// label values escaped (backslash, double quote, line feed), numbers in
// their shortest exact form, and histogram buckets cumulative, their "le"
// bounds in canonical form ("0.5", "1.0", "+Inf"). Only the family headers
// differ between the formats (collect/metrics/Exposition.h).
//
// Thread rules: plain values; a LabelSet or Histogram belongs to one thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "collect/metrics/Exposition.h"
#include "collect/metrics/FamilyCatalogue.h"

namespace metrics {

// Appends value with \ " and line feed escaped.
void AppendEscapedLabelValue(std::string& out, std::string_view value);
// A sample value: shortest round-trip form, "+Inf", "-Inf" or "NaN".
void AppendNumber(std::string& out, double value);
// A bucket bound in canonical form: an integral value gets ".0".
void AppendBound(std::string& out, double bound);

// Label pairs in the order added, already escaped: `a="x",b="y"`.
class LabelSet {
  public:
    LabelSet& Add(std::string_view name, std::string_view value);
    const std::string& Text() const { return text_; }

  private:
    std::string text_;
};

// Observations counted per bucket: bucket i holds values up to bounds[i]
// (after those of bucket i-1); the last bucket holds everything above.
class Histogram {
  public:
    explicit Histogram(std::span<const double> bounds);
    void Observe(double value);
    std::span<const double> Bounds() const { return bounds_; }
    const std::vector<uint64_t>& BucketCounts() const { return counts_; }
    uint64_t Count() const { return count_; }
    double Sum() const { return sum_; }

  private:
    std::span<const double> bounds_;  // ascending, without +Inf; static storage
    std::vector<uint64_t> counts_;
    uint64_t count_ = 0;
    double sum_ = 0.0;
};

// One line under the family: its sample name, the labels, the value.
void AppendSample(Snapshot& snapshot, FamilyId family, const LabelSet& labels, double value);
// _bucket lines with cumulative counts ending in le="+Inf", then _sum and _count.
void AppendHistogram(Snapshot& snapshot, FamilyId family, const LabelSet& labels,
                     const Histogram& histogram);

}  // namespace metrics
