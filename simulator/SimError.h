// The one way a simulation run fails: a message for the user, already worded as it
// is printed. The entry point prints it on standard error and exits with status 1,
// so a failure on a worker thread reaches the user the same way as one on the main
// thread.
#pragma once

#include <stdexcept>
#include <string>

class SimError : public std::runtime_error {
  public:
    explicit SimError(const std::string& message);
};
