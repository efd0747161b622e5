#include "driver/StudyPlots.h"

#include "common/Chart.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <map>
#include <set>

namespace {

// More curves than this in one chart are hard to tell apart: such a chart is drawn
// as several, one per value of a parameter.
constexpr size_t kMostCurves = 12;

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
    std::vector<size_t> fixed;
    for (size_t g = 0; g < t.Globals().size(); g++)
        if (std::find(varying.begin(), varying.end(), g) == varying.end())
            fixed.push_back(g);
    std::vector<StudyPlot> plots;

    // One chart of `rows`, or, where that would take more curves than a reader can
    // tell apart, one chart per value of the first of `labelled` (which the curves'
    // labels then leave out and the line under the title names).
    auto draw = [&](const std::vector<const ResultRow*>& rows, std::vector<size_t> labelled,
                    bool timed, const std::string& title, const std::string& file,
                    const std::string& xTitle, const std::function<double(const ResultRow&)>& x) {
        auto label = [&](const ResultRow& r, const std::vector<size_t>& which) {
            std::string name = t.Describe(r.experiment, which);
            const std::string time = timed ? "" : TimeLabel(r);
            if (!time.empty())
                name += (name.empty() ? "" : ", ") + time;
            if (name.empty())
                name = "experiment " + std::to_string(r.experiment);
            return name;
        };
        std::set<std::string> curves;
        for (const ResultRow* r : rows)
            curves.insert(label(*r, labelled));
        std::vector<std::pair<std::string, std::vector<const ResultRow*>>> groups;
        std::vector<size_t> held;
        if (curves.size() > kMostCurves && !labelled.empty()) {
            const size_t split = labelled.front();
            labelled.erase(labelled.begin());
            held.push_back(split);
            for (const ResultRow* r : rows) {
                const std::string value = t.Shown(r->experiment, split);
                auto g = std::find_if(groups.begin(), groups.end(),
                                      [&](const auto& x) { return x.first == value; });
                if (g == groups.end()) {
                    groups.push_back({value, {}});
                    g = groups.end() - 1;
                }
                g->second.push_back(r);
            }
        } else {
            groups.push_back({"", rows});
        }
        for (const auto& [value, members] : groups) {
            Chart chart = Build(
                members, [&](const ResultRow& r) { return label(r, labelled); }, x);
            std::vector<size_t> shown = held;
            shown.insert(shown.end(), fixed.begin(), fixed.end());
            chart.title = title;
            chart.subtitle = t.Describe(members.front()->experiment, shown);
            if (chart.subtitle.size() > 110)
                chart.subtitle = chart.subtitle.substr(0, 107) + "...";
            chart.xTitle = xTitle;
            chart.yTitle = members.front()->variable;
            const std::string name =
                held.empty() ? file
                             : file + "-" + FileSafe(t.Globals()[held.front()].name + "_" + value);
            plots.push_back(
                {name + ".svg",
                 held.empty() ? title : title + ", " + t.Globals()[held.front()].name + "=" + value,
                 chart.Render()});
        }
    };

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
            if (xs.size() >= 2)
                draw(usable, others, false, v + " against " + t.Globals()[p].name,
                     FileSafe(v) + "-vs-" + FileSafe(t.Globals()[p].name), t.Globals()[p].name, x);
        }
        // Over time: instants (and the probability of reaching a condition by each
        // time) only, and only where there is a curve to draw.
        std::vector<const ResultRow*> instants;
        std::set<double> times;
        for (const ResultRow* r : rows)
            if ((r->kind == "instant" || r->kind == "reach-within") && std::isfinite(r->Time())) {
                instants.push_back(r);
                times.insert(r->Time());
            }
        if (times.size() >= 2)
            draw(instants, varying, true, v + " over time", FileSafe(v) + "-over-time", "time",
                 [](const ResultRow& r) { return r.Time(); });
    }
    return plots;
}
