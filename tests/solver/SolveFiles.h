// Writing the three input files of solve by hand, byte for byte in the form gen
// writes them, and reading back the CSV of results: what the solver tests share.
#pragma once

#include "support/TestSupport.h"

#include <filesystem>
#include <string>
#include <vector>

namespace solvetest {

// The solve program built with the tests.
std::string SolveProgram();

struct Transition {
    unsigned from; // 1-based
    unsigned to;
    double rate; // negative: a deterministic firing
};

// A state-space file of `states` states as gen writes it: file type, count, the
// rest of the count's room, then each state's destinations in ascending order.
std::string ArmText(unsigned states, std::vector<Transition> transitions);

struct Variable {
    std::string name;
    int kind = 0;                                 // 0 to 6 as in the type file
    std::vector<std::pair<double, double>> times; // Start, Stop
    std::vector<double> rate;                     // per state
    std::vector<double> impulse;                  // per state; empty for none
};

std::string VarText(const std::vector<Variable>& variables, unsigned states);
std::string PvTypeText(const std::vector<Variable>& variables);

// Writes <dir>/<name>.arm, .var and .pvtype.
void WriteModel(const std::filesystem::path& dir, const std::string& name, unsigned states,
                const std::vector<Transition>& transitions, const std::vector<Variable>& variables);
void WriteText(const std::filesystem::path& file, const std::string& text);

struct CsvRow {
    std::string variable, kind, time, value, error, residual;
    double Value() const { return std::stod(value); }
};

// The data rows of a results file (the header checked and left out).
std::vector<CsvRow> ReadCsv(const std::filesystem::path& file);

// A fixture for the tests that run a compiled test model (solvetest_<model>) through
// gen and solve.
class GenSolveTest : public testsupport::ScratchTest {
  protected:
    explicit GenSolveTest(const std::string& prefix) : ScratchTest(prefix) {}

    // Runs the model's gen on experiment 0 with `genArgs`, then solve; the rows of the
    // results file. Both must succeed; solve's output stays in `solved`.
    std::vector<CsvRow> GenAndSolveRows(const std::string& model, const std::string& name,
                                        const std::string& genArgs = "");

    testsupport::RunResult solved;
};

} // namespace solvetest
