// Runs independent replications on several threads, each thread with a model
// instance (a Trajectory) of its own, and combines their observations.
//
// Replication k draws from its own stream, seeded from the run's seed and k, and its
// observations are added to the estimates in replication order, so the results of
// a seed are the same whatever the number of threads and however the threads are
// scheduled. The replications run in blocks, and the stopping rule is checked only
// between whole blocks, whose sizes depend on nothing but the count so far (32,
// then an eighth of the count, in multiples of 32): the count, too, is the same for
// a seed every time.
//
// A steady-state result is observed once per replication: one long run, its
// warm-up discarded, then the mean of its batch means (the time average over the
// batches). Replications are independent, so its interval holds however strongly
// consecutive batches are correlated; that correlation is measured and reported,
// as a sign that the warm-up may be too short for the run's time scale.
//
// Stopping rule, checked on every result of the table (not on the -g grid): a
// result has reached its target when its half-width is at most `relative` times
// its scale, or at most `absolute`. The scale is |mean|, and for a result whose
// observations all lie within [0, 1] (a probability) the smaller of mean and
// 1 - mean, so that a small probability, or a probability near 1, is estimated to
// a share of what is small about it. The run stops once every result has, or at
// `maxReplications`. Without targets (both 0) it makes exactly maxReplications.
//
// A result that has reached its target and ends later than every result still short
// of it is kept as it is: later replications do not observe it, and run only as far
// as the open results need. A long steady-state run that is precise early then stops
// costing the transient results their time. A result that has reached its target
// within that time is still observed, which costs nothing.
// Its estimate is that of its first EstimateOf(result).Count() replications, the
// same as a run stopped there.
#pragma once

#include "simulator/Estimate.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class ObservationPlan;
class Splitting;
class Trajectory;

class ReplicationRunner {
  public:
    struct Settings {
        uint64_t seed = 1;
        double level = 0.95;
        double relative = 0.01;
        double absolute = 0.0;
        uint64_t maxReplications = 10000;
        // A note on standard error, once the first replications give an estimate,
        // when the target needs more than maxReplications.
        bool projection = true;
        const char* unit = "replications"; // what one observation is, for messages
        // Each observation one importance-splitting run instead of one path.
        const Splitting* splitting = nullptr;
        bool progress = true; // the progress bar on standard error, when it is a terminal
        // "progress <share>" lines on standard error after every block, for a program
        // that runs the simulator and shows its progress itself.
        bool progressLines = false;
    };

    ReplicationRunner(const std::vector<Trajectory*>& trajectories, const ObservationPlan& plan,
                      const Settings& settings);

    // Runs to the stopping rule; a failed replication is a UserError (that of the
    // lowest-numbered failed replication).
    void Run();

    uint64_t Replications() const { return replications_; }
    // Of a result that watches a condition (until, reach): the replications that
    // stopped at the until horizon before the condition held, and those where the
    // model stopped moving without it holding (it never will on that path).
    uint64_t Truncated(int result) const { return truncated_[static_cast<size_t>(result)]; }
    uint64_t Never(int result) const { return never_[static_cast<size_t>(result)]; }
    uint64_t Events() const;
    double Seconds() const { return seconds_; }
    // Whether every result reached its target.
    bool Reached() const;
    const Estimate& EstimateOf(int result) const { return estimates_[static_cast<size_t>(result)]; }
    double HalfWidth(int result) const;
    bool ReachedTarget(int result) const;
    // The half-width a result's target asks for.
    double Goal(int result) const;
    // The replications a result needs for its target, projected from those made
    // (its half-width falls as 1/sqrt(n)); 0 where there is nothing to project from.
    uint64_t Needed(int result) const;
    // Whether a result that cannot be negative has an interval that still includes
    // 0: observed too rarely for an interval to say more than an upper bound.
    bool Unobserved(int result) const;
    // The lag-1 autocorrelation of the batch means of a steady-state result: each
    // replication's batches centred on that replication's own mean, the products and
    // squares pooled over the replications. Centred so, independent batches give
    // about -1/b (b batches per replication), not 0: `corrected` adds that back, and
    // `noise` is its sampling error for independent batches, 1/sqrt(pairs).
    struct Correlation {
        double raw = 0.0;
        double corrected = 0.0;
        double noise = 0.0;
        uint64_t pairs = 0;
        // Whether the batches are measurably and materially correlated: more than
        // three times the noise, and more than 0.1.
        bool Correlated() const { return pairs > 0 && corrected > 3.0 * noise && corrected > 0.1; }
    };
    Correlation BatchCorrelation(int result) const;

    // How far the run is, from 0 to 1: the larger of the share of the maximum
    // count made and the share of the replications the slowest result needs.
    double Progress() const;

    // The block size after `done` replications.
    static uint64_t BlockSize(uint64_t done);

  private:
    void RunBlock(uint64_t first, uint64_t count, size_t marks);
    bool Project() const;
    void Fold(const double* observations);
    double TFactor(uint64_t count) const;

    std::vector<Trajectory*> trajectories_;
    const ObservationPlan& plan_;
    Settings settings_;
    std::vector<Estimate> estimates_;
    std::vector<char> settled_;
    // Per result: the pooled lag-1 products and squares of centred batch means, the
    // pairs, and the batches per replication.
    std::vector<double> lagProducts_, lagSquares_;
    std::vector<uint64_t> lagPairs_;
    std::vector<int> batchesPerReplication_;
    std::vector<double> buffer_;
    std::vector<uint64_t> truncated_, never_;
    uint64_t replications_ = 0;
    // The t factor of the last count asked for: the results have at most two counts
    // (replications, and replications times batches).
    mutable uint64_t tCount_[2] = {0, 0};
    mutable double tFactor_[2] = {0.0, 0.0};
    double seconds_ = 0.0;
};
