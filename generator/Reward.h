#ifndef REWARD_H
#define REWARD_H

#include <cstdint>
#include <fstream>

class PVModel;

// The process-wide reward-file stream, closed (and so flushed) at process exit.
extern std::fstream rewfile;

// Writes the reward file: a header line per performance variable (its name), then per
// state its number and each variable's impulse and rate values, as left by the last
// firing. fileType 1, 3 and 5 select text (one value per line, default stream
// formatting: 0.5, 1e-05); any other value selects binary records (4-byte number,
// 8-byte doubles, machine byte order) after the same text header.
//
// The caller guarantees that the model's rewards belong to the state it passes to
// Calculate(), and calls it once per state in ascending number order.
class Reward {
  public:
    PVModel* model;
    short fileType;
    int index;

    // Opens `rewfile` on the file (truncating); "Could not open file dude" and exit
    // status 1 when that fails. A stream left open by an earlier Reward is closed first.
    Reward(PVModel* model, short fileType, const char* fileName);
    void Calculate(uint32_t stateNumber);

  private:
    bool IsText() const { return fileType == 1 || fileType == 3 || fileType == 5; }
};

#endif
