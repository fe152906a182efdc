// The report as data: sections of text, facts, tables and time-series
// charts. The reduction builds it from a Session; the HTML writer renders
// it and the CSV writer writes every table and series to a file of its own,
// so the page and the spreadsheets always show the same figures.
//
// Plain data.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace pellamy {

struct Paragraph {
    std::string text;
    bool warning = false;
};

// Name and value pairs ("Release", "46C").
struct Facts {
    std::vector<std::pair<std::string, std::string>> items;
};

struct Table {
    std::string file;   // CSV file name without ".csv"; empty: no CSV
    std::string title;  // shown above the table
    std::vector<std::string> columns;
    std::vector<bool> numeric;  // per column: right-aligned in the page
    std::vector<std::vector<std::string>> rows;
    size_t pageRows = 0;     // rows shown in the page (0: all); the CSV has all
    bool collapsed = false;  // shown folded in the page (long listings)
};

// Values sampled at times: one row per sample, one column per series. A
// sample farther than gapSeconds after the one before starts a new line
// segment (a missed minute shows as a gap); 0: never.
struct Chart {
    enum class Kind { Line, Bars };
    Kind kind = Kind::Line;
    std::string file;  // CSV file name without ".csv"
    std::string title;
    std::string unit;  // of the y axis, as the session carries it
    std::vector<std::string> series;
    std::vector<int64_t> seconds;             // OleSeconds of each sample (Line)
    std::vector<std::string> categories;      // x labels (Bars)
    std::string classAxis;                    // what the classes are, with their unit (Bars)
    std::vector<std::vector<double>> values;  // [sample][series]
    int64_t gapSeconds = 90;
    double yMax = 0;  // fixed top of the y axis (100 for percentages); 0: from the data
    // The x axis of a line chart: the session's time range.
    int64_t fromSecond = 0, toSecond = 0;
};

using Block = std::variant<Paragraph, Facts, Table, Chart>;

struct Section {
    std::string id;  // anchor
    std::string title;
    int level = 2;  // h2 for a part, h3 for an instance or host in it
    std::vector<Block> blocks;
};

struct Report {
    std::string title;
    std::vector<Section> sections;
};

}  // namespace pellamy
