// Writing the report's files: the CSV form of tables and charts, the HTML
// page with its inline SVG charts, time texts, and the replacement of a
// file by a complete new one, so a failed write leaves the previous file as
// it was.
//
// Pure functions, except WriteFileReplacing and WriteReportFiles, which
// write into the folder they are given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/pellamy4/ReportModel.h"

namespace pellamy {

// "YYYY-MM-DD HH:MM:SS" of an OleSeconds value.
std::string FormatSecond(int64_t oleSeconds);
// A number for the page and the CSV: integers without fraction, others
// with at most the given decimals.
std::string FormatNumber(double value, int decimals = 2);

// One CSV field: quoted when it holds a comma, quote or line break.
std::string CsvField(std::string_view text);
std::string TableCsv(const Table& table);
// "time" and one column per series; a bar chart has "class" instead.
std::string ChartCsv(const Chart& chart);

std::string HtmlEscape(std::string_view text);
// A chart as a self-contained <svg> element with axes, ticks, unit and legend.
std::string ChartSvg(const Chart& chart);
std::string ReportHtml(const Report& report);

// Writes the content to "<path>.tmp" and renames it over path. Throws
// std::runtime_error naming the file on any failure.
void WriteFileReplacing(const std::string& path, std::string_view content);

// Writes report.html and one CSV per table and chart with a file name into
// the folder; returns the names written.
std::vector<std::string> WriteReportFiles(const Report& report, const std::string& folder);

}  // namespace pellamy
