// The results of a study as one table: a row per experiment, variable and time
// point, with the experiment's number and the value of every global variable, the
// value as the solver or the simulator wrote it (the same text), its error bound
// or half-width, the method that gave it, the size of the chain and what went
// wrong. A failed experiment has a row of its own that says why.
#pragma once

#include "driver/ExperimentTable.h"
#include "driver/StudyRunner.h"

#include <ostream>
#include <string>
#include <vector>

struct ResultRow {
    size_t experiment = 0;
    std::string variable; // "" in the row of a failure
    std::string kind;
    std::string time;
    std::string value;
    std::string error; // error bound (numerical) or half-width (simulation)
    std::string residual;
    std::string method; // "numerical" or "simulation"
    std::string states;
    std::string transitions;
    std::string message;

    // The number in `value`, `error` or of the time point (the start of an interval);
    // NaN where there is none.
    double Value() const;
    double Error() const;
    double Time() const;
};

class ResultSet {
  public:
    explicit ResultSet(std::vector<ResultRow> rows = {}) : rows_(std::move(rows)) {}

    // The rows of every run, in the order of the runs; a result file that cannot be
    // read is a failure of its experiment.
    static ResultSet Collect(const std::vector<ExperimentRun>& runs);

    const std::vector<ResultRow>& Rows() const { return rows_; }
    // The table as CSV, with a column per global variable after "experiment".
    std::string Csv(const ExperimentTable& experiments) const;
    // The table for the terminal, with the globals that vary.
    void Print(std::ostream& out, const ExperimentTable& experiments) const;

  private:
    std::vector<ResultRow> rows_;
};
