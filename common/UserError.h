// The one way a run of solve or of a simulator fails: a message for the user,
// already worded as it is printed. The program's entry point prints it (a simulator
// puts "Error: " before it) and exits with status 1, so no failure ever escapes as
// an exception, and one on a worker thread reaches the user the same way as one on
// the main thread.
//
// In a namespace: the framework has a function UserError() of its own (a report on
// standard error), which would hide a class of that name wherever the framework's
// headers are seen.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace gen {

class UserError : public std::runtime_error {
  public:
    explicit UserError(const std::string& message);

    // "<file>:<line>: <what>", the form of every complaint about an input file.
    static UserError At(const std::string& file, size_t line, const std::string& what);
};

} // namespace gen
