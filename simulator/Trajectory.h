// One instance of the model, driven along time: the simulation of one replication
// after another. Built once per thread (each thread has its own reward model), it
// lays out at set-up everything an event needs, so that an event allocates nothing:
//
// - the timed activities, one per group of the composed model (an activity and its
//   cases complete together), numbered in the order of the action list, which breaks
//   ties between completions at the same time;
// - the instantaneous activities, one per action, as the generator resolves them:
//   the highest rank among the enabled ones first, then by weight;
// - per action, the activities whose enabling it may change (from the state
//   variables it affects and the actions those variables enable), and the
//   performance variables whose rate or impulse reward it may change.
//
// An activity that becomes enabled samples its delay; one that is disabled before it
// completes is aborted, and samples anew when enabled again. After each firing an
// enabled activity with a reactivation predicate that holds samples anew. An
// exponential activity always completes at its current rate: when its rate changes
// its remaining time is rescaled by old rate / new rate, which by the lack of memory
// gives exactly the remaining time at the new rate (and draws no random number), so
// that marking-dependent rates mean what they mean in the Markov chain. A rate is
// an expression over the places of its activity's atomic model, so after a firing
// only the exponential activities of the atomic models that share a place the
// firing changed are asked for their rates, and those whose model declares their
// rate constant never are.
#pragma once

#include "distributions/UserDistributions.h"
#include "simulator/EventHeap.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class BaseActionClass;
class BaseGroupClass;
class ObservationPlan;
class PVModel;
class PerformanceVariableNode;
class ReplicationStream;

class Trajectory {
  public:
    explicit Trajectory(PVModel* model);
    ~Trajectory();
    Trajectory(const Trajectory&) = delete;
    Trajectory& operator=(const Trajectory&) = delete;

    // Loads the initial marking and fires its instantaneous activities with the
    // stream `seed`; true when some timed activity is then due at a finite time.
    bool Probe(unsigned long seed);

    struct Pilot {
        uint64_t events = 0; // timed firings made
        double half = 0.0;   // the time of the firing half-way
        double end = 0.0;    // the time of the last firing
    };
    // Up to `events` timed firings from the initial marking with the stream `seed`.
    Pilot RunPilot(unsigned long seed, uint64_t events);

    // One replication with the stream `seed`, up to the plan's first `marks` marks:
    // writes the observations of those marks into their columns (of
    // plan.Columns()). A delay, rate or weight that is no valid number is a UserError.
    void Run(const ObservationPlan& plan, unsigned long seed, double* observations, size_t marks);

    // Timed firings so far, over every run.
    uint64_t Events() const { return events_; }

    // The steps of importance splitting, where a path is continued from a marking
    // reached on another path. That needs the marking to be the whole state: the
    // first timed activity that is not exponential (whose sampled delay is state
    // too), or null when all are.
    const BaseActionClass* NotMemoryless() const;
    // Seeds the stream the next steps draw from.
    void Seed(unsigned long seed);
    // A uniform number in [0, 1) from that stream.
    double Draw();
    int StateSize() const { return static_cast<int>(initial_.size()); }
    // Starts a path at `time` from `marking` (null: the initial marking), with every
    // enabled timed activity sampling its delay anew (exact for exponential delays)
    // and the instantaneous activities fired.
    void Start(const char* marking, double time);
    void CopyMarking(char* out) const;
    double Now() const { return now_; }
    double RateOf(int node) const { return rate_[static_cast<size_t>(node)]; }
    // Continues the path: at each of the marks [mark, end) passed, adds `weight`
    // times the rate reward of each Read to its column, until a firing makes the
    // rate reward of `node` at least `level` (true, the path stops right after that
    // firing, `mark` at the first mark it has not passed) or the marks run out
    // (false).
    bool Advance(const ObservationPlan& plan, size_t& mark, size_t end, double weight,
                 double* observations, int node, double level);

  private:
    struct Timed {
        BaseActionClass* enabling; // asked Enabled(): the activity, or its group
        BaseActionClass* timing;   // asked for its delay and rate: the (first) case
        BaseGroupClass* group;     // the cases' group, or null for an activity alone
        int action;                // the activity's action, when alone
        bool exponential;          // and a rate that may change with the marking
        bool cases;                // `group` gathers cases, whose probabilities add up to 1
        double rate;               // the rate the scheduled completion was computed with
    };
    // A range [begin, end) of a flat array.
    struct Range {
        int begin;
        int end;
    };

    int IndexOf(BaseActionClass* a) const;
    void FindRateWatches();
    void Reset(unsigned long seed);
    // Loads `marking` at `time`: every enabled timed activity samples its delay, the
    // rewards start from the marking, nothing accumulated.
    void Load(const char* marking, double time);
    void Settle();
    void FireTimed(int slot);
    void AfterFiring(int action, BaseActionClass* a);
    void Recheck(int slot);
    void RecheckInstant(int j);
    void Schedule(int slot);
    double Sample(int slot);
    void ResolveInstantaneous();
    void FlushRewards();
    // Closes the open watches whose condition holds now, writing their columns;
    // returns how many stay open.
    int CheckWatches(const ObservationPlan& plan, double* observations, int open);
    void FollowRates();
    double Accumulated(int node, double t) const {
        return cumulative_[node] + rate_[node] * (t - last_[node]);
    }
    [[noreturn]] void BadValue(const BaseActionClass* a, const char* what, double value,
                               const char* rule) const;
    // Stops the run unless the probabilities of the enabled cases of the activity
    // whose cases `group` gathers add up to 1, the tolerance the generator allows.
    void CheckCaseSum(const BaseGroupClass* group, double total) const;

    PVModel* model_;
    BaseActionClass** actions_;
    int numActions_;
    int minId_;
    std::vector<int> idToIndex_;
    std::vector<char> initial_;

    std::vector<Timed> timed_;
    std::vector<int> actionTimed_;   // per action: its timed activity, or -1
    std::vector<int> actionInstant_; // per action: its instantaneous index, or -1
    std::vector<int> exponentials_;
    std::vector<int> reactivating_;
    std::vector<BaseActionClass*> instant_;
    std::vector<int> instantAction_;
    // Per instantaneous action: the group of its activity's cases when it is the
    // first case, else null.
    std::vector<BaseGroupClass*> instantCases_;
    std::vector<char> instantOn_;
    int instantCount_ = 0;
    std::vector<int> candidates_;
    std::vector<double> weights_;

    // Per action: activities to re-check (>= 0 timed, < 0 instantaneous ~j), and
    // the variables whose rate reward or impulse reward it may change.
    // And the exponential activities whose rates it may change.
    std::vector<Range> dependents_, rateNodes_, impulseNodes_, rateWatch_;
    std::vector<int> dependentList_, rateList_, impulseList_, rateWatchList_;
    std::vector<char> rateDue_;
    std::vector<int> rateDueList_;

    PerformanceVariableNode** nodes_;
    int numNodes_;
    std::vector<double> rate_, cumulative_, last_, snapshot_;
    std::vector<char> dirty_;
    std::vector<char> watchOpen_;
    std::vector<int> dirtyList_;

    EventHeap heap_;
    UserDistributions randoms_;
    ReplicationStream* stream_;
    double now_ = 0.0;
    int firing_ = -1; // the timed activity being completed
    uint64_t events_ = 0;
};
