// The one way a run of the solver fails: a message for the user, already worded as
// it is printed. The program's entry point prints it and exits with status 1, so
// no failure ever escapes as an exception.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

class SolveError : public std::runtime_error {
  public:
    explicit SolveError(const std::string& message);

    // "<file>:<line>: <what>", the form of every complaint about an input file.
    static SolveError At(const std::string& file, size_t line, const std::string& what);
};
