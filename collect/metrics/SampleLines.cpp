#include "collect/metrics/SampleLines.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace metrics {

void AppendEscapedLabelValue(std::string& out, std::string_view value) {
    for (const char c : value) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
}

void AppendNumber(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value > 0 ? "+Inf" : "-Inf";
        return;
    }
    char text[32];
    // Whole numbers as integers: counts and byte sizes read better without
    // an exponent, and below 2^53 every one of them is exact.
    constexpr double kExactIntegers = 9007199254740992.0;
    if (std::abs(value) < kExactIntegers && value == std::trunc(value)) {
        const auto result = std::to_chars(text, text + sizeof text, static_cast<int64_t>(value));
        out.append(text, result.ptr);
        return;
    }
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void AppendBound(std::string& out, double bound) {
    const size_t start = out.size();
    AppendNumber(out, bound);
    const std::string_view written(out.data() + start, out.size() - start);
    if (written.find_first_of(".eIN") == std::string_view::npos) out += ".0";
}

LabelSet& LabelSet::Add(std::string_view name, std::string_view value) {
    if (!text_.empty()) text_ += ',';
    text_ += name;
    text_ += "=\"";
    AppendEscapedLabelValue(text_, value);
    text_ += '"';
    return *this;
}

Histogram::Histogram(std::span<const double> bounds)
    : bounds_(bounds), counts_(bounds.size() + 1, 0) {}

void Histogram::Observe(double value) {
    // Bucket of the first bound not below the value: le is inclusive.
    const auto bound = std::lower_bound(bounds_.begin(), bounds_.end(), value);
    ++counts_[static_cast<size_t>(bound - bounds_.begin())];
    ++count_;
    sum_ += value;
}

namespace {

void AppendLine(std::string& out, std::string_view name, std::string_view suffix,
                std::string_view labels, std::string_view extraLabel, double value) {
    out += name;
    out += suffix;
    if (!labels.empty() || !extraLabel.empty()) {
        out += '{';
        out += labels;
        if (!labels.empty() && !extraLabel.empty()) out += ',';
        out += extraLabel;
        out += '}';
    }
    out += ' ';
    AppendNumber(out, value);
    out += '\n';
}

}  // namespace

void AppendSample(Snapshot& snapshot, FamilyId family, const LabelSet& labels, double value) {
    const FamilyInfo& info = Family(family);
    AppendLine(snapshot[family], info.name, SampleSuffix(info.type), labels.Text(), {}, value);
}

void AppendHistogram(Snapshot& snapshot, FamilyId family, const LabelSet& labels,
                     const Histogram& histogram) {
    std::string& out = snapshot[family];
    const std::string_view name = Family(family).name;
    const std::vector<uint64_t>& counts = histogram.BucketCounts();
    uint64_t cumulative = 0;
    std::string le;
    for (size_t i = 0; i < counts.size(); ++i) {
        cumulative += counts[i];
        le = "le=\"";
        if (i < histogram.Bounds().size())
            AppendBound(le, histogram.Bounds()[i]);
        else
            le += "+Inf";
        le += '"';
        AppendLine(out, name, "_bucket", labels.Text(), le, static_cast<double>(cumulative));
    }
    AppendLine(out, name, "_sum", labels.Text(), {}, histogram.Sum());
    AppendLine(out, name, "_count", labels.Text(), {}, static_cast<double>(histogram.Count()));
}

}  // namespace metrics
