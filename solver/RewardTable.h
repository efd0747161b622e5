// The rewards of every state (.var): one line per performance variable with its
// name, then per state its number and, per variable, the impulse value and the rate
// value, one number per line.
//
// The impulse value of a state is what the last firing into it happened to earn:
// it depends on the path, not on the state, and says nothing about the rate at
// which impulses are earned. The rate, and the rate rewards at full precision, are
// in the reward-rate file (.rates) that gen writes beside it (its format is
// described in generator/RewardRates.h); ReadRates() applies it. Without that file
// (the files of an older gen) a variable with a non-zero impulse value is known
// to earn impulses at an unknown rate.
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
        // From the reward-rate file:
        bool declaresImpulse = false;
        std::vector<double> impulseRate; // per state, 0-based; empty when none is earned
        size_t unavailableState = 0;     // 1-based: a state whose impulse rate is unknown
        // Per state, 0-based: whether the variable's condition holds (the kinds that
        // watch one); empty when it holds nowhere.
        std::vector<unsigned char> condition;
    };

    // Reads the file for the variables `names` (in the type file's order) and a
    // chain of `states` states; any fault is a UserError "<file>:<line>: <what>".
    static RewardTable Read(const std::string& path, const std::vector<std::string>& names,
                            size_t states);
    // Reads the reward-rate file of the same run: its full-precision rate rewards
    // replace the rounded ones (each must round to the reward file's value), and
    // its impulse rates are kept. Faults as for Read.
    void ReadRates(const std::string& path, size_t states);

    std::vector<Variable> variables;
    // Whether ReadRates() has read the reward-rate file.
    bool exact = false;
};
