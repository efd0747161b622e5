#include "driver/StudyPlots.h"

#include "common/Chart.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <set>

namespace {

// The globals that do not vary, for the line under the title.
std::string Fixed(const ExperimentTable& t) {
    const std::vector<size_t> varying = t.Varying();
    std::vector<size_t> fixed;
    for (size_t g = 0; g < t.Globals().size(); g++)
        if (std::find(varying.begin(), varying.end(), g) == varying.end())
            fixed.push_back(g);
    std::string text = t.Describe(0, fixed);
    if (text.size() > 110)
        text = text.substr(0, 107) + "...";
    return text;
}

std::string TimeLabel(const ResultRow& r) {
    if (r.kind == "steady-state" || r.time == "-")
        return "";
    return "t=" + r.time;
}

// Builds one chart from rows grouped into curves: `curve` names the curve of a row
// (its colour is shared by the methods), `x` gives its position.
template <typename CurveOf, typename XOf>
Chart Build(const std::vector<const ResultRow*>& rows, CurveOf curve, XOf x) {
    std::vector<std::string> order; // curves in the order met
    std::map<std::pair<std::string, std::string>, std::vector<const ResultRow*>> points;
    std::set<std::string> methods;
    for (const ResultRow* r : rows) {
        const std::string name = curve(*r);
        if (std::find(order.begin(), order.end(), name) == order.end())
            order.push_back(name);
        points[{name, r->method}].push_back(r);
        methods.insert(r->method);
    }
    Chart chart;
    for (size_t c = 0; c < order.size(); c++)
        for (const char* method : {"numerical", "simulation"}) {
            auto found = points.find({order[c], method});
            if (found == points.end())
                continue;
            std::vector<const ResultRow*> p = found->second;
            std::stable_sort(p.begin(), p.end(),
                             [&](const ResultRow* a, const ResultRow* b) { return x(*a) < x(*b); });
            Chart::Series s;
            s.label = order[c];
            if (methods.size() > 1)
                s.label += s.label.empty() ? method : std::string(" (") + method + ")";
            if (s.label.empty())
                s.label = method;
            s.color = static_cast<int>(c);
            const bool simulated = std::string(method) == "simulation";
            s.dashed = simulated && methods.size() > 1;
            for (const ResultRow* r : p) {
                s.xs.push_back(x(*r));
                s.ys.push_back(r->Value());
                if (simulated)
                    s.halfWidths.push_back(r->Error());
            }
            chart.series.push_back(s);
        }
    return chart;
}

} // namespace

std::string StudyPlots::FileSafe(const std::string& name) {
    std::string s = name;
    for (char& c : s)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'))
            c = '_';
    return s;
}

std::vector<StudyPlot> StudyPlots::Make(const ExperimentTable& t, const ResultSet& results) {
    std::vector<std::string> variables;
    std::map<std::string, std::vector<const ResultRow*>> byVariable;
    for (const ResultRow& r : results.Rows()) {
        if (r.variable.empty() || !std::isfinite(r.Value()))
            continue;
        if (byVariable.count(r.variable) == 0)
            variables.push_back(r.variable);
        byVariable[r.variable].push_back(&r);
    }
    const std::vector<size_t> varying = t.Varying();
    const std::string fixed = Fixed(t);
    std::vector<StudyPlot> plots;

    for (const std::string& v : variables) {
        const std::vector<const ResultRow*>& rows = byVariable[v];
        for (size_t p : varying) {
            std::vector<size_t> others;
            for (size_t g : varying)
                if (g != p)
                    others.push_back(g);
            auto x = [&](const ResultRow& r) {
                const std::string& text = t.Value(r.experiment, p);
                char* end = nullptr;
                const double value = std::strtod(text.c_str(), &end);
                return *end == '\0' ? value : NAN;
            };
            std::vector<const ResultRow*> usable;
            std::set<double> xs;
            for (const ResultRow* r : rows)
                if (std::isfinite(x(*r))) {
                    usable.push_back(r);
                    xs.insert(x(*r));
                }
            if (xs.size() < 2)
                continue;
            Chart chart = Build(
                usable,
                [&](const ResultRow& r) {
                    std::string name = t.Describe(r.experiment, others);
                    const std::string time = TimeLabel(r);
                    if (!time.empty())
                        name += (name.empty() ? "" : ", ") + time;
                    return name;
                },
                x);
            chart.title = v + " against " + t.Globals()[p].name;
            chart.subtitle = fixed;
            chart.xTitle = t.Globals()[p].name;
            chart.yTitle = v;
            plots.push_back({FileSafe(v) + "-vs-" + FileSafe(t.Globals()[p].name) + ".svg",
                             chart.title, chart.Render()});
        }
        // Over time: instants only, and only where there is a curve to draw.
        std::vector<const ResultRow*> instants;
        std::set<double> times;
        for (const ResultRow* r : rows)
            if (r->kind == "instant" && std::isfinite(r->Time())) {
                instants.push_back(r);
                times.insert(r->Time());
            }
        if (times.size() < 2)
            continue;
        Chart chart = Build(
            instants,
            [&](const ResultRow& r) {
                return varying.empty() ? "experiment " + std::to_string(r.experiment)
                                       : t.Describe(r.experiment, varying);
            },
            [](const ResultRow& r) { return r.Time(); });
        chart.title = v + " over time";
        chart.subtitle = fixed;
        chart.xTitle = "time";
        chart.yTitle = v;
        plots.push_back({FileSafe(v) + "-over-time.svg", chart.title, chart.Render()});
    }
    return plots;
}
