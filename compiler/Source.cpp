#include "compiler/Source.h"

std::string Source::Message(const ModelError& error) const {
    return name + ":" + std::to_string(error.at.line) + ":" + std::to_string(error.at.column) +
           ": error: " + error.what();
}
