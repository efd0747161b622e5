#include "driver/HtmlReport.h"

#include "common/Markup.h"

#include <filesystem>

namespace {

const char kStyle[] = R"(body { font-family: sans-serif; margin: 2em; color: #222; }
h1 { font-size: 1.6em; margin-bottom: 0.2em; }
h2 { font-size: 1.25em; margin-top: 1.8em; border-bottom: 1px solid #ccc; }
h3 { font-size: 1.05em; }
p.model { color: #444; margin-top: 0; }
table { border-collapse: collapse; font-size: 0.9em; margin: 0.5em 0; }
th, td { border: 1px solid #ccc; padding: 0.2em 0.6em; text-align: left; vertical-align: top; }
th { background: #f0f0f0; }
td.num { text-align: right; font-variant-numeric: tabular-nums; }
tr.failed td { background: #fde8e8; }
div.failures { border-left: 4px solid #c00; background: #fdf2f2; padding: 0.4em 1em; }
div.failures pre { white-space: pre-wrap; margin: 0.2em 0 0.6em 0; }
figure { margin: 1.5em 0; }
figure svg { max-width: 100%; height: auto; }
)";

std::string Cell(const std::string& text, bool number = false) {
    return std::string(number ? "<td class=\"num\">" : "<td>") + HtmlReport::Escaped(text) +
           "</td>";
}

} // namespace

std::string HtmlReport::Escaped(const std::string& text) {
    return Markup::Escaped(text);
}

std::string HtmlReport::Render(const std::string& modelFile, const ExperimentTable& t,
                               const std::vector<ExperimentRun>& runs, const ResultSet& results,
                               const std::vector<StudyPlot>& plots) {
    const std::string stem = std::filesystem::path(modelFile).stem().string();
    size_t failed = 0;
    for (const ExperimentRun& r : runs)
        failed += r.ok ? 0 : 1;

    std::string h = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    h += "<title>Study of " + Escaped(stem) + "</title>\n<style>\n" + kStyle +
         "</style>\n</head>\n<body>\n";
    h += "<h1>Study of " + Escaped(stem) + "</h1>\n";
    h += "<p class=\"model\">Model <strong>" + Escaped(t.TopModel()) + "</strong> from <code>" +
         Escaped(modelFile) + "</code>; " + std::to_string(runs.size()) + " of " +
         std::to_string(t.Size()) + " experiments run, " + std::to_string(failed) +
         " failed.</p>\n";

    if (failed > 0) {
        h += "<h2 id=\"failures\">What failed</h2>\n<div class=\"failures\">\n";
        for (const ExperimentRun& r : runs) {
            if (r.ok)
                continue;
            h += "<p>Experiment " + std::to_string(r.number) + "</p>\n<pre>";
            for (const std::string& m : r.messages)
                h += Escaped(m) + "\n";
            h += "</pre>\n";
        }
        h += "</div>\n";
    }

    h += "<h2 id=\"experiments\">Experiments</h2>\n<table "
         "class=\"experiments\">\n<tr><th>experiment</th>";
    for (const ExperimentTable::Global& g : t.Globals())
        h += "<th>" + Escaped(g.name) + "</th>";
    h += "<th>states</th><th>transitions</th><th>status</th></tr>\n";
    for (const ExperimentRun& r : runs) {
        h += std::string(r.ok ? "<tr>" : "<tr class=\"failed\">") +
             Cell(std::to_string(r.number), true);
        for (size_t g = 0; g < t.Globals().size(); g++)
            h += Cell(t.Value(r.number, g), true);
        std::string status = r.ok ? "ok" : "failed";
        if (!r.note.empty())
            status += "; " + r.note;
        h += Cell(r.states, true) + Cell(r.transitions, true) + Cell(status) + "</tr>\n";
    }
    h += "</table>\n";

    const std::vector<size_t> varying = t.Varying();
    h += "<h2 id=\"results\">Results</h2>\n<table class=\"results\">\n<tr><th>experiment</th>";
    for (size_t g : varying)
        h += "<th>" + Escaped(t.Globals()[g].name) + "</th>";
    h += "<th>variable</th><th>kind</th><th>time</th><th>value</th><th>error bound or "
         "half-width</th><th>residual</th><th>method</th><th>message</th></tr>\n";
    for (const ResultRow& r : results.Rows()) {
        h += std::string(r.method == "failed" ? "<tr class=\"failed\">" : "<tr>") +
             Cell(std::to_string(r.experiment), true);
        for (size_t g : varying)
            h += Cell(t.Shown(r.experiment, g), true);
        h += Cell(r.variable) + Cell(r.kind) + Cell(r.time, true) + Cell(r.value, true) +
             Cell(r.error, true) + Cell(r.residual, true) + Cell(r.method) + Cell(r.message) +
             "</tr>\n";
    }
    h += "</table>\n<p>The same table, with every global variable, is <a "
         "href=\"results.csv\">results.csv</a>.</p>\n";

    h += "<h2 id=\"plots\">Plots</h2>\n";
    if (plots.empty())
        h += "<p>No plot: no variable has values at two or more parameter values or time "
             "points.</p>\n";
    for (const StudyPlot& p : plots) {
        h += "<figure class=\"plot\">\n<h3>" + Escaped(p.title) + "</h3>\n" + p.svg +
             "<figcaption><a href=\"plots/" + Escaped(p.file) + "\">plots/" + Escaped(p.file) +
             "</a></figcaption>\n</figure>\n";
    }
    h += "</body>\n</html>\n";
    return h;
}
