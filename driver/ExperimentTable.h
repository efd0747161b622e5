// The experiments of a model's study with the value of every global variable, as
// the model compiler lists them (the literals the generated study holds), and
// with the user's overrides applied the way gen applies them.
#pragma once

#include "driver/Toolchain.h"

#include <cstddef>
#include <string>
#include <vector>

class ExperimentTable {
  public:
    struct Global {
        std::string type;
        std::string name;
    };

    // The study of `modelFile`; a mistake in the model is a UserError whose text is
    // the compiler's message as it printed it.
    static ExperimentTable Read(const Toolchain& tools, const std::string& modelFile);
    // The same from the compiler's listing (see sanc --experiments).
    static ExperimentTable Parse(const std::string& listing);

    // Gives each global named in `overrides` ("<type letter>:<name>:<value>", joined
    // by ':') its value in every experiment. A name the model does not declare, a
    // letter that is not its type or a missing value is a UserError; whether the value
    // is a number of the type is for the programs to say, as they read it.
    void Override(const std::string& overrides);

    size_t Size() const { return values_.size(); }
    const std::string& TopModel() const { return top_; }
    const std::vector<Global>& Globals() const { return globals_; }
    const std::string& Value(size_t experiment, size_t global) const {
        return values_[experiment][global];
    }
    // The value as people read it: a number with at most 12 significant digits, so
    // that 0.1 + 2 * 0.1 shows as 0.3; the exact text stays in the listing and the
    // results table.
    std::string Shown(size_t experiment, size_t global) const;
    // The globals whose value is not the same in every experiment, in order.
    std::vector<size_t> Varying() const;
    // "name=value, name=value" of `which` in `experiment`, the values as shown.
    std::string Describe(size_t experiment, const std::vector<size_t>& which) const;
    // The aligned listing printed for the user.
    std::string Listing() const;

  private:
    std::string top_;
    std::vector<Global> globals_;
    std::vector<std::vector<std::string>> values_;
};
