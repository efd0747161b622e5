// A chart of several curves as a stand-alone SVG: one curve per series with a
// marker at each computed point, an optional confidence band behind it, both axes
// with tick labels and titles, a title and a line under it for what is held
// fixed, and the legend in a column of its own to the right of the plot, so that
// it never covers the data however the curves run.
//
// The axes suit the data: an axis is logarithmic where every value on it is
// positive and they span more than two decades, and the value axis of data that
// lies wholly within [0, 1] (a probability) is kept within [0, 1], bands included.
#pragma once

#include <string>
#include <vector>

class Chart {
  public:
    struct Series {
        std::string label;
        std::vector<double> xs; // ascending
        std::vector<double> ys;
        // Per point, the half-width of a band around ys; empty: no band. A value that
        // is not finite draws none at that point.
        std::vector<double> halfWidths;
        bool dashed = false;
        int color = -1; // an index into the palette; -1: the series' own position
    };

    std::string title;
    std::string subtitle; // empty: none
    std::string xTitle;
    std::string yTitle;
    std::vector<Series> series;

    bool LogX() const;
    bool LogY() const;
    bool Probability() const;

    // The SVG text. Series without points are left out; a chart without any point
    // still draws its axes.
    std::string Render() const;

    // The ticks of a logarithmic axis over [lo, hi] (both above 0): the powers of
    // ten, every one or every few so that there are at most about eight; lo and hi
    // are widened to the outer ticks.
    static std::vector<double> LogTicks(double& lo, double& hi);
};
