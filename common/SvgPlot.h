// A line plot of one variable over time as a stand-alone SVG file: the curve
// through the computed points, both axes with tick marks and their labels, light
// grid lines, the axis titles "time" and the variable's name, and a title, so
// that the picture reads without the table. An estimate can carry a confidence
// band: the shaded area mean +- half-width behind the curve, with a legend.
#pragma once

#include <string>
#include <vector>

class SvgPlot {
  public:
    struct Band {
        std::vector<double> halfWidths; // per point; one that is not finite draws none
        std::string legend;
    };

    // The SVG text; `xs`, `ys` (and the band's half-widths) of equal length, at
    // least two points.
    static std::string Render(const std::string& title, const std::string& yTitle,
                              const std::vector<double>& xs, const std::vector<double>& ys,
                              const Band* band = nullptr);
    // Render() written to `path` (whole or not at all); a failure is a UserError.
    static void Write(const std::string& path, const std::string& title, const std::string& yTitle,
                      const std::vector<double>& xs, const std::vector<double>& ys,
                      const Band* band = nullptr);

    // Tick positions: about `target` round values (1, 2 or 5 times a power of 10)
    // covering [lo, hi]; `lo` and `hi` are widened to the outer ticks when `widen`.
    static std::vector<double> Ticks(double& lo, double& hi, int target, bool widen);
};
