#include "simulator/ObservationPlan.h"

#include "BaseClasses/PVModel.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "common/UserError.h"

#include <algorithm>
#include <cmath>

namespace {

void CheckTime(const PerformanceVariableNode* node, double t) {
    if (!(t >= 0.0) || !std::isfinite(t))
        throw gen::UserError(std::string("variable ") + node->Name + " has the time " +
                             std::to_string(t) + "; a time must be a finite number of at least 0");
}

} // namespace

bool ObservationPlan::HasSteadyState(PVModel* model) {
    for (int p = 0; p < model->NumPVs; p++)
        if (model->PVNodes[p]->GetRewardType() == SteadyStateReward)
            return true;
    return false;
}

int ObservationPlan::AddColumn(int result) {
    columnResult_.push_back(result);
    return static_cast<int>(columnResult_.size()) - 1;
}

ObservationPlan::ObservationPlan(PVModel* model, bool grid, double gridStart, double gridStop,
                                 int gridPoints, double warmup, double batchLength, int batches,
                                 bool instantOnly, double untilHorizon)
    : warmup_(warmup), batchLength_(batchLength), batches_(batches), untilHorizon_(untilHorizon) {
    std::vector<Timed> timed;
    auto add = [&](double t, Operation::Type type, int node, int column, int snapshot,
                   double scale) {
        timed.push_back({t, {type, node, column, snapshot, scale}});
    };

    for (int p = 0; p < model->NumPVs; p++) {
        PerformanceVariableNode* node = model->PVNodes[p];
        const MeasureKind kind = MeasureKindOf(node->GetRewardType());
        if (instantOnly && kind != MeasureKind::InstantOfTime)
            continue;
        Result r;
        r.variable = node->Name;
        r.kind = kind;
        r.node = p;
        if (kind == MeasureKind::SteadyState) {
            steady_ = true;
            const int result = static_cast<int>(results_.size());
            results_.push_back(r);
            const int s = snapshots_++;
            double t = warmup_;
            add(t, Operation::Snap, p, -1, s, 0.0);
            for (int k = 0; k < batches_; k++) {
                t = warmup_ + batchLength_ * (k + 1);
                add(t, Operation::Difference, p, AddColumn(result), s, 1.0 / batchLength_);
                if (k + 1 < batches_)
                    add(t, Operation::Snap, p, -1, s, 0.0);
            }
            continue;
        }
        if (kind == MeasureKind::Until || kind == MeasureKind::Reach) {
            const int result = static_cast<int>(results_.size());
            results_.push_back(r);
            watches_.push_back({p, AddColumn(result), kind, untilHorizon_});
            watchEnd_ = std::max(watchEnd_, untilHorizon_);
            continue;
        }
        if (kind == MeasureKind::ReachWithin) {
            for (int j = 0; j < node->GetNumTimePoints(); j++) {
                r.start = r.stop = node->GetStartTime(j);
                CheckTime(node, r.start);
                const int result = static_cast<int>(results_.size());
                results_.push_back(r);
                watches_.push_back({p, AddColumn(result), kind, r.stop});
                watchEnd_ = std::max(watchEnd_, r.stop);
            }
            continue;
        }
        for (int j = 0; j < node->GetNumTimePoints(); j++) {
            r.start = node->GetStartTime(j);
            r.stop = kind == MeasureKind::InstantOfTime ? r.start : node->GetStopTime(j);
            CheckTime(node, r.start);
            CheckTime(node, r.stop);
            if (r.stop < r.start ||
                (kind == MeasureKind::TimeAveragedInterval && r.stop == r.start))
                throw gen::UserError(
                    std::string("variable ") + node->Name + " has an interval that ends at " +
                    std::to_string(r.stop) + " and starts at " + std::to_string(r.start) +
                    (kind == MeasureKind::TimeAveragedInterval
                         ? "; an average needs an interval that ends after it starts"
                         : "; an interval cannot end before it starts"));
            const int result = static_cast<int>(results_.size());
            results_.push_back(r);
            const int column = AddColumn(result);
            if (kind == MeasureKind::InstantOfTime) {
                add(r.start, Operation::Read, p, column, -1, 0.0);
            } else {
                const int s = snapshots_++;
                add(r.start, Operation::Snap, p, -1, s, 0.0);
                add(r.stop, Operation::Difference, p, column, s,
                    kind == MeasureKind::TimeAveragedInterval ? 1.0 / (r.stop - r.start) : 1.0);
            }
        }
    }
    if (grid) {
        for (int p = 0; p < model->NumPVs; p++) {
            PerformanceVariableNode* node = model->PVNodes[p];
            if (node->GetRewardType() != InstantOfTimeReward)
                continue;
            for (int k = 0; k < gridPoints; k++) {
                Result r;
                r.variable = node->Name;
                r.kind = MeasureKind::InstantOfTime;
                r.node = p;
                r.grid = true;
                r.start = r.stop = gridStart + (gridStop - gridStart) * k / (gridPoints - 1);
                const int result = static_cast<int>(results_.size());
                results_.push_back(r);
                add(r.start, Operation::Read, p, AddColumn(result), -1, 0.0);
            }
        }
    }
    Build(timed);
}

double ObservationPlan::EndOf(int result) const {
    const Result& r = results_[static_cast<size_t>(result)];
    if (r.kind == MeasureKind::Until || r.kind == MeasureKind::Reach)
        return untilHorizon_;
    return r.kind == MeasureKind::SteadyState ? warmup_ + batchLength_ * batches_ : r.stop;
}

size_t ObservationPlan::MarksUntil(double t) const {
    return static_cast<size_t>(
        std::upper_bound(marks_.begin(), marks_.end(), t,
                         [](double x, const Mark& m) { return x < m.time; }) -
        marks_.begin());
}

void ObservationPlan::Build(std::vector<Timed>& timed) {
    // Stable: at one time a batch's difference comes before the next batch's snapshot,
    // an interval's snapshot before its own difference.
    std::stable_sort(timed.begin(), timed.end(),
                     [](const Timed& a, const Timed& b) { return a.time < b.time; });
    for (const Timed& t : timed) {
        if (marks_.empty() || marks_.back().time != t.time)
            marks_.push_back({t.time, static_cast<int>(operations_.size()), 0});
        operations_.push_back(t.operation);
        marks_.back().count++;
    }
}
