// Importance splitting with fixed effort, for instant-of-time variables: the
// probability that a rare condition holds at a time, or any expected rate reward
// at a time that depends on rare paths.
//
// An importance function (the rate reward of a variable the modeller names, in the
// current marking) and levels L1 < L2 < ... split each path where it first reaches
// a level. Stage 0 runs `effort` paths from the initial marking; each stops where
// the importance first reaches L1 (an entrance, kept with its time) or at the last
// mark. Stage k runs `effort` paths again, started from the entrances of stage k-1
// (each used effort / S times, the remainder drawn at random), each stopping at
// L(k+1) or the last mark. A path's stretch of time belongs to the stage that runs
// it; at each mark it passes it adds weight(k) / effort times the rate reward to the
// result, where weight(0) = 1 and weight(k+1) = weight(k) S(k) / effort. The sum is
// an unbiased estimate of the expected reward at each time, whatever the levels and
// the importance function (they decide only how precise it is).
//
// One such run is one observation. Runs are independent (each has its own stream,
// as a replication has), so the Student-t interval over runs is valid for the
// splitting estimator, and the stopping rule and the targets are the replications'.
//
// A path is continued from a marking another path reached: every timed activity
// must be exponential, so that the marking is the whole state.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ObservationPlan;
class Trajectory;

class Splitting {
  public:
    struct Settings {
        int node = -1; // the importance function: this variable's rate reward
        std::string variable;
        // Ascending; empty: base + 1, base + 2, ... up to the first level no path
        // reaches (base: the whole part of the initial marking's importance).
        std::vector<double> levels;
        double base = 0.0;
        uint64_t effort = 1000; // paths per stage
    };

    // Stages beyond which whole-number levels are taken to run away.
    static constexpr size_t kMostStages = 1000;

    Splitting(const Settings& settings, const ObservationPlan& plan);

    // One run with the stream `seed`: adds the estimate of each column's result to
    // `observations` (zeroed by the caller), up to the plan's first `marks` marks.
    void Run(Trajectory& path, unsigned long seed, double* observations, size_t marks) const;

    // Per stage over every run so far: the paths run and those that reached the
    // stage's next level, and that level's value.
    struct Stage {
        uint64_t paths = 0;
        uint64_t reached = 0;
        double level = 0.0;
    };
    std::vector<Stage> Stages() const;

    const Settings& Options() const { return settings_; }

  private:
    // The level that ends stage k; infinite after the last given level.
    double Level(size_t k) const;
    void Count(size_t stage, uint64_t paths, uint64_t reached) const;

    Settings settings_;
    const ObservationPlan& plan_;
    // Counts by stage, added to by every thread; counts, so that the sums do not
    // depend on the order the threads add them in.
    struct Counter {
        std::atomic<uint64_t> paths{0};
        std::atomic<uint64_t> reached{0};
    };
    std::unique_ptr<Counter[]> counters_;
};
