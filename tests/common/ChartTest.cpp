// The study charts: the axes the data asks for, the legend beside the plot, bands
// kept within what the axis shows.
#include "common/Chart.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace {

Chart OneSeries(std::vector<double> xs, std::vector<double> ys, std::vector<double> hw = {}) {
    Chart c;
    c.title = "t";
    c.xTitle = "x";
    c.yTitle = "y";
    Chart::Series s;
    s.label = "curve";
    s.xs = std::move(xs);
    s.ys = std::move(ys);
    s.halfWidths = std::move(hw);
    c.series.push_back(s);
    return c;
}

// The numbers of attribute `name` over the whole SVG text.
std::vector<double> Attribute(const std::string& svg, const std::string& name) {
    std::vector<double> values;
    const std::regex pattern(" " + name + "=\"([-0-9.]+)\"");
    for (std::sregex_iterator i(svg.begin(), svg.end(), pattern), end; i != end; ++i)
        values.push_back(std::strtod((*i)[1].str().c_str(), nullptr));
    return values;
}

TEST(ChartTest, AxesFollowTheData) {
    struct Case {
        std::vector<double> xs, ys;
        bool logX, logY, probability;
    } cases[] = {
        {{1, 2, 3}, {0.2, 0.5, 0.9}, false, false, true},
        {{1e-6, 1e-3, 1}, {5, 6, 7}, true, false, false},
        {{1, 2, 3}, {1e-8, 1e-5, 1e-3}, false, true, true},
        // Two decades exactly is not more than two.
        {{1, 10, 100}, {1, 2, 3}, false, false, false},
        // A zero or a negative value rules a logarithmic axis out.
        {{0, 1e-3, 1}, {-1, 1e3, 1e6}, false, false, false},
        {{1, 2}, {0.5, 1.5}, false, false, false},
    };
    for (const Case& c : cases) {
        const Chart chart = OneSeries(c.xs, c.ys);
        EXPECT_EQ(chart.LogX(), c.logX) << c.xs[0];
        EXPECT_EQ(chart.LogY(), c.logY) << c.ys[0];
        EXPECT_EQ(chart.Probability(), c.probability) << c.ys[0];
        EXPECT_EQ(chart.Render().find("(log scale)") != std::string::npos, c.logX || c.logY);
    }
}

TEST(ChartTest, LogTicksArePowersOfTenCoveringTheRange) {
    double lo = 3e-7, hi = 0.02;
    const std::vector<double> ticks = Chart::LogTicks(lo, hi);
    EXPECT_DOUBLE_EQ(lo, 1e-7);
    EXPECT_DOUBLE_EQ(hi, 0.1);
    ASSERT_EQ(ticks.size(), 7u);
    double wide_lo = 1e-30, wide_hi = 1;
    EXPECT_LE(Chart::LogTicks(wide_lo, wide_hi).size(), 9u);
    EXPECT_LE(wide_lo, 1e-30);
}

TEST(ChartTest, AProbabilityBandStaysWithinZeroAndOne) {
    // Half-widths that reach below 0 and above 1 must not take the axis there.
    const Chart chart = OneSeries({0, 1, 2}, {0.02, 0.5, 0.97}, {0.05, 0.1, 0.08});
    const std::string svg = chart.Render();
    ASSERT_NE(svg.find("<polygon"), std::string::npos);
    // Tick labels of the value axis: none below 0 or above 1.
    const std::regex label("text-anchor=\"end\">([-0-9.e]+)</text>");
    int labels = 0;
    for (std::sregex_iterator i(svg.begin(), svg.end(), label), end; i != end; ++i) {
        const double v = std::strtod((*i)[1].str().c_str(), nullptr);
        EXPECT_GE(v, 0.0);
        EXPECT_LE(v, 1.0);
        labels++;
    }
    EXPECT_GE(labels, 3);
}

TEST(ChartTest, TheLegendStandsRightOfEveryPoint) {
    Chart chart = OneSeries({0, 5, 10}, {1, 3, 2});
    Chart::Series second = chart.series[0];
    second.label = "a rather long legend entry, repair_rate=0.5, t=100";
    second.ys = {2, 2, 4};
    chart.series.push_back(second);
    const std::string svg = chart.Render();
    double rightmostPoint = 0;
    for (double x : Attribute(svg, "cx"))
        rightmostPoint = std::max(rightmostPoint, x);
    const std::regex legend("<text x=\"([0-9.]+)\" y=\"[0-9.]+\">a rather long");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(svg, m, legend));
    EXPECT_GT(std::strtod(m[1].str().c_str(), nullptr), rightmostPoint + 20);
    // The picture is wide enough for the whole entry.
    const double width = Attribute(svg, "width").front();
    EXPECT_GT(width, std::strtod(m[1].str().c_str(), nullptr) + 7.0 * second.label.size());
}

TEST(ChartTest, PointsALogarithmicAxisCannotShowAreLeftOut) {
    Chart chart = OneSeries({1, 2, 3, 4}, {1e-6, 1e-3, 1, 10});
    chart.series.push_back(chart.series[0]);
    chart.series[1].ys = {1e-5, 0.0, 1e-2, 1};
    EXPECT_FALSE(chart.LogY()); // a zero among the values
    chart.series[1].ys[1] = 1e-4;
    EXPECT_TRUE(chart.LogY());
    const std::string svg = chart.Render();
    EXPECT_EQ(Attribute(svg, "cx").size(), 8u);
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("inf"), std::string::npos);
}

} // namespace
