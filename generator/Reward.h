#ifndef REWARD_H
#define REWARD_H

#include <cstdint>
#include <fstream>

class PVModel;

// The process-wide reward-file stream, closed (and so flushed) at process exit.
extern std::fstream rewfile;

// Writes the reward file: a header line per performance variable, then per state its
// number and each variable's impulse and rate values, as left by the last firing.
class Reward {
  public:
    PVModel* model;
    short fileType;
    int index;

    Reward(PVModel* model, short fileType, const char* fileName);
    void Calculate(uint32_t stateNumber);
};

#endif
