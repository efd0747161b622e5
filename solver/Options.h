// The command line of solve. Where it overlaps gen's it reads the same way: a
// value is glued to its letter (-Pout/) or is the next word when that does not
// start with '-' (-P out/), and the files are named by plain concatenation of -P,
// -N and a suffix.
#pragma once

#include "solver/SteadyState.h"

#include <cstddef>
#include <string>

class Options {
  public:
    // Parses the arguments; a bad one is a UserError naming it. `usage` is set when
    // the usage text was asked for (-h, or no arguments at all).
    static Options Parse(int argc, char** argv);
    static const char* Usage();

    std::string prefix;     // -P
    std::string name;       // -N
    double epsilon = 1e-10; // -e: bound of the transient truncation error
    double residual = 1e-9; // -r: target relative residual of the steady state
    std::string csv;        // -c; defaults to <prefix><name>.csv
    bool grid = false;      // -g<start>:<stop>:<points>
    double gridStart = 0.0;
    double gridStop = 0.0;
    size_t gridPoints = 0;
    SteadyState::Method method = SteadyState::Automatic; // -m
    bool usage = false;

    std::string Base() const { return prefix + name; }
};
