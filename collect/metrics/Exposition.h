// The text exposition of a scrape: the format the scraper asked for in its
// Accept header, and the document made of every source's snapshot, each
// family under one header (HELP, TYPE, and UNIT in OpenMetrics), ending in
// "# EOF" in OpenMetrics.
//
// Thread rules: pure functions over snapshots that no longer change.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "collect/metrics/FamilyCatalogue.h"

namespace metrics {

enum class Format { OpenMetrics, Prometheus };

// One source's sample lines per family (collect/metrics/SampleLines.h);
// immutable once published.
struct Snapshot {
    std::array<std::string, kFamilyCount> samples;
    std::string& operator[](FamilyId id) { return samples[static_cast<size_t>(id)]; }
    const std::string& operator[](FamilyId id) const { return samples[static_cast<size_t>(id)]; }
};

// OpenMetrics when the header prefers application/openmetrics-text (its
// quality at least that of every other type), else Prometheus 0.0.4.
Format NegotiateFormat(std::string_view accept);
std::string_view ContentType(Format format);

// HELP and TYPE, in OpenMetrics also UNIT, of one family.
void AppendFamilyHeader(std::string& out, FamilyId family, Format format);

// The whole document; families without samples are left out.
std::string WriteExposition(Format format, std::span<const Snapshot* const> sources);

}  // namespace metrics
