// The report's file forms: CSV quoting, time texts, the charts' gaps and
// axes, escaping of names taken from the session, and file names.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "platform/tests/support/FileModes.h"
#include "tools/pellamy4/Output.h"
#include "tools/pellamy4/Reduction.h"

namespace {

using namespace pellamy;

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

TEST(OutputTest, CsvQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(CsvField("VA01"), "VA01");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    Table t;
    t.columns = {"Name", "Value"};
    t.rows = {{"x,y", "1"}};
    EXPECT_EQ(TableCsv(t), "Name,Value\r\n\"x,y\",1\r\n");
}

TEST(OutputTest, TimesAndNumbers) {
    // 7 December 2026 is OLE day 46363.
    EXPECT_EQ(FormatSecond(46363LL * 86400 + 10 * 3600 + 59), "2026-12-07 10:00:59");
    EXPECT_EQ(FormatSecond(0), "1899-12-30 00:00:00");
    EXPECT_EQ(FormatNumber(42), "42");
    EXPECT_EQ(FormatNumber(2.50), "2.5");
    EXPECT_EQ(FormatNumber(1.0 / 3.0, 3), "0.333");
    EXPECT_EQ(FormatNumber(NAN), "");
}

TEST(OutputTest, MissedMinutesBreakTheLineAndLoneSamplesShowAsDots) {
    Chart c;
    c.title = "CPU busy";
    c.unit = "%";
    c.series = {"busy"};
    const int64_t t0 = 46363LL * 86400 + 36000;
    // Minutes 0, 1, 2, then 5 alone, then 8, 9: three runs.
    for (int m : {0, 1, 2, 5, 8, 9}) {
        c.seconds.push_back(t0 + m * 60);
        c.values.push_back({double(m * 10)});
    }
    c.fromSecond = t0;
    c.toSecond = t0 + 9 * 60;
    const std::string svg = ChartSvg(c);
    const size_t pathStart = svg.find("<path d=\"");
    ASSERT_NE(pathStart, std::string::npos);
    const std::string path = svg.substr(pathStart, svg.find('"', pathStart + 9) - pathStart);
    EXPECT_EQ(Count(path, "M"), 3u) << path;
    EXPECT_EQ(Count(svg, "<circle"), 1u);
    // A value axis with the unit and the session's time range below the plot.
    EXPECT_NE(svg.find(">%</text>"), std::string::npos);
    EXPECT_NE(svg.find("2026-12-07 10:00:00 to 2026-12-07 10:09:00"), std::string::npos);
    EXPECT_NE(svg.find(">10:00</text>"), std::string::npos);

    // Without gaps (steps per minute) the same samples form one line.
    c.gapSeconds = 0;
    const std::string joined = ChartSvg(c);
    EXPECT_EQ(Count(joined.substr(joined.find("<path d=\"")), "M"), 1u);
}

TEST(OutputTest, NamesFromTheSessionAreEscapedInThePage) {
    Report r;
    r.title = "Session <b>";
    Section s{"x", "Host a&b", 2, {}};
    Table t;
    t.file = "t";
    t.title = "T";
    t.columns = {"Name"};
    t.rows = {{"<script>alert(1)</script>"}};
    s.blocks.push_back(t);
    r.sections.push_back(s);
    const std::string html = ReportHtml(r);
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;"), std::string::npos);
    EXPECT_NE(html.find("Host a&amp;b"), std::string::npos);
    EXPECT_EQ(FileNamePart("DEST(SYS)/x y"), "DEST(SYS)_x_y");
}

TEST(OutputTest, AFailedWriteKeepsThePreviousFile) {
    const auto dir = std::filesystem::temp_directory_path() / "pellamy4_output_keep";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "report.html").string();
    WriteFileReplacing(path, "old");
    // A directory in the way of the temporary file makes the write fail.
    std::filesystem::create_directories(path + ".tmp");
    EXPECT_THROW(WriteFileReplacing(path, "new"), std::runtime_error);
    std::ifstream in(path);
    std::string content((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(content, "old");
    std::filesystem::remove_all(dir);
}

TEST(OutputTest, ReportAndCsvFilesAreForOwnerAndGroupOnly) {
    const auto dir = std::filesystem::temp_directory_path() / "pellamy4_output_modes";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    Report report;
    report.title = "QAS";
    Section section;
    section.id = "users";
    section.title = "Users";
    Table table;
    table.file = "users";
    table.columns = {"Account"};
    table.numeric = {false};
    table.rows = {{"MEIER"}};
    section.blocks.push_back(table);
    report.sections.push_back(section);
    // An earlier report that everyone could read is replaced by a private one.
    WriteFileReplacing((dir / "report.html").string(), "old");
    std::filesystem::permissions(dir / "report.html", std::filesystem::perms(0644));
    {
        testsupport::UmaskScope mask(022);
        const auto written = WriteReportFiles(report, dir.string());
        EXPECT_EQ(written, (std::vector<std::string>{"users.csv", "report.html"}));
        for (const std::string& name : written)
            EXPECT_EQ(testsupport::ModeOf((dir / name).string()), 0640) << name;
    }
    {
        testsupport::UmaskScope mask(077);
        WriteReportFiles(report, dir.string());
        EXPECT_EQ(testsupport::ModeOf((dir / "users.csv").string()), 0600);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "users.csv.tmp"));
    std::filesystem::remove_all(dir);
}

}  // namespace
