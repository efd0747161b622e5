#include "simulator/SimError.h"

SimError::SimError(const std::string& message) : std::runtime_error(message) {}
