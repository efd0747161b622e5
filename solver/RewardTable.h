// The rewards of every state (.var): one line per performance variable with its
// name, then per state its number and, per variable, the impulse value and the rate
// value, one number per line.
//
// The impulse value of a state is what the last firing into it happened to earn:
// it depends on the path, not on the state, and says nothing about the rate at
// which impulses are earned. A variable with any non-zero impulse value therefore
// cannot be solved from these files, and is marked so instead of being dropped.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class RewardTable {
  public:
    struct Variable {
        std::string name;
        std::vector<double> rate; // per state, 0-based
        bool hasImpulse = false;
        size_t impulseState = 0; // 1-based number of the first state with one
        double impulseValue = 0.0;
    };

    // Reads the file for the variables `names` (in the type file's order) and a
    // chain of `states` states; any fault is a UserError "<file>:<line>: <what>".
    static RewardTable Read(const std::string& path, const std::vector<std::string>& names,
                            size_t states);

    std::vector<Variable> variables;
};
