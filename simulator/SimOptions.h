// The command line of a simulator program. Where it overlaps gen's and solve's it
// reads the same way: a value is glued to its letter (-B3) or is the next word when
// that does not start with '-' (-B 3); -P, -N, -B and -O mean what they mean for
// gen, -c and -g what they mean for solve.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class SimOptions {
  public:
    // Parses the arguments; a bad one is a UserError naming it. `usage` is set when
    // the usage text was asked for (-h, or no arguments at all).
    static SimOptions Parse(int argc, char** argv);
    static const char* Usage();

    std::string prefix;               // -P
    std::string name;                 // -N
    int experiment = 0;               // -B
    std::string overrides;            // -O, as gen takes it
    bool overridden = false;          //
    uint64_t seed = 1;                // -S
    double level = 0.95;              // -L
    double relative = 0.01;           // -r
    double absolute = 0.0;            // -a; 0: none
    uint64_t maxReplications = 10000; // -n
    int threads = 0;                  // -T; 0: one per core
    bool grid = false;                // -g<start>:<stop>:<points>
    double gridStart = 0.0;
    double gridStop = 0.0;
    int gridPoints = 0;
    double warmup = -1.0;       // -w; negative: chosen from a pilot run
    double batchLength = -1.0;  // -b; negative: chosen from a pilot run
    int batches = 10;           // -k
    double untilHorizon = -1.0; // -u; negative: chosen from a pilot run
    std::string csv;            // -c; defaults to <prefix><name>.csv
    bool progressLines = false; // -p
    std::string importance;     // -I: importance splitting with this variable's rate reward
    std::vector<double> levels; // -l; empty: whole steps
    uint64_t effort = 1000;     // -e: paths per stage
    bool usage = false;

    std::string Base() const { return prefix + name; }
    // Without targets the run makes exactly maxReplications replications.
    bool HasTarget() const { return relative > 0.0 || absolute > 0.0; }
};
