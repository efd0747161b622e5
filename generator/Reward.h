#ifndef REWARD_H
#define REWARD_H

#include "BaseClasses/PVModel.h"
#include "generator/StateSpaceGenFormat.h"

#include <cstdint>
#include <fstream>
#include <vector>

class RewardRates;

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
    // When set (not owned), every record also goes to the reward-rate file, which
    // keeps the rate rewards that the reward file's text rounds.
    RewardRates* rates = nullptr;

    // Opens `rewfile` on the file (truncating); "Could not open file dude" and exit
    // status 1 when that fails. A stream left open by an earlier Reward is closed first.
    Reward(PVModel* model, short fileType, const char* fileName);
    void Calculate(uint32_t stateNumber);

    // The record of a state can also be written later from values captured while
    // the model held its rewards: Capture() stores ValuesPerRecord() doubles (each
    // variable's impulse and rate value, in model order) and Calculate(n, values)
    // writes them exactly as Calculate(n) would have.
    size_t ValuesPerRecord() const { return ValuesPerRecord(model); }
    void Capture(double* values) const { Capture(model, values); }
    // The same for a given model, without reading this writer (another thread may be
    // writing records meanwhile).
    static size_t ValuesPerRecord(const PVModel* m) {
        return m->NumPVs > 0 ? 2 * static_cast<size_t>(m->NumPVs) : 0;
    }
    static void Capture(const PVModel* m, double* values);
    void Calculate(uint32_t stateNumber, const double* values);

  private:
    bool IsText() const { return fileType == 1 || fileType == 3 || fileType == 5; }

    // One text record is built here and written with a single call.
    std::vector<char> record;
    std::vector<double> current;
    NumberText values;
};

#endif
