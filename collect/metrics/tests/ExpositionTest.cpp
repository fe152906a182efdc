// The exposition text: sample lines, family headers in both formats, and the
// choice of format from the scraper's Accept header.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "collect/metrics/Exposition.h"
#include "collect/metrics/SampleLines.h"

namespace metrics {
namespace {

std::string Escaped(std::string_view value) {
    std::string out;
    AppendEscapedLabelValue(out, value);
    return out;
}

std::string Number(double value) {
    std::string out;
    AppendNumber(out, value);
    return out;
}

std::string Bound(double value) {
    std::string out;
    AppendBound(out, value);
    return out;
}

TEST(SampleLinesTest, LabelValuesEscapeBackslashQuoteAndLineFeedOnly) {
    EXPECT_EQ(Escaped(R"(C:\usr\sap)"), R"(C:\\usr\\sap)");
    EXPECT_EQ(Escaped("say \"hi\""), "say \\\"hi\\\"");
    EXPECT_EQ(Escaped("two\nlines"), "two\\nlines");
    EXPECT_EQ(Escaped("tab\tand ümlaut {x=1},"), "tab\tand ümlaut {x=1},");
    EXPECT_EQ(LabelSet().Add("server", "a\"b").Add("host", "c\\").Text(),
              R"(server="a\"b",host="c\\")");
}

TEST(SampleLinesTest, NumbersAreExactAndBoundsCanonical) {
    EXPECT_EQ(Number(0.37), "0.37");
    EXPECT_EQ(Number(42), "42");
    EXPECT_EQ(Number(-3.5), "-3.5");
    EXPECT_EQ(Number(16384000000), "16384000000");
    EXPECT_EQ(Number(-0.0), "0");
    EXPECT_EQ(Number(1e21), "1e+21");
    EXPECT_EQ(Number(std::numeric_limits<double>::infinity()), "+Inf");
    EXPECT_EQ(Number(-std::numeric_limits<double>::infinity()), "-Inf");
    EXPECT_EQ(Number(std::nan("")), "NaN");
    // A value written is the value read: no digits lost.
    EXPECT_EQ(std::stod(Number(0.1 + 0.2)), 0.1 + 0.2);
    EXPECT_EQ(Bound(1), "1.0");
    EXPECT_EQ(Bound(60), "60.0");
    EXPECT_EQ(Bound(0.025), "0.025");
    EXPECT_EQ(Bound(1e21), "1e+21");
}

TEST(SampleLinesTest, HistogramBucketsAreCumulativeInclusiveAndEndInInf) {
    static constexpr double kBounds[] = {0.1, 1.0, 10.0};
    Histogram h(kBounds);
    for (double v : {0.05, 0.1, 0.5, 1.0, 2.0, 50.0, 70.0}) h.Observe(v);
    Snapshot s;
    AppendHistogram(s, FamilyId::DialogStepResponseTime, LabelSet().Add("task_type", "1"), h);
    EXPECT_EQ(s[FamilyId::DialogStepResponseTime],
              "quorvel_dialog_step_response_time_seconds_bucket{task_type=\"1\",le=\"0.1\"} 2\n"
              "quorvel_dialog_step_response_time_seconds_bucket{task_type=\"1\",le=\"1.0\"} 4\n"
              "quorvel_dialog_step_response_time_seconds_bucket{task_type=\"1\",le=\"10.0\"} 5\n"
              "quorvel_dialog_step_response_time_seconds_bucket{task_type=\"1\",le=\"+Inf\"} 7\n"
              "quorvel_dialog_step_response_time_seconds_sum{task_type=\"1\"} 123.65\n"
              "quorvel_dialog_step_response_time_seconds_count{task_type=\"1\"} 7\n");
}

TEST(SampleLinesTest, EmptyHistogramStillHasEveryBucket) {
    static constexpr double kBounds[] = {1.0};
    Snapshot s;
    AppendHistogram(s, FamilyId::DialogStepCpuTime, LabelSet(), Histogram(kBounds));
    EXPECT_EQ(s[FamilyId::DialogStepCpuTime],
              "quorvel_dialog_step_cpu_time_seconds_bucket{le=\"1.0\"} 0\n"
              "quorvel_dialog_step_cpu_time_seconds_bucket{le=\"+Inf\"} 0\n"
              "quorvel_dialog_step_cpu_time_seconds_sum 0\n"
              "quorvel_dialog_step_cpu_time_seconds_count 0\n");
}

TEST(SampleLinesTest, CountersAndInfoGetTheirSampleSuffix) {
    Snapshot s;
    AppendSample(s, FamilyId::RfcErrors, LabelSet().Add("server", "x"), 3);
    AppendSample(s, FamilyId::BuildInfo, LabelSet().Add("version", "1"), 1);
    AppendSample(s, FamilyId::HostCpuBusy, LabelSet(), 0.5);
    EXPECT_EQ(s[FamilyId::RfcErrors], "quorvel_rfc_errors_total{server=\"x\"} 3\n");
    EXPECT_EQ(s[FamilyId::BuildInfo], "quorvel_build_info{version=\"1\"} 1\n");
    EXPECT_EQ(s[FamilyId::HostCpuBusy], "quorvel_host_cpu_busy_ratio 0.5\n");
}

Snapshot Sample(FamilyId family, std::string_view server, double value) {
    Snapshot s;
    AppendSample(s, family, LabelSet().Add("server", server), value);
    return s;
}

TEST(ExpositionTest, OpenMetricsNamesFamiliesWithoutSuffixGivesUnitsAndEndsInEof) {
    const Snapshot a = Sample(FamilyId::RfcErrors, "a", 1);
    const Snapshot b = Sample(FamilyId::CaptureDuration, "b", 0.25);
    const Snapshot* sources[] = {&a, &b};
    const std::string text = WriteExposition(Format::OpenMetrics, sources);
    EXPECT_NE(text.find("# TYPE quorvel_rfc_errors counter\n"), std::string::npos) << text;
    EXPECT_NE(text.find("# TYPE quorvel_capture_duration_seconds gauge\n"
                        "# UNIT quorvel_capture_duration_seconds seconds\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("# UNIT quorvel_rfc_errors"), std::string::npos) << text;
    ASSERT_GE(text.size(), 6u);
    EXPECT_EQ(text.substr(text.size() - 6), "# EOF\n");
    EXPECT_EQ(text.find("# EOF"), text.size() - 6) << "only once, at the end";
}

TEST(ExpositionTest, PrometheusNamesFamiliesBySampleNameWithoutUnitOrEof) {
    const Snapshot a = Sample(FamilyId::RfcErrors, "a", 1);
    Snapshot info;
    AppendSample(info, FamilyId::BuildInfo, LabelSet().Add("version", "4"), 1);
    const Snapshot* sources[] = {&a, &info};
    const std::string text = WriteExposition(Format::Prometheus, sources);
    EXPECT_NE(text.find("# HELP quorvel_rfc_errors_total "), std::string::npos) << text;
    EXPECT_NE(text.find("# TYPE quorvel_rfc_errors_total counter\n"), std::string::npos) << text;
    EXPECT_NE(text.find("# TYPE quorvel_build_info gauge\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("# UNIT"), std::string::npos) << text;
    EXPECT_EQ(text.find("# EOF"), std::string::npos) << text;
}

TEST(ExpositionTest, EachFamilyOnceWithTheSamplesOfAllSourcesBeneath) {
    const Snapshot a = Sample(FamilyId::HostCpuBusy, "a", 0.1);
    Snapshot b = Sample(FamilyId::HostCpuBusy, "b", 0.2);
    AppendSample(b, FamilyId::RfcErrors, LabelSet().Add("server", "b"), 0);
    const Snapshot c;  // a source that has published nothing yet
    const Snapshot* sources[] = {&a, &c, &b};
    const std::string text = WriteExposition(Format::OpenMetrics, sources);
    const size_t header = text.find("# TYPE quorvel_host_cpu_busy_ratio gauge");
    ASSERT_NE(header, std::string::npos) << text;
    EXPECT_EQ(text.find("# TYPE quorvel_host_cpu_busy_ratio", header + 1), std::string::npos);
    const size_t first = text.find("quorvel_host_cpu_busy_ratio{server=\"a\"} 0.1\n");
    const size_t second = text.find("quorvel_host_cpu_busy_ratio{server=\"b\"} 0.2\n");
    ASSERT_NE(first, std::string::npos) << text;
    ASSERT_NE(second, std::string::npos) << text;
    // Nothing of another family between the two samples.
    EXPECT_EQ(text.substr(first, second - first).find("# "), std::string::npos) << text;
    EXPECT_EQ(text.find("quorvel_servers"), std::string::npos) << "families without samples";
}

TEST(ExpositionTest, FormatFollowsTheAcceptHeader) {
    // What Prometheus 2.x sends.
    EXPECT_EQ(NegotiateFormat("application/openmetrics-text;version=1.0.0,application/"
                              "openmetrics-text;version=0.0.1;q=0.75,text/plain;version=0.0.4;"
                              "q=0.5,*/*;q=0.1"),
              Format::OpenMetrics);
    EXPECT_EQ(NegotiateFormat(""), Format::Prometheus);
    EXPECT_EQ(NegotiateFormat("*/*"), Format::Prometheus);
    EXPECT_EQ(NegotiateFormat("text/plain;version=0.0.4"), Format::Prometheus);
    EXPECT_EQ(NegotiateFormat("Application/OpenMetrics-Text; q=0.9, text/plain; q=0.5"),
              Format::OpenMetrics);
    EXPECT_EQ(NegotiateFormat("application/openmetrics-text;q=0.2, text/plain"),
              Format::Prometheus);
    EXPECT_EQ(NegotiateFormat("application/openmetrics-text;q=0"), Format::Prometheus);
    EXPECT_EQ(NegotiateFormat("application/openmetrics-text;q=junk"), Format::Prometheus);
    EXPECT_EQ(NegotiateFormat(",;,application/openmetrics-text"), Format::OpenMetrics);
    EXPECT_NE(ContentType(Format::OpenMetrics).find("application/openmetrics-text; version=1.0.0"),
              std::string_view::npos);
    EXPECT_NE(ContentType(Format::Prometheus).find("text/plain; version=0.0.4"),
              std::string_view::npos);
}

}  // namespace
}  // namespace metrics
