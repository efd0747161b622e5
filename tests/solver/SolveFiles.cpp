#include "solver/SolveFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace solvetest {

namespace {

std::string Printf(const char* format, double v) {
    char text[64];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

} // namespace

std::string SolveProgram() {
    return std::string(GEN_BINARY_DIR) + "/solve";
}

std::string ArmText(unsigned states, std::vector<Transition> transitions) {
    std::stable_sort(transitions.begin(), transitions.end(),
                     [](const Transition& a, const Transition& b) {
                         return a.from != b.from ? a.from < b.from : a.to < b.to;
                     });
    // gen keeps 63 blanks for the count and writes "<count>\n" over their start.
    const std::string count = std::to_string(states);
    std::string s = "1\n" + count + "\n" + std::string(63 - count.size() - 1, ' ') + "\n";
    size_t k = 0;
    for (unsigned st = 1; st <= states; st++) {
        s += std::to_string(st) + "\n";
        for (; k < transitions.size() && transitions[k].from == st; k++)
            s += std::to_string(transitions[k].to) + "\n" + Printf("%.10e", transitions[k].rate) +
                 "\n";
        s += "0\n";
    }
    return s;
}

std::string VarText(const std::vector<Variable>& variables, unsigned states) {
    std::string s;
    for (const Variable& v : variables)
        s += v.name + "\n";
    for (unsigned st = 1; st <= states; st++) {
        s += std::to_string(st) + "\n";
        for (const Variable& v : variables) {
            s += Printf("%g", v.impulse.empty() ? 0.0 : v.impulse[st - 1]) + "\n";
            s += Printf("%g", v.rate[st - 1]) + "\n";
        }
    }
    return s;
}

std::string PvTypeText(const std::vector<Variable>& variables) {
    std::string s = "Version:1\nNumPV:" + std::to_string(variables.size()) + "\n";
    for (const Variable& v : variables) {
        s += "Name:" + v.name + "\nType:" + std::to_string(v.kind) +
             "\nNumTimes:" + std::to_string(v.times.size()) + "\n";
        for (const auto& [start, stop] : v.times)
            s += "Start:" + Printf("%g", start) + "\nStop:" + Printf("%g", stop) + "\n";
    }
    return s;
}

void WriteText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    ASSERT_TRUE(out.good()) << "cannot write " << file;
}

void WriteModel(const std::filesystem::path& dir, const std::string& name, unsigned states,
                const std::vector<Transition>& transitions,
                const std::vector<Variable>& variables) {
    WriteText(dir / (name + ".arm"), ArmText(states, transitions));
    WriteText(dir / (name + ".var"), VarText(variables, states));
    WriteText(dir / (name + ".pvtype"), PvTypeText(variables));
}

std::vector<CsvRow> ReadCsv(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::vector<CsvRow> rows;
    if (!std::getline(in, line)) {
        ADD_FAILURE() << "no results file " << file;
        return rows;
    }
    EXPECT_EQ("variable,kind,time,value,error_bound,residual", line);
    while (std::getline(in, line)) {
        // The test files use no names with commas; times of intervals are quoted.
        std::vector<std::string> f;
        std::string field;
        bool quoted = false;
        for (char c : line) {
            if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted) {
                f.push_back(field);
                field.clear();
            } else
                field += c;
        }
        f.push_back(field);
        if (f.size() != 6) {
            ADD_FAILURE() << "malformed results line: " << line;
            continue;
        }
        rows.push_back(CsvRow{f[0], f[1], f[2], f[3], f[4], f[5]});
    }
    return rows;
}

std::vector<CsvRow> GenSolveTest::GenAndSolveRows(const std::string& model, const std::string& name,
                                                  const std::string& genArgs) {
    const testsupport::RunResult g =
        Run(testsupport::TestModel("solvetest_" + model), "-P./ -N" + name + " -B0 " + genArgs);
    EXPECT_EQ(0, g.status) << g.out << g.err;
    solved = Run(SolveProgram(), "-P./ -N" + name);
    EXPECT_EQ(0, solved.status) << solved.out << solved.err;
    return ReadCsv(work / (name + ".csv"));
}

} // namespace solvetest
