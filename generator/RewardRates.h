#ifndef REWARDRATES_H
#define REWARDRATES_H

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <vector>

class PVModel;

// Writes the reward-rate file (.rates), what the reward file cannot say: the rate
// reward of a state at full precision where the reward file's 6 digits lose some
// of it, and the rate at which each variable earns impulse rewards in a state. The
// reward file's impulse column holds what the one firing that first reached a state
// earned; the impulse rate is the expectation over every firing out of the state:
// the sum over its enabled timed activities of rate x case probability x impulse,
// plus the impulses of the instantaneous activities fired after each of them,
// weighted by the probabilities of their paths.
//
// Text, one item per line:
//
//     Version:1
//     NumPV:<count>
//     per variable, in model order:  Name:<name>  Impulse:<1 if it declares impulse
//                                    rewards, else 0>
//     R <state> <variable> <rate reward>    where the 6-digit text does not read back
//     I <state> <variable> <impulse rate>   where it is not 0
//     C <state> <variable>                  where the variable's condition holds
//     End:<states>
//
// Variables are numbered from 1 in header order; numbers are the shortest text that
// reads back as the same double. R lines come in ascending state order, and so do
// I lines, but the two kinds interleave. An I line whose value is "unavailable"
// marks a state where a deterministic firing earns the variable an impulse: that is
// earned once per delay, at no rate. C lines belong to the variables that watch a
// condition on the marking (types 4 to 6 of the type file: the reward until it
// first holds, the probability of reaching it): one per stable state where it
// holds, ascending, written with the state's I lines. A model without impulse
// rewards, without such variables and with rewards that 6 digits hold exactly gets
// the header and the End line only.
//
// Used by the thread that records states; the values handed in are captured by
// whichever thread fired.
class RewardRates {
  public:
    // Opens the file (truncating) and writes the header; a file that cannot be
    // opened ends the run with status 1.
    RewardRates(const PVModel* model, const char* fileName);
    RewardRates(const RewardRates&) = delete;
    RewardRates& operator=(const RewardRates&) = delete;

    // Whether any variable declares impulse rewards: only then are impulse rates
    // gathered at all.
    bool AnyImpulse() const { return anyImpulse; }
    // Whether any variable watches a condition: only then is it evaluated per state.
    bool AnyCondition() const { return anyCondition; }
    size_t Variables() const { return variables; }

    // The rewards of a new state, as Reward::Capture leaves them (each variable's
    // impulse, then rate value).
    void NewState(uint32_t number, const double* captured);
    // The impulse rates of an explored state, one per variable; a non-zero
    // `unavailable` entry marks the variable's rate as unavailable.
    void Explored(uint32_t number, const double* impulseRates, const unsigned char* unavailable);
    // The variables whose condition holds in explored state `number` (a non-zero
    // entry per variable).
    void Conditions(uint32_t number, const unsigned char* holds);
    // Writes the End line and flushes; false (with a message on standard error) when
    // the file could not be written.
    bool Finish(uint32_t states);

  private:
    // Whether the reward file's 6-digit text of v reads back as v. Most models
    // take few distinct values, so each verdict is kept in a small table keyed by
    // the value's bits.
    bool ReadsBack(double v);
    void Line(char kind, uint32_t number, size_t variable, const double* value);

    std::ofstream out;
    size_t variables;
    bool anyImpulse;
    bool anyCondition;
    std::vector<char> line;
    struct Verdict {
        uint64_t bits;
        bool known;
        bool readsBack;
    };
    std::vector<Verdict> verdicts;
};

#endif
