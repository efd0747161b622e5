#include "simulator/Splitting.h"

#include "common/UserError.h"
#include "simulator/ObservationPlan.h"
#include "simulator/Trajectory.h"

#include <algorithm>
#include <cmath>
#include <numeric>

Splitting::Splitting(const Settings& settings, const ObservationPlan& plan)
    : settings_(settings), plan_(plan), counters_(new Counter[kMostStages + 1]) {}

double Splitting::Level(size_t k) const {
    if (settings_.levels.empty())
        return settings_.base + static_cast<double>(k + 1);
    return k < settings_.levels.size() ? settings_.levels[k] : INFINITY;
}

void Splitting::Count(size_t stage, uint64_t paths, uint64_t reached) const {
    counters_[stage].paths.fetch_add(paths, std::memory_order_relaxed);
    counters_[stage].reached.fetch_add(reached, std::memory_order_relaxed);
}

std::vector<Splitting::Stage> Splitting::Stages() const {
    std::vector<Stage> stages;
    for (size_t k = 0; k <= kMostStages; k++) {
        Stage s;
        s.paths = counters_[k].paths.load();
        s.reached = counters_[k].reached.load();
        s.level = Level(k);
        if (s.paths == 0)
            break;
        stages.push_back(s);
    }
    return stages;
}

void Splitting::Run(Trajectory& path, unsigned long seed, double* observations,
                    size_t marks) const {
    const uint64_t effort = settings_.effort;
    const size_t size = static_cast<size_t>(path.StateSize());
    const std::vector<ObservationPlan::Mark>& all = plan_.Marks();
    const size_t end = std::min(marks, all.size());
    // The entrances of the stage that runs and of the next: markings and times.
    std::vector<char> from, to;
    std::vector<double> fromTime, toTime;
    std::vector<uint64_t> order;
    path.Seed(seed);
    double weight = 1.0;
    for (size_t stage = 0;; stage++) {
        if (stage == kMostStages)
            throw gen::UserError("importance splitting: paths still reach level " +
                                 std::to_string(Level(stage)) + " after " +
                                 std::to_string(kMostStages) +
                                 " levels; give the levels that matter with -l");
        const double level = Level(stage);
        const uint64_t starts = stage == 0 ? 1 : fromTime.size();
        // Each entrance starts effort / starts paths, and the remainder goes to as
        // many entrances drawn at random: every entrance starts effort / starts
        // paths on average, which keeps the estimate unbiased.
        order.resize(starts);
        std::iota(order.begin(), order.end(), 0);
        const uint64_t extra = effort % starts;
        for (uint64_t i = 0; i < extra; i++) {
            const uint64_t j =
                i + static_cast<uint64_t>(path.Draw() * static_cast<double>(starts - i));
            std::swap(order[i], order[std::min(j, starts - 1)]);
        }
        to.clear();
        toTime.clear();
        const double share = weight / static_cast<double>(effort);
        uint64_t run = 0;
        for (uint64_t e = 0; e < starts; e++) {
            const uint64_t copies = effort / starts + (e < extra ? 1 : 0);
            const uint64_t entrance = order[e];
            for (uint64_t c = 0; c < copies; c++, run++) {
                if (stage == 0)
                    path.Start(nullptr, 0.0);
                else
                    path.Start(&from[entrance * size], fromTime[entrance]);
                // The first mark at or after the start: the start's own time reads the
                // marking the path starts with (paths are right-continuous).
                const double t0 = path.Now();
                size_t mark = static_cast<size_t>(
                    std::lower_bound(
                        all.begin(), all.begin() + static_cast<long>(end), t0,
                        [](const ObservationPlan::Mark& m, double t) { return m.time < t; }) -
                    all.begin());
                const bool up =
                    path.RateOf(settings_.node) >= level ||
                    path.Advance(plan_, mark, end, share, observations, settings_.node, level);
                if (up) {
                    to.resize(to.size() + size);
                    path.CopyMarking(&to[to.size() - size]);
                    toTime.push_back(path.Now());
                }
            }
        }
        Count(stage, run, toTime.size());
        if (toTime.empty())
            return;
        weight *= static_cast<double>(toTime.size()) / static_cast<double>(effort);
        from.swap(to);
        fromTime.swap(toTime);
    }
}
