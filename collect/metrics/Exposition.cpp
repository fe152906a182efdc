#include "collect/metrics/Exposition.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace metrics {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The q parameter of one media range; 1 when absent, 0 when unreadable.
double Quality(std::string_view parameters) {
    while (!parameters.empty()) {
        const size_t end = parameters.find(';');
        const std::string_view parameter = Trim(parameters.substr(0, end));
        parameters =
            end == std::string_view::npos ? std::string_view{} : parameters.substr(end + 1);
        const size_t equals = parameter.find('=');
        if (equals == std::string_view::npos ||
            !EqualsNoCase(Trim(parameter.substr(0, equals)), "q"))
            continue;
        const std::string_view value = Trim(parameter.substr(equals + 1));
        double q = 0.0;
        const auto result = std::from_chars(value.data(), value.data() + value.size(), q);
        if (result.ec != std::errc() || q < 0.0 || q > 1.0) return 0.0;
        return q;
    }
    return 1.0;
}

void AppendHelpText(std::string& out, std::string_view text, Format format) {
    for (const char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '"' && format == Format::OpenMetrics)
            out += "\\\"";
        else
            out += c;
    }
}

std::string_view TypeWord(MetricType type, Format format) {
    switch (type) {
        case MetricType::Counter:
            return "counter";
        case MetricType::Histogram:
            return "histogram";
        case MetricType::Info:
            return format == Format::OpenMetrics ? "info" : "gauge";
        default:
            return "gauge";
    }
}

}  // namespace

Format NegotiateFormat(std::string_view accept) {
    double openMetrics = 0.0, other = 0.0;
    while (!accept.empty()) {
        const size_t end = accept.find(',');
        const std::string_view range = accept.substr(0, end);
        accept = end == std::string_view::npos ? std::string_view{} : accept.substr(end + 1);
        const size_t semicolon = range.find(';');
        const std::string_view type = Trim(range.substr(0, semicolon));
        if (type.empty()) continue;
        const double q = Quality(semicolon == std::string_view::npos ? std::string_view{}
                                                                     : range.substr(semicolon + 1));
        if (EqualsNoCase(type, "application/openmetrics-text"))
            openMetrics = std::max(openMetrics, q);
        else
            other = std::max(other, q);
    }
    return openMetrics > 0.0 && openMetrics >= other ? Format::OpenMetrics : Format::Prometheus;
}

std::string_view ContentType(Format format) {
    return format == Format::OpenMetrics
               ? "application/openmetrics-text; version=1.0.0; charset=utf-8"
               : "text/plain; version=0.0.4; charset=utf-8";
}

void AppendFamilyHeader(std::string& out, FamilyId family, Format format) {
    const FamilyInfo& info = Family(family);
    // Prometheus 0.0.4 names a family by its sample name; OpenMetrics by the
    // name without the type's suffix.
    std::string name(info.name);
    if (format == Format::Prometheus) name += SampleSuffix(info.type);
    out += "# HELP ";
    out += name;
    out += ' ';
    AppendHelpText(out, info.help, format);
    out += "\n# TYPE ";
    out += name;
    out += ' ';
    out += TypeWord(info.type, format);
    out += '\n';
    if (format == Format::OpenMetrics && !info.unit.empty()) {
        out += "# UNIT ";
        out += name;
        out += ' ';
        out += info.unit;
        out += '\n';
    }
}

std::string WriteExposition(Format format, std::span<const Snapshot* const> sources) {
    size_t size = 16;
    for (const Snapshot* source : sources)
        for (const std::string& lines : source->samples) size += lines.size();
    std::string out;
    out.reserve(size + kFamilyCount * 200);
    for (size_t f = 0; f < kFamilyCount; ++f) {
        const bool any = std::any_of(sources.begin(), sources.end(),
                                     [f](const Snapshot* s) { return !s->samples[f].empty(); });
        if (!any) continue;
        AppendFamilyHeader(out, static_cast<FamilyId>(f), format);
        for (const Snapshot* source : sources) out += source->samples[f];
    }
    if (format == Format::OpenMetrics) out += "# EOF\n";
    return out;
}

}  // namespace metrics
