#include "common/Chart.h"

#include "common/Markup.h"
#include "common/SvgPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

constexpr double kPlotWidth = 560, kPlotHeight = 340;
constexpr double kLeft = 90, kTop = 74, kBottom = 62;
constexpr double kLegendGap = 24, kLegendLine = 18, kCharWidth = 7.2;

// Colours that stay apart for the common forms of colour blindness, in the order
// curves take them.
const char* const kPalette[] = {"#0072b2", "#d55e00", "#009e73", "#cc79a7", "#e69f00",
                                "#56b4e9", "#000000", "#8c564b", "#7f7f7f", "#bcbd22"};
constexpr int kColours = sizeof kPalette / sizeof kPalette[0];

// The stroke of a curve: a dashed one (a simulation beside a solution), or, once the
// colours have all been used, a pattern that tells the second round apart.
std::string Stroke(const Chart::Series& c, size_t position) {
    const int index = c.color >= 0 ? c.color : static_cast<int>(position);
    if (c.dashed)
        return " stroke-dasharray=\"6 4\"";
    if (index >= kColours)
        return (index / kColours) % 2 == 1 ? " stroke-dasharray=\"2 3\""
                                           : " stroke-dasharray=\"10 3 2 3\"";
    return "";
}

// Every finite value of one axis, bands included where `withBands`.
template <typename F> void ForEachValue(const Chart& c, bool xAxis, bool withBands, F f) {
    for (const Chart::Series& s : c.series) {
        const std::vector<double>& v = xAxis ? s.xs : s.ys;
        for (size_t k = 0; k < v.size(); k++) {
            if (!std::isfinite(v[k]))
                continue;
            f(v[k]);
            if (!xAxis && withBands && k < s.halfWidths.size() && std::isfinite(s.halfWidths[k])) {
                f(v[k] - s.halfWidths[k]);
                f(v[k] + s.halfWidths[k]);
            }
        }
    }
}

bool SpansDecades(const Chart& c, bool xAxis) {
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    bool positive = true, any = false;
    ForEachValue(c, xAxis, false, [&](double v) {
        any = true;
        positive = positive && v > 0.0;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    });
    return any && positive && hi / lo > 100.0;
}

// One axis: where a value goes, and the ticks with their labels.
struct Axis {
    bool log = false;
    double lo = 0, hi = 1;
    std::vector<double> ticks;
    double step = 1; // of a linear axis, for its labels

    double Fraction(double v) const {
        return log ? (std::log10(v) - std::log10(lo)) / (std::log10(hi) - std::log10(lo))
                   : (v - lo) / (hi - lo);
    }
    bool Shows(double v) const { return std::isfinite(v) && (!log || v > 0.0); }
    std::string TickLabel(double v) const {
        if (!log)
            return Markup::TickLabel(v, step);
        char text[32];
        std::snprintf(text, sizeof text, "%g", v);
        return text;
    }
};

} // namespace

bool Chart::LogX() const {
    return SpansDecades(*this, true);
}
bool Chart::LogY() const {
    return SpansDecades(*this, false);
}

bool Chart::Probability() const {
    bool inside = true, any = false;
    ForEachValue(*this, false, false, [&](double v) {
        any = true;
        inside = inside && v >= 0.0 && v <= 1.0;
    });
    return any && inside;
}

std::vector<double> Chart::LogTicks(double& lo, double& hi) {
    int first = static_cast<int>(std::floor(std::log10(lo) + 1e-9));
    int last = static_cast<int>(std::ceil(std::log10(hi) - 1e-9));
    if (last <= first)
        last = first + 1;
    const int every = std::max(1, (last - first + 7) / 8);
    first = first - ((first % every) + every) % every;
    while ((last - first) % every != 0)
        last++;
    lo = std::pow(10.0, first);
    hi = std::pow(10.0, last);
    std::vector<double> ticks;
    for (int e = first; e <= last; e += every)
        ticks.push_back(std::pow(10.0, e));
    return ticks;
}

std::string Chart::Render() const {
    const bool probability = Probability();
    Axis x, y;
    x.log = LogX();
    y.log = LogY();

    double x0 = HUGE_VAL, x1 = -HUGE_VAL;
    ForEachValue(*this, true, false, [&](double v) {
        x0 = std::min(x0, v);
        x1 = std::max(x1, v);
    });
    double y0 = HUGE_VAL, y1 = -HUGE_VAL;
    ForEachValue(*this, false, true, [&](double v) {
        if (probability)
            v = std::min(1.0, std::max(0.0, v));
        if (y.log && !(v > 0.0))
            return;
        y0 = std::min(y0, v);
        y1 = std::max(y1, v);
    });
    if (!(x0 <= x1))
        x0 = 0.0, x1 = 1.0;
    if (!(y0 <= y1))
        y0 = 0.0, y1 = 1.0;

    if (x.log) {
        x.ticks = LogTicks(x0, x1);
    } else {
        x.ticks = SvgPlot::Ticks(x0, x1, 8, false);
        x.step = x.ticks.size() > 1 ? x.ticks[1] - x.ticks[0] : 1.0;
    }
    if (y.log) {
        y.ticks = LogTicks(y0, y1);
    } else {
        y.ticks = SvgPlot::Ticks(y0, y1, 6, true);
        if (probability) {
            // The outer ticks may overshoot [0, 1]; the axis does not.
            y0 = std::max(y0, 0.0);
            y1 = std::min(y1, 1.0);
            if (!(y1 > y0))
                y0 = 0.0, y1 = 1.0;
            y.ticks.erase(
                std::remove_if(y.ticks.begin(), y.ticks.end(),
                               [&](double t) { return t < y0 - 1e-12 || t > y1 + 1e-12; }),
                y.ticks.end());
        }
        y.step = y.ticks.size() > 1 ? y.ticks[1] - y.ticks[0] : 1.0;
    }
    x.lo = x0, x.hi = x1, y.lo = y0, y.hi = y1;

    std::vector<const Series*> shown;
    size_t longest = 0;
    for (const Series& s : series)
        if (!s.xs.empty()) {
            shown.push_back(&s);
            longest = std::max(longest, s.label.size());
        }
    const double legendWidth =
        shown.empty() ? 0.0 : 40.0 + kCharWidth * static_cast<double>(longest);
    const double width = kLeft + kPlotWidth + kLegendGap + legendWidth + 16;
    const double height = std::max(kTop + kPlotHeight + kBottom,
                                   kTop + kLegendLine * static_cast<double>(shown.size()) + 20);
    auto px = [&](double v) { return kLeft + x.Fraction(v) * kPlotWidth; };
    auto py = [&](double v) {
        if (probability)
            v = std::min(1.0, std::max(0.0, v));
        return kTop + kPlotHeight - y.Fraction(v) * kPlotHeight;
    };

    std::ostringstream s;
    s << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Markup::Coordinate(width)
      << "\" height=\"" << Markup::Coordinate(height) << "\" viewBox=\"0 0 "
      << Markup::Coordinate(width) << " " << Markup::Coordinate(height)
      << "\" font-family=\"sans-serif\" font-size=\"13\">\n";
    s << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    s << "<text x=\"" << Markup::Coordinate(kLeft + kPlotWidth / 2)
      << "\" y=\"26\" text-anchor=\"middle\" "
      << "font-size=\"16\">" << Markup::Escaped(title) << "</text>\n";
    if (!subtitle.empty())
        s << "<text x=\"" << Markup::Coordinate(kLeft + kPlotWidth / 2)
          << "\" y=\"46\" text-anchor=\"middle\" "
          << "fill=\"#444\">" << Markup::Escaped(subtitle) << "</text>\n";

    const double bottom = kTop + kPlotHeight, right = kLeft + kPlotWidth;
    for (double t : x.ticks) {
        const std::string p = Markup::Coordinate(px(t));
        s << "<line x1=\"" << p << "\" y1=\"" << Markup::Coordinate(kTop) << "\" x2=\"" << p
          << "\" y2=\"" << Markup::Coordinate(bottom) << "\" stroke=\"#e0e0e0\"/>\n";
        s << "<line x1=\"" << p << "\" y1=\"" << Markup::Coordinate(bottom) << "\" x2=\"" << p
          << "\" y2=\"" << Markup::Coordinate(bottom + 6) << "\" stroke=\"black\"/>\n";
        s << "<text x=\"" << p << "\" y=\"" << Markup::Coordinate(bottom + 22)
          << "\" text-anchor=\"middle\">" << x.TickLabel(t) << "</text>\n";
    }
    for (double t : y.ticks) {
        const std::string p = Markup::Coordinate(py(t));
        s << "<line x1=\"" << Markup::Coordinate(kLeft) << "\" y1=\"" << p << "\" x2=\""
          << Markup::Coordinate(right) << "\" y2=\"" << p << "\" stroke=\"#e0e0e0\"/>\n";
        s << "<line x1=\"" << Markup::Coordinate(kLeft - 6) << "\" y1=\"" << p << "\" x2=\""
          << Markup::Coordinate(kLeft) << "\" y2=\"" << p << "\" stroke=\"black\"/>\n";
        s << "<text x=\"" << Markup::Coordinate(kLeft - 10) << "\" y=\""
          << Markup::Coordinate(py(t) + 4) << "\" text-anchor=\"end\">" << y.TickLabel(t)
          << "</text>\n";
    }
    s << "<rect x=\"" << Markup::Coordinate(kLeft) << "\" y=\"" << Markup::Coordinate(kTop)
      << "\" width=\"" << Markup::Coordinate(kPlotWidth) << "\" height=\""
      << Markup::Coordinate(kPlotHeight) << "\" fill=\"none\" stroke=\"black\"/>\n";
    s << "<text x=\"" << Markup::Coordinate(kLeft + kPlotWidth / 2) << "\" y=\""
      << Markup::Coordinate(bottom + 48) << "\" text-anchor=\"middle\">" << Markup::Escaped(xTitle)
      << (x.log ? " (log scale)" : "") << "</text>\n";
    s << "<text transform=\"translate(22," << Markup::Coordinate(kTop + kPlotHeight / 2)
      << ") rotate(-90)\" text-anchor=\"middle\">" << Markup::Escaped(yTitle)
      << (y.log ? " (log scale)" : "") << "</text>\n";

    // Bands first, so that every curve stays visible over them.
    for (size_t k = 0; k < shown.size(); k++) {
        const Series& c = *shown[k];
        const char* colour = kPalette[(c.color >= 0 ? c.color : static_cast<int>(k)) % kColours];
        if (c.halfWidths.empty())
            continue;
        // A band breaks where a point has none; each stretch is a polygon of its own.
        size_t from = 0;
        while (from < c.xs.size()) {
            auto has = [&](size_t j) {
                return j < c.halfWidths.size() && std::isfinite(c.halfWidths[j]) &&
                       x.Shows(c.xs[j]) && std::isfinite(c.ys[j]);
            };
            while (from < c.xs.size() && !has(from))
                from++;
            size_t to = from;
            while (to < c.xs.size() && has(to))
                to++;
            if (to > from) {
                auto lower = [&](size_t j) {
                    double v = c.ys[j] - c.halfWidths[j];
                    return y.log && !(v > y.lo) ? y.lo : std::max(v, y.lo);
                };
                auto upper = [&](size_t j) { return std::min(c.ys[j] + c.halfWidths[j], y.hi); };
                s << "<polygon fill=\"" << colour
                  << "\" fill-opacity=\"0.18\" stroke=\"none\" points=\"";
                for (size_t j = from; j < to; j++)
                    s << Markup::Coordinate(px(c.xs[j])) << "," << Markup::Coordinate(py(upper(j)))
                      << " ";
                for (size_t j = to; j-- > from;)
                    s << Markup::Coordinate(px(c.xs[j])) << "," << Markup::Coordinate(py(lower(j)))
                      << (j > from ? " " : "");
                s << "\"/>\n";
            }
            from = to;
        }
    }
    for (size_t k = 0; k < shown.size(); k++) {
        const Series& c = *shown[k];
        const char* colour = kPalette[(c.color >= 0 ? c.color : static_cast<int>(k)) % kColours];
        std::string points;
        auto flush = [&]() {
            if (points.find(' ') != std::string::npos)
                s << "<polyline fill=\"none\" stroke=\"" << colour << "\" stroke-width=\"2\""
                  << Stroke(c, k) << " points=\"" << points << "\"/>\n";
            points.clear();
        };
        for (size_t j = 0; j < c.xs.size(); j++) {
            if (!x.Shows(c.xs[j]) || !y.Shows(c.ys[j])) {
                flush();
                continue;
            }
            points += (points.empty() ? "" : " ") + Markup::Coordinate(px(c.xs[j])) + "," +
                      Markup::Coordinate(py(c.ys[j]));
        }
        flush();
        for (size_t j = 0; j < c.xs.size(); j++)
            if (x.Shows(c.xs[j]) && y.Shows(c.ys[j]))
                s << "<circle cx=\"" << Markup::Coordinate(px(c.xs[j])) << "\" cy=\""
                  << Markup::Coordinate(py(c.ys[j])) << "\" r=\"3\" fill=\"" << colour << "\"/>\n";
    }

    // The legend, beside the plot.
    const double lx = right + kLegendGap;
    for (size_t k = 0; k < shown.size(); k++) {
        const Series& c = *shown[k];
        const char* colour = kPalette[(c.color >= 0 ? c.color : static_cast<int>(k)) % kColours];
        const double ly = kTop + 8 + kLegendLine * static_cast<double>(k);
        if (!c.halfWidths.empty())
            s << "<rect x=\"" << Markup::Coordinate(lx) << "\" y=\"" << Markup::Coordinate(ly - 7)
              << "\" width=\"24\" height=\"14\" fill=\"" << colour
              << "\" fill-opacity=\"0.18\"/>\n";
        s << "<line x1=\"" << Markup::Coordinate(lx) << "\" y1=\"" << Markup::Coordinate(ly)
          << "\" x2=\"" << Markup::Coordinate(lx + 24) << "\" y2=\"" << Markup::Coordinate(ly)
          << "\" stroke=\"" << colour << "\" stroke-width=\"2\"" << Stroke(c, k) << "/>\n";
        s << "<text x=\"" << Markup::Coordinate(lx + 32) << "\" y=\"" << Markup::Coordinate(ly + 4)
          << "\">" << Markup::Escaped(c.label) << "</text>\n";
    }
    s << "</svg>\n";
    return s.str();
}
