#include "simulator/ReplicationRunner.h"

#include "common/ResultTable.h"
#include "common/UserError.h"
#include "simulator/ObservationPlan.h"
#include "simulator/ReplicationStream.h"
#include "simulator/Splitting.h"
#include "simulator/StudentT.h"
#include "simulator/Trajectory.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <unistd.h>

ReplicationRunner::ReplicationRunner(const std::vector<Trajectory*>& trajectories,
                                     const ObservationPlan& plan, const Settings& settings)
    : trajectories_(trajectories), plan_(plan), settings_(settings),
      estimates_(plan.Results().size()), settled_(plan.Results().size(), 0),
      lagProducts_(plan.Results().size(), 0.0), lagSquares_(plan.Results().size(), 0.0),
      lagPairs_(plan.Results().size(), 0), batchesPerReplication_(plan.Results().size(), 0),
      truncated_(plan.Results().size(), 0), never_(plan.Results().size(), 0) {}

uint64_t ReplicationRunner::BlockSize(uint64_t done) {
    const uint64_t eighth = (done / 8 + 31) / 32 * 32;
    return eighth > 32 ? eighth : 32;
}

uint64_t ReplicationRunner::Events() const {
    uint64_t n = 0;
    for (const Trajectory* t : trajectories_)
        n += t->Events();
    return n;
}

double ReplicationRunner::TFactor(uint64_t count) const {
    for (int k = 0; k < 2; k++)
        if (tCount_[k] == count)
            return tFactor_[k];
    tCount_[1] = tCount_[0];
    tFactor_[1] = tFactor_[0];
    tCount_[0] = count;
    tFactor_[0] =
        count > 1 ? StudentT::TwoSided(settings_.level, static_cast<double>(count - 1)) : INFINITY;
    return tFactor_[0];
}

double ReplicationRunner::HalfWidth(int result) const {
    const Estimate& e = estimates_[static_cast<size_t>(result)];
    return e.HalfWidth(settings_.level, TFactor(e.Count()));
}

double ReplicationRunner::Goal(int result) const {
    const Estimate& e = estimates_[static_cast<size_t>(result)];
    const double mean = e.Mean();
    // A probability near 1 is as precise as its complement: an availability of
    // 0.99999 needs the precision of its unavailability of 1e-5.
    const double scale = e.WithinUnit() ? std::min(mean, 1.0 - mean) : std::fabs(mean);
    return std::max(settings_.relative * scale, settings_.absolute);
}

bool ReplicationRunner::ReachedTarget(int result) const {
    // One path where the condition can no longer hold settles an until variable:
    // its mean is infinite, whatever more replications show.
    if (never_[static_cast<size_t>(result)] > 0 &&
        plan_.Results()[static_cast<size_t>(result)].kind == MeasureKind::Until)
        return true;
    const double goal = Goal(result);
    return goal > 0.0 && HalfWidth(result) <= goal;
}

uint64_t ReplicationRunner::Needed(int result) const {
    const double goal = Goal(result);
    const double h = HalfWidth(result);
    const double n = static_cast<double>(estimates_[static_cast<size_t>(result)].Count());
    if (!(goal > 0.0) || !std::isfinite(h) || Unobserved(result))
        return 0;
    const double need = std::ceil(n * (h / goal) * (h / goal));
    return need < 1e18 ? static_cast<uint64_t>(need) : UINT64_MAX;
}

bool ReplicationRunner::Unobserved(int result) const {
    const Estimate& e = estimates_[static_cast<size_t>(result)];
    // The reward until a condition is no rare event: one that holds at the start
    // earns exactly 0 on every path.
    if (plan_.Results()[static_cast<size_t>(result)].kind == MeasureKind::Until)
        return false;
    return e.NonNegative() && e.Mean() - HalfWidth(result) <= 0.0;
}

bool ReplicationRunner::Reached() const {
    const std::vector<ObservationPlan::Result>& results = plan_.Results();
    for (size_t r = 0; r < results.size(); r++)
        if (!results[r].grid && !ReachedTarget(static_cast<int>(r)))
            return false;
    return true;
}

ReplicationRunner::Correlation ReplicationRunner::BatchCorrelation(int result) const {
    const size_t r = static_cast<size_t>(result);
    Correlation c;
    c.pairs = lagPairs_[r];
    if (c.pairs == 0 || !(lagSquares_[r] > 0.0))
        return Correlation{};
    c.raw = lagProducts_[r] / lagSquares_[r];
    c.corrected = c.raw + 1.0 / static_cast<double>(batchesPerReplication_[r]);
    c.noise = 1.0 / std::sqrt(static_cast<double>(c.pairs));
    return c;
}

void ReplicationRunner::Fold(const double* observations) {
    const int columns = plan_.Columns();
    for (int c = 0; c < columns;) {
        // The columns of one result are consecutive: its batches, if it has several.
        const int r = plan_.ResultOf(c);
        int end = c + 1;
        while (end < columns && plan_.ResultOf(end) == r)
            end++;
        if (settled_[static_cast<size_t>(r)]) {
            c = end;
            continue;
        }
        double sum = 0.0;
        for (int k = c; k < end; k++)
            sum += observations[k];
        if (!std::isfinite(sum)) {
            // A watch that did not see its condition: counted, and 0 in the estimate
            // (which is then that of reaching it by the limit; the mean of an until
            // variable with any such replication is not given as a number).
            const size_t i = static_cast<size_t>(r);
            if (std::isnan(sum))
                truncated_[i]++;
            else
                never_[i]++;
            sum = 0.0;
        }
        const double mean = sum / (end - c);
        if (end - c > 1) {
            // Centred on this replication's mean: a replication that starts off its
            // steady state moves all its batches together, which is not a correlation
            // between consecutive batches.
            const size_t i = static_cast<size_t>(r);
            for (int k = c; k < end; k++) {
                const double d = observations[k] - mean;
                lagSquares_[i] += d * d;
                if (k + 1 < end)
                    lagProducts_[i] += d * (observations[k + 1] - mean);
            }
            lagPairs_[i] += static_cast<uint64_t>(end - c - 1);
            batchesPerReplication_[i] = end - c;
        }
        // A replication is one observation: the mean of its batches.
        estimates_[static_cast<size_t>(r)].Add(mean);
        c = end;
    }
}

void ReplicationRunner::RunBlock(uint64_t first, uint64_t count, size_t marks) {
    const size_t columns = static_cast<size_t>(plan_.Columns());
    buffer_.assign(static_cast<size_t>(count) * columns, 0.0);
    std::atomic<uint64_t> next(first);
    std::atomic<bool> failed(false);
    std::mutex lock;
    uint64_t failedAt = UINT64_MAX;
    std::string message;
    auto work = [&](Trajectory* t) {
        for (;;) {
            if (failed.load(std::memory_order_relaxed))
                return;
            const uint64_t k = next.fetch_add(1);
            if (k >= first + count)
                return;
            try {
                const unsigned long seed = ReplicationStream::SeedOf(settings_.seed, k);
                double* observations = &buffer_[static_cast<size_t>(k - first) * columns];
                if (settings_.splitting != nullptr)
                    settings_.splitting->Run(*t, seed, observations, marks);
                else
                    t->Run(plan_, seed, observations, marks);
            } catch (const gen::UserError& e) {
                std::lock_guard<std::mutex> hold(lock);
                // Every replication below a failed one was claimed and runs to its
                // end, so the lowest failure is the same on every run.
                if (k < failedAt) {
                    failedAt = k;
                    message = e.what();
                }
                failed.store(true);
                return;
            }
        }
    };
    std::vector<std::thread> helpers;
    for (size_t w = 1; w < trajectories_.size() && w < count; w++) {
        try {
            helpers.emplace_back(work, trajectories_[w]);
        } catch (const std::system_error&) {
            break; // no more threads to be had: fewer threads do the block
        }
    }
    work(trajectories_[0]);
    for (std::thread& h : helpers)
        h.join();
    if (failedAt != UINT64_MAX)
        throw gen::UserError(message + " (replication " + std::to_string(failedAt) + ")");
    for (uint64_t k = 0; k < count; k++)
        Fold(&buffer_[static_cast<size_t>(k) * columns]);
}

double ReplicationRunner::Progress() const {
    const double n = static_cast<double>(replications_);
    double done = n / static_cast<double>(settings_.maxReplications);
    if (settings_.relative > 0.0 || settings_.absolute > 0.0) {
        // The half-width falls as 1/sqrt(n): a result at (goal / half-width)^2 of
        // the way has made that share of the replications it needs.
        double least = 1.0;
        const std::vector<ObservationPlan::Result>& results = plan_.Results();
        for (size_t r = 0; r < results.size(); r++) {
            if (results[r].grid || ReachedTarget(static_cast<int>(r)))
                continue;
            const double h = HalfWidth(static_cast<int>(r));
            const double share = h > 0.0 && std::isfinite(h) ? Goal(static_cast<int>(r)) / h : 0.0;
            least = std::min(least, share * share);
        }
        done = std::max(done, least);
    }
    return std::min(done, 1.0);
}

void ReplicationRunner::Run() {
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const bool target = settings_.relative > 0.0 || settings_.absolute > 0.0;
    const std::vector<ObservationPlan::Result>& results = plan_.Results();
    size_t marks = plan_.Marks().size();
    bool shown = false, projected = !settings_.projection;
    while (replications_ < settings_.maxReplications) {
        uint64_t count = BlockSize(replications_);
        if (count > settings_.maxReplications - replications_)
            count = settings_.maxReplications - replications_;
        RunBlock(replications_, count, marks);
        replications_ += count;
        const bool done = target && Reached();
        if (target && !done) {
            // How far the results short of their target need the paths; those that
            // have reached it and end later are kept, the others still observed
            // (that costs nothing more).
            auto reached = [&](size_t r) {
                return !results[r].grid && ReachedTarget(static_cast<int>(r));
            };
            double horizon = 0.0;
            for (size_t r = 0; r < results.size(); r++)
                if (!settled_[r] && !reached(r))
                    horizon = std::max(horizon, plan_.EndOf(static_cast<int>(r)));
            for (size_t r = 0; r < results.size(); r++)
                if (!settled_[r] && reached(r) && plan_.EndOf(static_cast<int>(r)) > horizon)
                    settled_[r] = 1;
            marks = plan_.MarksUntil(horizon);
        }
        if (target && !done && !projected)
            projected = Project();
        seconds_ = elapsed();
        if (settings_.progressLines) {
            std::fprintf(stderr, "progress %.4f\n", done ? 1.0 : Progress());
            std::fflush(stderr);
        }
        if (settings_.progress && seconds_ > 1.0 && isatty(fileno(stderr))) {
            constexpr int kWidth = 30;
            const double p = Progress();
            char bar[kWidth + 1];
            const int filled = static_cast<int>(p * kWidth);
            for (int k = 0; k < kWidth; k++)
                bar[k] = k < filled ? '#' : '-';
            bar[kWidth] = '\0';
            std::fprintf(stderr,
                         "\rsimulating [%s] %3d%%  %llu replications, %.3g firings, %.1f s ", bar,
                         static_cast<int>(p * 100), static_cast<unsigned long long>(replications_),
                         static_cast<double>(Events()), seconds_);
            std::fflush(stderr);
            shown = true;
        }
        if (done)
            break;
    }
    seconds_ = elapsed();
    if (shown)
        std::fprintf(stderr, "\n");
}

bool ReplicationRunner::Project() const {
    const std::vector<ObservationPlan::Result>& results = plan_.Results();
    int slowest = -1;
    uint64_t most = 0;
    for (size_t r = 0; r < results.size(); r++) {
        const int i = static_cast<int>(r);
        if (results[r].grid || ReachedTarget(i))
            continue;
        const uint64_t need = Needed(i);
        if (need == 0)
            return false; // not seen yet: no estimate to project from
        if (need > most) {
            most = need;
            slowest = i;
        }
    }
    if (slowest >= 0 && most > settings_.maxReplications) {
        const ObservationPlan::Result& x = results[static_cast<size_t>(slowest)];
        std::string at;
        if (x.kind == MeasureKind::InstantOfTime || x.kind == MeasureKind::ReachWithin)
            at = " at " + ResultTable::Time(x.start);
        else if (x.kind != MeasureKind::SteadyState && !WatchesCondition(x.kind))
            at = " over [" + ResultTable::Time(x.start) + "," + ResultTable::Time(x.stop) + "]";
        std::fprintf(
            stderr,
            "note: by its first %llu %s, variable %s%s needs about %.3g %s for its target, "
            "more than the %llu allowed (-n): the run will stop short of it; loosen the "
            "target (-r, -a)%s\n",
            static_cast<unsigned long long>(replications_), settings_.unit, x.variable.c_str(),
            at.c_str(), static_cast<double>(most), settings_.unit,
            static_cast<unsigned long long>(settings_.maxReplications),
            settings_.unit[0] == 'r' && x.kind == MeasureKind::InstantOfTime
                ? ", allow more (-n) or, for a rare event, use importance splitting (-I)"
                : " or allow more (-n)");
        std::fflush(stderr);
    }
    return true;
}
