#include "solver/SolveError.h"

SolveError::SolveError(const std::string& message) : std::runtime_error(message) {}

SolveError SolveError::At(const std::string& file, size_t line, const std::string& what) {
    return SolveError(file + ":" + std::to_string(line) + ": " + what);
}
