#ifndef SANC_SOURCE_H
#define SANC_SOURCE_H

#include <stdexcept>
#include <string>

// A place in the model file, for messages and for the #line directives that make a
// C++ error inside a modeller's expression point at the model file.
struct Position {
    int line = 1;
    int column = 1;
};

// A modelling error: where it is and what is wrong. The compiler stops at the first
// one, so that every message is about the model as written, not about the damage a
// guess would do further on.
class ModelError : public std::runtime_error {
  public:
    ModelError(Position at, const std::string& what) : std::runtime_error(what), at(at) {}
    Position at;
};

// The text of one model file and its name as the user gave it.
class Source {
  public:
    Source(std::string name, std::string text) : name(std::move(name)), text(std::move(text)) {}
    const std::string name;
    const std::string text;

    // "file:line:column: error: what", the form editors and build logs link to.
    std::string Message(const ModelError& error) const;
};

#endif
