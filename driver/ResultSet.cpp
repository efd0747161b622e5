#include "driver/ResultSet.h"

#include "common/Csv.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

namespace {

double Number(const std::string& text) {
    if (text.empty())
        return NAN;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    return *end == '\0' ? v : NAN;
}

// Reads one program's CSV (variable,kind,time,value,error_bound,residual) into rows;
// false when the file is not what the programs write.
bool ReadResults(const std::string& path, const ExperimentRun& run, const std::string& method,
                 std::vector<ResultRow>& rows) {
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line) || line != "variable,kind,time,value,error_bound,residual")
        return false;
    while (std::getline(in, line)) {
        const std::vector<std::string> f = Csv::Split(line);
        if (f.size() != 6)
            return false;
        ResultRow r;
        r.experiment = run.number;
        r.variable = f[0];
        r.kind = f[1];
        r.time = f[2];
        r.value = f[3];
        r.error = f[4];
        r.residual = f[5];
        r.method = method;
        if (method == "numerical") {
            r.states = run.states;
            r.transitions = run.transitions;
            auto refused = run.refusals.find(r.variable);
            if (refused != run.refusals.end())
                r.message = refused->second;
        }
        rows.push_back(r);
    }
    return true;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines)
        s += (s.empty() ? "" : "; ") + l;
    return s;
}

} // namespace

double ResultRow::Value() const {
    return Number(value);
}
double ResultRow::Error() const {
    return Number(error);
}

double ResultRow::Time() const {
    if (time.size() > 1 && time[0] == '[')
        return Number(time.substr(1, time.find(',') - 1));
    return Number(time);
}

ResultSet ResultSet::Collect(const std::vector<ExperimentRun>& runs) {
    ResultSet set;
    for (const ExperimentRun& run : runs) {
        std::vector<std::string> failures = run.messages;
        if (!run.solveCsv.empty() && !ReadResults(run.solveCsv, run, "numerical", set.rows_))
            failures.push_back(run.solveCsv + ": not a results file of solve");
        if (!run.simCsv.empty() && !ReadResults(run.simCsv, run, "simulation", set.rows_))
            failures.push_back(run.simCsv + ": not a results file of the simulator");
        if (!run.ok || failures.size() > run.messages.size()) {
            ResultRow r;
            r.experiment = run.number;
            r.method = "failed";
            r.states = run.states;
            r.transitions = run.transitions;
            r.message = Joined(failures);
            set.rows_.push_back(r);
        }
    }
    return set;
}

std::string ResultSet::Csv(const ExperimentTable& experiments) const {
    std::string s = "experiment";
    for (const ExperimentTable::Global& g : experiments.Globals())
        s += "," + Csv::Field(g.name);
    s += ",variable,kind,time,value,error_bound,residual,method,states,transitions,message\n";
    for (const ResultRow& r : rows_) {
        s += std::to_string(r.experiment);
        for (size_t g = 0; g < experiments.Globals().size(); g++)
            s += "," + Csv::Field(experiments.Value(r.experiment, g));
        for (const std::string* f : {&r.variable, &r.kind, &r.time, &r.value, &r.error, &r.residual,
                                     &r.method, &r.states, &r.transitions, &r.message})
            s += "," + Csv::Field(*f);
        s += "\n";
    }
    return s;
}

void ResultSet::Print(std::ostream& out, const ExperimentTable& experiments) const {
    const std::vector<size_t> varying = experiments.Varying();
    std::vector<std::vector<std::string>> cells;
    std::vector<std::string> header = {"exp"};
    for (size_t g : varying)
        header.push_back(experiments.Globals()[g].name);
    for (const char* h : {"variable", "time", "value", "+-", "method"})
        header.push_back(h);
    cells.push_back(header);
    for (const ResultRow& r : rows_) {
        std::vector<std::string> c = {std::to_string(r.experiment)};
        for (size_t g : varying)
            c.push_back(experiments.Shown(r.experiment, g));
        if (r.method == "failed") {
            for (const char* f : {"-", "-", "failed", "", ""})
                c.push_back(f);
        } else {
            c.push_back(r.variable);
            c.push_back(r.time);
            c.push_back(r.value);
            c.push_back(r.error);
            c.push_back(r.method);
        }
        cells.push_back(c);
    }
    std::vector<size_t> width(header.size(), 0);
    for (const auto& row : cells)
        for (size_t k = 0; k < row.size(); k++)
            width[k] = std::max(width[k], row[k].size());
    for (const auto& row : cells) {
        std::string line;
        for (size_t k = 0; k < row.size(); k++) {
            if (k > 0)
                line += "  ";
            const bool left = k == 1 + varying.size() || k + 1 == row.size();
            const std::string pad(width[k] - row[k].size(), ' ');
            line += left ? row[k] + pad : pad + row[k];
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out << line << "\n";
    }
}
