#include "driver/ExperimentTable.h"

#include "common/UserError.h"
#include "driver/ChildProcess.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace {

std::vector<std::string> Fields(const std::string& line, char separator) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t end = line.find(separator, start);
        fields.push_back(line.substr(start, end - start));
        if (end == std::string::npos)
            return fields;
        start = end + 1;
    }
}

// The override letter of each type, as gen reads -O.
char LetterOf(const std::string& type) {
    if (type == "bool")
        return 'b';
    if (type == "char")
        return 'c';
    if (type == "double")
        return 'd';
    if (type == "float")
        return 'f';
    if (type == "int")
        return 'i';
    if (type == "long")
        return 'l';
    return 's';
}

} // namespace

ExperimentTable ExperimentTable::Read(const Toolchain& tools, const std::string& modelFile) {
    const ChildProcess::Outcome run =
        ChildProcess::Run({tools.sanc, "--experiments", modelFile}, "");
    if (!run.Succeeded()) {
        // The compiler's own words, as the user would see them running it.
        std::cout.flush();
        std::cerr << run.out << run.err;
        std::cerr.flush();
        throw gen::UserError("the model file could not be compiled (sanc " + run.Describe() + ")");
    }
    return Parse(run.out);
}

ExperimentTable ExperimentTable::Parse(const std::string& listing) {
    ExperimentTable t;
    std::istringstream in(listing);
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> f = Fields(line, '\t');
        if (f[0] == "model" && f.size() == 2) {
            t.top_ = f[1];
        } else if (f[0] == "global" && f.size() == 3) {
            t.globals_.push_back({f[1], f[2]});
        } else if (f[0] == "experiment" && f.size() == 2 + t.globals_.size() &&
                   f[1] == std::to_string(t.values_.size())) {
            t.values_.emplace_back(f.begin() + 2, f.end());
        } else {
            throw gen::UserError("the model compiler's list of experiments is not understood: " +
                                 line);
        }
    }
    if (t.values_.empty())
        throw gen::UserError("the model compiler listed no experiments");
    return t;
}

void ExperimentTable::Override(const std::string& overrides) {
    if (overrides.empty())
        return;
    const std::vector<std::string> f = Fields(overrides, ':');
    if (f.size() % 3 != 0)
        throw gen::UserError("the override string " + overrides +
                             " is not a list of <type letter>:<name>:<value> triples");
    for (size_t k = 0; k < f.size(); k += 3) {
        const std::string& letter = f[k];
        const std::string& name = f[k + 1];
        const std::string& value = f[k + 2];
        auto g = std::find_if(globals_.begin(), globals_.end(),
                              [&](const Global& x) { return x.name == name; });
        if (g == globals_.end())
            throw gen::UserError("the override string " + overrides + " names " + name +
                                 ", which is not a global variable of the model");
        if (letter.size() != 1 || letter[0] != LetterOf(g->type))
            throw gen::UserError("the override string " + overrides + " gives " + name +
                                 " the type letter " + letter + ", but it is a " + g->type +
                                 " (letter " + LetterOf(g->type) + ")");
        if (value.empty())
            throw gen::UserError("the override string " + overrides + " gives " + name +
                                 " no value");
        const size_t index = static_cast<size_t>(g - globals_.begin());
        for (std::vector<std::string>& row : values_)
            row[index] = value;
    }
}

std::string ExperimentTable::Shown(size_t experiment, size_t global) const {
    const std::string& text = values_[experiment][global];
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || text.find_first_of(".eE") == std::string::npos)
        return text;
    char shown[32];
    std::snprintf(shown, sizeof shown, "%.12g", v);
    return shown;
}

std::vector<size_t> ExperimentTable::Varying() const {
    std::vector<size_t> varying;
    for (size_t g = 0; g < globals_.size(); g++)
        for (size_t e = 1; e < values_.size(); e++)
            if (values_[e][g] != values_[0][g]) {
                varying.push_back(g);
                break;
            }
    return varying;
}

std::string ExperimentTable::Describe(size_t experiment, const std::vector<size_t>& which) const {
    std::string text;
    for (size_t g : which)
        text += (text.empty() ? "" : ", ") + globals_[g].name + "=" + Shown(experiment, g);
    return text;
}

std::string ExperimentTable::Listing() const {
    std::vector<std::string> header = {"experiment"};
    for (const Global& g : globals_)
        header.push_back(g.name);
    std::vector<size_t> width;
    for (const std::string& h : header)
        width.push_back(h.size());
    for (size_t e = 0; e < values_.size(); e++) {
        width[0] = std::max(width[0], std::to_string(e).size());
        for (size_t g = 0; g < globals_.size(); g++)
            width[g + 1] = std::max(width[g + 1], values_[e][g].size());
    }
    std::ostringstream out;
    auto cell = [&](size_t column, const std::string& text) {
        if (column > 0)
            out << "  ";
        out << std::string(width[column] - text.size(), ' ') << text;
    };
    for (size_t c = 0; c < header.size(); c++)
        cell(c, header[c]);
    out << "\n";
    for (size_t e = 0; e < values_.size(); e++) {
        cell(0, std::to_string(e));
        for (size_t g = 0; g < globals_.size(); g++)
            cell(g + 1, values_[e][g]);
        out << "\n";
    }
    return out.str();
}
