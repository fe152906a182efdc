#include "tools/pellamy4/Output.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <stdexcept>

#include "platform/AccessModes.h"
#include "platform/DateTime.h"

namespace pellamy {

namespace {
// Days from the OLE epoch (30 December 1899) to 1 January 1970.
constexpr int64_t kOleEpochToUnixDays = 25569;

int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
}  // namespace

std::string FormatSecond(int64_t oleSeconds) {
    const int64_t days = FloorDiv(oleSeconds, 86400);
    const int64_t rest = oleSeconds - days * 86400;
    platform::DateTime t;
    platform::CivilFromDays(days - kOleEpochToUnixDays, t);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                  static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                  static_cast<int>(rest % 60));
    return text;
}

std::string FormatNumber(double value, int decimals) {
    if (!std::isfinite(value)) return "";
    char text[64];
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        std::snprintf(text, sizeof text, "%.0f", value);
        return text;
    }
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string s = text;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

namespace {
void CsvLine(std::string& out, const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i != 0) out += ',';
        out += CsvField(fields[i]);
    }
    out += "\r\n";
}
}  // namespace

std::string TableCsv(const Table& table) {
    std::string out;
    CsvLine(out, table.columns);
    for (const auto& row : table.rows) CsvLine(out, row);
    return out;
}

std::string ChartCsv(const Chart& chart) {
    std::string out;
    std::vector<std::string> header{chart.kind == Chart::Kind::Bars ? "class" : "time"};
    for (const std::string& s : chart.series)
        header.push_back(chart.unit.empty() ? s : s + " [" + chart.unit + "]");
    CsvLine(out, header);
    for (size_t i = 0; i < chart.values.size(); ++i) {
        std::vector<std::string> row;
        if (chart.kind == Chart::Kind::Bars)
            row.push_back(i < chart.categories.size() ? chart.categories[i] : "");
        else
            row.push_back(FormatSecond(chart.seconds[i]));
        for (double v : chart.values[i]) row.push_back(FormatNumber(v, 3));
        CsvLine(out, row);
    }
    return out;
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

namespace {

constexpr const char* kStyle = R"(
body{font-family:system-ui,-apple-system,"Segoe UI",Roboto,"DejaVu Sans",sans-serif;margin:0;color:#1d2733;background:#f4f6f8}
header{background:#23364d;color:#fff;padding:18px 28px}
header h1{margin:0;font-size:22px;font-weight:600}
header p{margin:4px 0 0;color:#c9d6e3;font-size:13px}
nav{background:#fff;border-bottom:1px solid #d8dee5;padding:8px 28px;font-size:13px;position:sticky;top:0}
nav a{margin-right:16px;color:#23588f;text-decoration:none}
main{padding:8px 28px 40px;max-width:1180px}
h2{font-size:19px;margin:28px 0 8px;padding-bottom:4px;border-bottom:2px solid #23364d}
h3{font-size:16px;margin:22px 0 6px;color:#23364d}
h4{font-size:14px;margin:14px 0 4px}
p{font-size:14px;line-height:1.45;margin:6px 0}
p.warn{background:#fff4e0;border-left:4px solid #e39b21;padding:6px 10px}
table{border-collapse:collapse;font-size:13px;margin:4px 0 12px;background:#fff}
th,td{border:1px solid #d8dee5;padding:3px 8px;text-align:left;vertical-align:top}
th{background:#e9eef3;font-weight:600}
td.n{text-align:right;font-variant-numeric:tabular-nums}
dl{display:grid;grid-template-columns:max-content auto;gap:2px 16px;font-size:14px;margin:6px 0 12px}
dt{color:#55657a}dd{margin:0}
figure{margin:8px 0 16px;background:#fff;border:1px solid #d8dee5;padding:6px;display:inline-block}
figcaption{font-size:12px;color:#55657a}
details{margin:4px 0 12px}summary{cursor:pointer;font-size:14px;color:#23588f}
.csv{font-size:12px;color:#55657a}
svg text{font-family:inherit}
)";

void RenderTable(std::string& out, const Table& t) {
    const size_t shown = t.pageRows == 0 ? t.rows.size() : std::min(t.pageRows, t.rows.size());
    std::string body;
    if (!t.title.empty()) body += "<h4>" + HtmlEscape(t.title) + "</h4>\n";
    if (t.rows.empty()) {
        body += "<p>No rows.</p>\n";
    } else {
        body += "<table><thead><tr>";
        for (const std::string& c : t.columns) body += "<th>" + HtmlEscape(c) + "</th>";
        body += "</tr></thead><tbody>\n";
        for (size_t r = 0; r < shown; ++r) {
            body += "<tr>";
            for (size_t c = 0; c < t.rows[r].size(); ++c) {
                const bool numeric = c < t.numeric.size() && t.numeric[c];
                body += numeric ? "<td class=\"n\">" : "<td>";
                body += HtmlEscape(t.rows[r][c]) + "</td>";
            }
            body += "</tr>\n";
        }
        body += "</tbody></table>\n";
    }
    std::string csv;
    if (!t.file.empty()) {
        csv = "<p class=\"csv\">";
        if (shown < t.rows.size())
            csv += "The first " + std::to_string(shown) + " of " + std::to_string(t.rows.size()) +
                   " rows; all of them in ";
        else
            csv += "CSV: ";
        csv +=
            "<a href=\"" + HtmlEscape(t.file) + ".csv\">" + HtmlEscape(t.file) + ".csv</a></p>\n";
    }
    if (t.collapsed) {
        out += "<details><summary>" + HtmlEscape(t.title) + " (" + std::to_string(t.rows.size()) +
               " rows)</summary>\n" + body + csv + "</details>\n";
    } else {
        out += body + csv;
    }
}

}  // namespace

std::string ReportHtml(const Report& report) {
    std::string out;
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    out += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    out += "<title>" + HtmlEscape(report.title) + "</title>\n<style>" + kStyle + "</style>\n";
    out += "</head>\n<body>\n<header><h1>" + HtmlEscape(report.title) + "</h1>";
    out += "<p>Data reduction of a collector session</p></header>\n<nav>";
    for (const Section& s : report.sections) {
        if (s.level == 2)
            out += "<a href=\"#" + HtmlEscape(s.id) + "\">" + HtmlEscape(s.title) + "</a>";
    }
    out += "</nav>\n<main>\n";
    for (const Section& s : report.sections) {
        const std::string h = s.level == 2 ? "h2" : "h3";
        out += "<section id=\"" + HtmlEscape(s.id) + "\">\n<" + h + ">" + HtmlEscape(s.title) +
               "</" + h + ">\n";
        for (const Block& b : s.blocks) {
            if (const auto* p = std::get_if<Paragraph>(&b)) {
                out += p->warning ? "<p class=\"warn\">" : "<p>";
                out += HtmlEscape(p->text) + "</p>\n";
            } else if (const auto* f = std::get_if<Facts>(&b)) {
                out += "<dl>";
                for (const auto& [k, v] : f->items)
                    out += "<dt>" + HtmlEscape(k) + "</dt><dd>" + HtmlEscape(v) + "</dd>";
                out += "</dl>\n";
            } else if (const auto* t = std::get_if<Table>(&b)) {
                RenderTable(out, *t);
            } else if (const auto* c = std::get_if<Chart>(&b)) {
                out += "<figure>" + ChartSvg(*c);
                out += "<figcaption>" + HtmlEscape(c->title);
                if (!c->file.empty())
                    out += " &middot; CSV: <a href=\"" + HtmlEscape(c->file) + ".csv\">" +
                           HtmlEscape(c->file) + ".csv</a>";
                out += "</figcaption></figure>\n";
            }
        }
        out += "</section>\n";
    }
    out += "</main>\n</body>\n</html>\n";
    return out;
}

void WriteFileReplacing(const std::string& path, std::string_view content) {
    const std::string temp = path + ".tmp";
    // The report quotes the session's accounts and transactions: created
    // private, and afresh, since a stale temporary would keep its own mode.
    ::unlink(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          static_cast<mode_t>(platform::kPrivateFileMode));
    if (fd < 0) throw std::runtime_error(path + ": cannot write: " + std::strerror(errno));
    std::FILE* f = ::fdopen(fd, "wb");
    if (f == nullptr) {
        const int error = errno;
        ::close(fd);
        std::remove(temp.c_str());
        throw std::runtime_error(path + ": cannot write: " + std::strerror(error));
    }
    const bool written = std::fwrite(content.data(), 1, content.size(), f) == content.size();
    const int writeError = errno;
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        std::remove(temp.c_str());
        throw std::runtime_error(path +
                                 ": cannot write: " + std::strerror(written ? errno : writeError));
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        std::remove(temp.c_str());
        throw std::runtime_error(path + ": cannot write: " + std::strerror(error));
    }
}

std::vector<std::string> WriteReportFiles(const Report& report, const std::string& folder) {
    std::vector<std::string> written;
    std::set<std::string> seen;
    auto write = [&](const std::string& name, const std::string& content) {
        if (!seen.insert(name).second) return;
        WriteFileReplacing(folder + "/" + name, content);
        written.push_back(name);
    };
    for (const Section& s : report.sections) {
        for (const Block& b : s.blocks) {
            if (const auto* t = std::get_if<Table>(&b); t && !t->file.empty())
                write(t->file + ".csv", TableCsv(*t));
            else if (const auto* c = std::get_if<Chart>(&b); c && !c->file.empty())
                write(c->file + ".csv", ChartCsv(*c));
        }
    }
    write("report.html", ReportHtml(report));
    return written;
}

}  // namespace pellamy
