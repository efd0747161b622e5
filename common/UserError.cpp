#include "common/UserError.h"

namespace gen {

UserError::UserError(const std::string& message) : std::runtime_error(message) {}

UserError UserError::At(const std::string& file, size_t line, const std::string& what) {
    return UserError(file + ":" + std::to_string(line) + ": " + what);
}

} // namespace gen
