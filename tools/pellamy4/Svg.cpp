// The charts of the report as inline SVG: a time axis over the session's
// range with clock ticks, a value axis from zero with round ticks and the
// unit, one polyline per series broken where samples are missing, and a
// legend. Bar charts share the value axis and label their classes.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "tools/pellamy4/Output.h"

namespace pellamy {

namespace {

constexpr double kWidth = 880, kHeight = 270;
constexpr double kLeft = 70, kRight = 18, kTop = 34, kBottom = 50;
constexpr double kPlotW = kWidth - kLeft - kRight, kPlotH = kHeight - kTop - kBottom;

constexpr std::array<const char*, 10> kColours = {"#1f77b4", "#d62728", "#2ca02c", "#ff7f0e",
                                                  "#9467bd", "#8c564b", "#e377c2", "#17becf",
                                                  "#7f7f7f", "#bcbd22"};

std::string Num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

// A round step (1, 2 or 5 times a power of ten) giving about five ticks.
double NiceStep(double top) {
    if (top <= 0) return 1;
    const double raw = top / 5;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (raw <= m * power) return m * power;
    }
    return 10 * power;
}

std::string AxisNumber(double v) {
    const double a = std::fabs(v);
    char text[32];
    if (a >= 1e9)
        std::snprintf(text, sizeof text, "%gG", v / 1e9);
    else if (a >= 1e6)
        std::snprintf(text, sizeof text, "%gM", v / 1e6);
    else if (a >= 1e4)
        std::snprintf(text, sizeof text, "%gk", v / 1e3);
    else
        std::snprintf(text, sizeof text, "%g", v);
    return text;
}

struct ValueAxis {
    double top = 1, step = 1;
};

ValueAxis MakeValueAxis(const Chart& c) {
    double max = 0;
    for (const auto& row : c.values) {
        for (double v : row) {
            if (std::isfinite(v)) max = std::max(max, v);
        }
    }
    ValueAxis a;
    if (c.yMax > 0 && max <= c.yMax) {
        a.top = c.yMax;
        a.step = c.yMax / 5;
        return a;
    }
    a.step = NiceStep(max);
    a.top = std::max(a.step, std::ceil(max / a.step) * a.step);
    return a;
}

void Frame(std::string& out, const Chart& c, const ValueAxis& axis) {
    out += "<text x=\"" + Num(kLeft) + "\" y=\"18\" font-size=\"14\" font-weight=\"600\">" +
           HtmlEscape(c.title) + "</text>\n";
    // Value axis: grid lines, tick labels and the unit.
    for (double v = 0; v <= axis.top + axis.step / 2; v += axis.step) {
        const double y = kTop + kPlotH - v / axis.top * kPlotH;
        out += "<line x1=\"" + Num(kLeft) + "\" y1=\"" + Num(y) + "\" x2=\"" + Num(kLeft + kPlotW) +
               "\" y2=\"" + Num(y) + "\" stroke=\"#e3e8ee\"/>";
        out += "<text x=\"" + Num(kLeft - 6) + "\" y=\"" + Num(y + 4) +
               "\" font-size=\"11\" text-anchor=\"end\">" + AxisNumber(v) + "</text>\n";
    }
    out += "<text transform=\"translate(14," + Num(kTop + kPlotH / 2) +
           ") rotate(-90)\" font-size=\"12\" text-anchor=\"middle\">" + HtmlEscape(c.unit) +
           "</text>\n";
    out += "<line x1=\"" + Num(kLeft) + "\" y1=\"" + Num(kTop) + "\" x2=\"" + Num(kLeft) +
           "\" y2=\"" + Num(kTop + kPlotH) + "\" stroke=\"#333\"/>";
    out += "<line x1=\"" + Num(kLeft) + "\" y1=\"" + Num(kTop + kPlotH) + "\" x2=\"" +
           Num(kLeft + kPlotW) + "\" y2=\"" + Num(kTop + kPlotH) + "\" stroke=\"#333\"/>\n";
}

// After the title, each entry as wide as its text (about 7 units a character at 11 px).
void Legend(std::string& out, const std::string& title, const std::vector<std::string>& names) {
    double x = kLeft + 24 + 8.5 * static_cast<double>(title.size());
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string colour = kColours[i % kColours.size()];
        out += "<rect x=\"" + Num(x) + "\" y=\"9\" width=\"10\" height=\"10\" fill=\"" + colour +
               "\"/><text x=\"" + Num(x + 14) + "\" y=\"18\" font-size=\"11\">" +
               HtmlEscape(names[i]) + "</text>";
        x += 26 + 7.2 * static_cast<double>(names[i].size());
    }
    out += "\n";
}

// Clock ticks: the smallest step from the list that gives at most eight.
void TimeAxis(std::string& out, int64_t from, int64_t to) {
    static constexpr std::array<int64_t, 16> kSteps = {
        60,    120,   300,   600,   900,    1800,   3600,    7200,
        10800, 21600, 43200, 86400, 172800, 604800, 1209600, 2592000};
    const int64_t span = std::max<int64_t>(to - from, 1);
    int64_t step = kSteps.back();
    for (int64_t s : kSteps) {
        if (span / s <= 8) {
            step = s;
            break;
        }
    }
    const int64_t first = (from + step - 1) / step * step;
    std::string lastDate;
    for (int64_t t = first; t <= to; t += step) {
        const double x = kLeft + static_cast<double>(t - from) / static_cast<double>(span) * kPlotW;
        const std::string stamp = FormatSecond(t);  // "YYYY-MM-DD HH:MM:SS"
        const std::string date = stamp.substr(0, 10);
        out += "<line x1=\"" + Num(x) + "\" y1=\"" + Num(kTop + kPlotH) + "\" x2=\"" + Num(x) +
               "\" y2=\"" + Num(kTop + kPlotH + 5) + "\" stroke=\"#333\"/>";
        const std::string clock = step >= 86400 ? date : stamp.substr(11, 5);
        out += "<text x=\"" + Num(x) + "\" y=\"" + Num(kTop + kPlotH + 17) +
               "\" font-size=\"11\" text-anchor=\"middle\">" + clock + "</text>";
        if (step < 86400 && date != lastDate) {
            out += "<text x=\"" + Num(x) + "\" y=\"" + Num(kTop + kPlotH + 30) +
                   "\" font-size=\"10\" fill=\"#55657a\" text-anchor=\"middle\">" + date +
                   "</text>";
            lastDate = date;
        }
        out += "\n";
    }
    out += "<text x=\"" + Num(kLeft + kPlotW) + "\" y=\"" + Num(kHeight - 4) +
           "\" font-size=\"11\" fill=\"#55657a\" text-anchor=\"end\">collector local time, " +
           FormatSecond(from) + " to " + FormatSecond(to) + "</text>\n";
}

void Lines(std::string& out, const Chart& c, const ValueAxis& axis, int64_t from, int64_t to) {
    const double span = static_cast<double>(std::max<int64_t>(to - from, 1));
    for (size_t s = 0; s < c.series.size(); ++s) {
        const std::string colour = kColours[s % kColours.size()];
        std::string path;
        std::string dots;
        size_t segmentPoints = 0;
        double lastX = 0, lastY = 0;
        auto endSegment = [&] {
            if (segmentPoints == 1)
                dots += "<circle cx=\"" + Num(lastX) + "\" cy=\"" + Num(lastY) +
                        "\" r=\"2\" fill=\"" + colour + "\"/>";
            segmentPoints = 0;
        };
        for (size_t i = 0; i < c.seconds.size(); ++i) {
            const double v = s < c.values[i].size() ? c.values[i][s] : NAN;
            const bool gap =
                i > 0 && c.gapSeconds > 0 && c.seconds[i] - c.seconds[i - 1] > c.gapSeconds;
            if (gap || !std::isfinite(v)) endSegment();
            if (!std::isfinite(v)) continue;
            const double x = kLeft + static_cast<double>(c.seconds[i] - from) / span * kPlotW;
            const double y = kTop + kPlotH - std::clamp(v / axis.top, 0.0, 1.0) * kPlotH;
            path += (segmentPoints == 0 ? "M" : "L") + Num(x) + " " + Num(y);
            ++segmentPoints;
            lastX = x;
            lastY = y;
        }
        endSegment();
        if (!path.empty())
            out += "<path d=\"" + path + "\" fill=\"none\" stroke=\"" + colour +
                   "\" stroke-width=\"1.5\" stroke-linejoin=\"round\"/>";
        out += dots + "\n";
    }
}

void Bars(std::string& out, const Chart& c, const ValueAxis& axis) {
    const size_t n = std::max<size_t>(c.values.size(), 1);
    const size_t groups = std::max<size_t>(c.series.size(), 1);
    const double slot = kPlotW / static_cast<double>(n);
    const double bar = slot * 0.8 / static_cast<double>(groups);
    for (size_t i = 0; i < c.values.size(); ++i) {
        for (size_t s = 0; s < c.values[i].size(); ++s) {
            const double v = std::isfinite(c.values[i][s]) ? c.values[i][s] : 0;
            const double h = std::clamp(v / axis.top, 0.0, 1.0) * kPlotH;
            const double x =
                kLeft + slot * static_cast<double>(i) + slot * 0.1 + bar * static_cast<double>(s);
            out += "<rect x=\"" + Num(x) + "\" y=\"" + Num(kTop + kPlotH - h) + "\" width=\"" +
                   Num(bar) + "\" height=\"" + Num(h) + "\" fill=\"" +
                   kColours[s % kColours.size()] + "\"/>";
        }
        const std::string label = i < c.categories.size() ? c.categories[i] : "";
        out += "<text x=\"" + Num(kLeft + slot * (static_cast<double>(i) + 0.5)) + "\" y=\"" +
               Num(kTop + kPlotH + 17) + "\" font-size=\"11\" text-anchor=\"middle\">" +
               HtmlEscape(label) + "</text>\n";
    }
}

}  // namespace

std::string ChartSvg(const Chart& c) {
    std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(kWidth) +
                      "\" height=\"" + Num(kHeight) + "\" viewBox=\"0 0 " + Num(kWidth) + " " +
                      Num(kHeight) + "\" role=\"img\" aria-label=\"" + HtmlEscape(c.title) +
                      "\">\n";
    const ValueAxis axis = MakeValueAxis(c);
    Frame(out, c, axis);
    Legend(out, c.title, c.series);
    if (c.kind == Chart::Kind::Bars) {
        Bars(out, c, axis);
        out += "<text x=\"" + Num(kLeft + kPlotW) + "\" y=\"" + Num(kHeight - 4) +
               "\" font-size=\"11\" fill=\"#55657a\" text-anchor=\"end\">" +
               HtmlEscape(c.classAxis) + "</text>\n";
    } else {
        int64_t from = c.fromSecond, to = c.toSecond;
        if (from == 0 && to == 0 && !c.seconds.empty()) {
            from = c.seconds.front();
            to = c.seconds.back();
        }
        if (to <= from) {
            from -= 60;
            to += 60;
        }
        TimeAxis(out, from, to);
        Lines(out, c, axis, from, to);
        if (c.seconds.empty())
            out +=
                "<text x=\"" + Num(kLeft + kPlotW / 2) + "\" y=\"" + Num(kTop + kPlotH / 2) +
                "\" font-size=\"13\" fill=\"#55657a\" text-anchor=\"middle\">no samples</text>\n";
    }
    out += "</svg>";
    return out;
}

}  // namespace pellamy
