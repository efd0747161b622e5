// What one replication observes, and when. Every result (a row of the table: one
// variable at one time point, or a steady-state variable) and every point of the
// -g grid is estimated from observations; a replication writes one value per
// column, and a steady-state variable has one column per batch. The observations
// are taken at marks, the distinct times of the time points, interval ends, grid
// points and batch ends, in time order; a replication ends at the last mark.
//
// Observations follow the markings as they are after every firing at the same
// time (the paths are right-continuous): an instant of time t reads the rate reward
// after the firings at t, and an interval [a, b] earns the rate reward's integral
// over it plus the impulses of the firings at times a < t <= b.
//
// The variables that watch a condition (until, reach, reach within) are observed
// at no mark but at the first stable marking where the condition holds, checked
// after every firing: a watch. A replication then runs on past its last mark until
// every watch has seen its condition, or to the watch's limit: its time for reach
// within, the until horizon for the other two (the model time a replication may
// run to wait for a condition).
#pragma once

#include "common/MeasureKind.h"

#include <cmath>
#include <string>
#include <vector>

class PVModel;

class ObservationPlan {
  public:
    struct Result {
        std::string variable;
        MeasureKind kind = MeasureKind::InstantOfTime;
        int node = 0; // index into the reward model's PVNodes
        double start = 0.0;
        double stop = 0.0;
        bool grid = false; // a point of the -g grid: plotted, not in the table
    };

    // One step at a mark. Read: column = rate reward. Snap: keep the accumulated
    // reward in a snapshot. Difference: column = (accumulated - snapshot) * scale.
    struct Operation {
        enum Type { Read, Snap, Difference } type;
        int node;
        int column;
        int snapshot;
        double scale;
    };

    struct Mark {
        double time;
        int first; // into Operations()
        int count;
    };

    // A variable watching its condition; it writes its column when the condition
    // first holds at a time up to `limit`: the accumulated reward (until), 1 (reach,
    // reach within). A replication that ends without that writes, for until and
    // reach, +infinity when the model can no longer move (the condition is never
    // reached) and NaN when it stopped at the limit (truncated); for reach within 0.
    struct Watch {
        int node;
        int column;
        MeasureKind kind;
        double limit;
    };

    // Whether the reward model has a steady-state variable.
    static bool HasSteadyState(PVModel* model);

    // The results of the reward model's variables (the table rows, in variable and
    // time-point order), then the grid points of each instant-of-time variable. The
    // steady-state variables are observed after `warmup` in `batches` batches of
    // `batchLength`. A time that is negative or not a number, or an average over an
    // empty interval, is a UserError. With `instantOnly` the other variables are
    // left out.
    ObservationPlan(PVModel* model, bool grid, double gridStart, double gridStop, int gridPoints,
                    double warmup, double batchLength, int batches, bool instantOnly = false,
                    double untilHorizon = INFINITY);

    const std::vector<Result>& Results() const { return results_; }
    const std::vector<Mark>& Marks() const { return marks_; }
    const std::vector<Operation>& Operations() const { return operations_; }
    const std::vector<Watch>& Watches() const { return watches_; }
    // The largest limit of the watches (0 without any).
    double WatchEnd() const { return watchEnd_; }
    double UntilHorizon() const { return untilHorizon_; }
    int Columns() const { return static_cast<int>(columnResult_.size()); }
    int Snapshots() const { return snapshots_; }
    // The result whose estimate column c is an observation of.
    int ResultOf(int column) const { return columnResult_[static_cast<size_t>(column)]; }
    // The model time a replication runs to.
    double Horizon() const { return marks_.empty() ? 0.0 : marks_.back().time; }
    // The time of a result's last observation.
    double EndOf(int result) const;
    // The number of marks at times up to t.
    size_t MarksUntil(double t) const;
    double Warmup() const { return warmup_; }
    double BatchLength() const { return batchLength_; }
    int Batches() const { return batches_; }
    bool Steady() const { return steady_; }

  private:
    struct Timed {
        double time;
        Operation operation;
    };
    int AddColumn(int result);
    void Build(std::vector<Timed>& timed);

    std::vector<Result> results_;
    std::vector<Mark> marks_;
    std::vector<Operation> operations_;
    std::vector<int> columnResult_;
    std::vector<Watch> watches_;
    double watchEnd_ = 0.0;
    int snapshots_ = 0;
    double warmup_;
    double batchLength_;
    int batches_;
    double untilHorizon_;
    bool steady_ = false;
};
