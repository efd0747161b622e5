// The results of a run, one row per variable and time point, printed as an
// aligned table and written as CSV with the same columns:
//   variable, kind, time, value, error bound, residual
// The time is the time point of an instant, "[start,stop]" of an interval and "-"
// for the steady state. The error bound belongs to transient rows, the residual to
// steady-state rows; a variable that could not be computed shows "refused" and
// nothing else, never a number.
#pragma once

#include <ostream>
#include <string>
#include <vector>

class ResultTable {
  public:
    struct Row {
        std::string variable;
        std::string kind;
        std::string time;
        std::string value;
        std::string error;
        std::string residual;
    };

    void Add(Row row) { rows_.push_back(std::move(row)); }
    const std::vector<Row>& Rows() const { return rows_; }

    void Print(std::ostream& out) const;
    // Writes the CSV under a temporary name beside `path` and renames it into place
    // once complete; a failure is a UserError.
    void WriteCsv(const std::string& path) const;
    // The CSV text itself, for a program that writes it with other files as a set.
    std::string CsvText() const;
    // The rows alone, without the header: more rows for another table's CSV.
    std::string CsvRows() const;

    // The texts of numbers as the rows hold them.
    // Values carry 15 significant digits, so that rounding them stays well below
    // the error bounds asked for.
    static std::string Value(double v); // %.15g
    static std::string Bound(double v); // %.3g
    static std::string Time(double t);  // %.15g

  private:
    std::vector<Row> rows_;
};
