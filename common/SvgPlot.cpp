#include "common/SvgPlot.h"

#include "common/AtomicFile.h"
#include "common/Markup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

constexpr double kWidth = 720, kHeight = 450;
constexpr double kLeft = 100, kRight = 30, kTop = 50, kBottom = 70;

// Coordinates, labels and text as every plot writes them.
std::string Num(double v) {
    return Markup::Coordinate(v);
}
std::string Label(double v, double step) {
    return Markup::TickLabel(v, step);
}
std::string Escaped(const std::string& s) {
    return Markup::Escaped(s);
}

} // namespace

std::vector<double> SvgPlot::Ticks(double& lo, double& hi, int target, bool widen) {
    if (!(hi > lo)) {
        const double pad = lo != 0.0 ? std::fabs(lo) * 0.1 : 1.0;
        lo -= pad;
        hi += pad;
    }
    const double raw = (hi - lo) / target;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * power;
        if (step >= raw)
            break;
    }
    double first = std::ceil(lo / step - 1e-9) * step;
    double last = std::floor(hi / step + 1e-9) * step;
    if (widen) {
        first = std::floor(lo / step + 1e-9) * step;
        last = std::ceil(hi / step - 1e-9) * step;
        lo = first;
        hi = last;
    }
    std::vector<double> ticks;
    const long count = std::lround((last - first) / step);
    for (long k = 0; k <= count; k++)
        ticks.push_back(first + static_cast<double>(k) * step);
    return ticks;
}

std::string SvgPlot::Render(const std::string& title, const std::string& yTitle,
                            const std::vector<double>& xs, const std::vector<double>& ys,
                            const Band* band) {
    std::vector<double> lo = ys, hi = ys;
    if (band != nullptr)
        for (size_t k = 0; k < ys.size(); k++) {
            const double h = band->halfWidths[k];
            if (std::isfinite(h)) {
                lo[k] -= h;
                hi[k] += h;
            }
        }
    double x0 = xs.front(), x1 = xs.back();
    double y0 = *std::min_element(lo.begin(), lo.end());
    double y1 = *std::max_element(hi.begin(), hi.end());
    const std::vector<double> xt = Ticks(x0, x1, 8, false);
    const std::vector<double> yt = Ticks(y0, y1, 6, true);
    const double xstep = xt.size() > 1 ? xt[1] - xt[0] : 1.0;
    const double ystep = yt.size() > 1 ? yt[1] - yt[0] : 1.0;
    const double pw = kWidth - kLeft - kRight, ph = kHeight - kTop - kBottom;
    auto px = [&](double x) { return kLeft + (x - x0) / (x1 - x0) * pw; };
    auto py = [&](double y) { return kTop + ph - (y - y0) / (y1 - y0) * ph; };

    std::ostringstream s;
    s << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << kHeight
      << "\" viewBox=\"0 0 " << kWidth << " " << kHeight
      << "\" font-family=\"sans-serif\" font-size=\"13\">\n";
    s << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    s << "<text x=\"" << Num(kLeft + pw / 2) << "\" y=\"28\" text-anchor=\"middle\" "
      << "font-size=\"16\">" << Escaped(title) << "</text>\n";
    // Grid lines, ticks and their labels.
    for (double x : xt) {
        const std::string p = Num(px(x));
        s << "<line x1=\"" << p << "\" y1=\"" << Num(kTop) << "\" x2=\"" << p << "\" y2=\""
          << Num(kTop + ph) << "\" stroke=\"#e0e0e0\"/>\n";
        s << "<line x1=\"" << p << "\" y1=\"" << Num(kTop + ph) << "\" x2=\"" << p << "\" y2=\""
          << Num(kTop + ph + 6) << "\" stroke=\"black\"/>\n";
        s << "<text x=\"" << p << "\" y=\"" << Num(kTop + ph + 22) << "\" text-anchor=\"middle\">"
          << Label(x, xstep) << "</text>\n";
    }
    for (double y : yt) {
        const std::string p = Num(py(y));
        s << "<line x1=\"" << Num(kLeft) << "\" y1=\"" << p << "\" x2=\"" << Num(kLeft + pw)
          << "\" y2=\"" << p << "\" stroke=\"#e0e0e0\"/>\n";
        s << "<line x1=\"" << Num(kLeft - 6) << "\" y1=\"" << p << "\" x2=\"" << Num(kLeft)
          << "\" y2=\"" << p << "\" stroke=\"black\"/>\n";
        s << "<text x=\"" << Num(kLeft - 10) << "\" y=\"" << Num(py(y) + 4)
          << "\" text-anchor=\"end\">" << Label(y, ystep) << "</text>\n";
    }
    // The band under the axes and the curve.
    if (band != nullptr) {
        s << "<polygon class=\"band\" fill=\"#1f5fbf\" fill-opacity=\"0.2\" stroke=\"none\" "
             "points=\"";
        for (size_t k = 0; k < xs.size(); k++)
            s << (k > 0 ? " " : "") << Num(px(xs[k])) << "," << Num(py(hi[k]));
        for (size_t k = xs.size(); k-- > 0;)
            s << " " << Num(px(xs[k])) << "," << Num(py(lo[k]));
        s << "\"/>\n";
    }
    // The axes.
    s << "<line x1=\"" << Num(kLeft) << "\" y1=\"" << Num(kTop + ph) << "\" x2=\""
      << Num(kLeft + pw) << "\" y2=\"" << Num(kTop + ph) << "\" stroke=\"black\"/>\n";
    s << "<line x1=\"" << Num(kLeft) << "\" y1=\"" << Num(kTop) << "\" x2=\"" << Num(kLeft)
      << "\" y2=\"" << Num(kTop + ph) << "\" stroke=\"black\"/>\n";
    s << "<text x=\"" << Num(kLeft + pw / 2) << "\" y=\"" << Num(kHeight - 20)
      << "\" text-anchor=\"middle\">time</text>\n";
    s << "<text x=\"24\" y=\"" << Num(kTop + ph / 2) << "\" text-anchor=\"middle\" "
      << "transform=\"rotate(-90 24 " << Num(kTop + ph / 2) << ")\">" << Escaped(yTitle)
      << "</text>\n";
    // The curve, with a mark at each point while there are few enough to tell apart.
    s << "<polyline " << (band != nullptr ? "class=\"mean\" " : "")
      << "fill=\"none\" stroke=\"#1f5fbf\" stroke-width=\"2\" points=\"";
    for (size_t k = 0; k < xs.size(); k++)
        s << (k > 0 ? " " : "") << Num(px(xs[k])) << "," << Num(py(ys[k]));
    s << "\"/>\n";
    if (xs.size() <= 60)
        for (size_t k = 0; k < xs.size(); k++)
            s << "<circle cx=\"" << Num(px(xs[k])) << "\" cy=\"" << Num(py(ys[k]))
              << "\" r=\"3\" fill=\"#1f5fbf\"/>\n";
    if (band != nullptr) {
        // The legend, in the top right corner of the plot area.
        const double lx = kLeft + pw - 230, ly = kTop + 12;
        s << "<rect x=\"" << Num(lx) << "\" y=\"" << Num(ly) << "\" width=\"22\" height=\"10\" "
          << "fill=\"#1f5fbf\" fill-opacity=\"0.2\"/>\n";
        s << "<text x=\"" << Num(lx + 28) << "\" y=\"" << Num(ly + 10) << "\">"
          << Escaped(band->legend) << "</text>\n";
    }
    s << "</svg>\n";
    return s.str();
}

void SvgPlot::Write(const std::string& path, const std::string& title, const std::string& yTitle,
                    const std::vector<double>& xs, const std::vector<double>& ys,
                    const Band* band) {
    AtomicFile::Write(path, Render(title, yTitle, xs, ys, band));
}
