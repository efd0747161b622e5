#include "simulator/Trajectory.h"

#include "BaseClasses/BaseGroupClass.h"
#include "BaseClasses/PostselectGroup.h"
#include "BaseClasses/PVModel.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "BaseClasses/SANModel.h"
#include "Composer/BaseComposerClass.h"
#include "BaseClasses/state/BaseStateVariableClass.h"
#include "common/UserError.h"
#include "simulator/ObservationPlan.h"
#include "simulator/ReplicationStream.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

namespace {

// Instantaneous firings in a row without time advancing, beyond which a model is
// taken to loop in zero time.
constexpr uint64_t kMaxInstantaneous = 1000000;
// How far from 1 the case probabilities of an activity may add up: as in gen.
constexpr double kCaseSumTolerance = 1e-9;

// Points the calling thread's distributions at a trajectory's for the length of a
// run, whatever way the run ends.
class UseRandoms {
  public:
    explicit UseRandoms(Distributions* d) : previous_(TheDistribution) { TheDistribution = d; }
    ~UseRandoms() { TheDistribution = previous_; }
    UseRandoms(const UseRandoms&) = delete;
    UseRandoms& operator=(const UseRandoms&) = delete;

  private:
    Distributions* previous_;
};

// A frozen set of the framework as a list of ints.
void AppendSet(FastSet& set, std::vector<int>& out) {
    for (int k = 0; k < set.size(); k++)
        out.push_back(set[k]);
}

// The atomic models of a composed model; false when a component is neither atomic
// nor composed.
bool CollectAtomic(BaseModelClass* m, std::vector<SANModel*>& out) {
    if (SANModel* s = dynamic_cast<SANModel*>(m)) {
        out.push_back(s);
        return true;
    }
    BaseComposerClass* c = dynamic_cast<BaseComposerClass*>(m);
    if (c == nullptr)
        return false;
    bool all = true;
    for (int i = 0; i < c->NumChildren; i++)
        all = CollectAtomic(c->Children[i], out) && all;
    return all;
}

// What identifies a place whichever atomic model names it: the members of a class
// of shared places hold the same list objects.
const void* PlaceKey(BaseStateVariableClass* v) {
    const void* key = v->getAffectingActions();
    return key != nullptr ? key : v;
}

// The keys of a state variable's places (an array or a structure has several).
void PlaceKeys(BaseStateVariableClass* v, std::vector<const void*>& out) {
    if (v->isLeafNode()) {
        out.push_back(PlaceKey(v));
        return;
    }
    List<BaseStateVariableClass>* leaves = v->getLeafNodes();
    for (int k = 0; k < leaves->getNumItems(); k++)
        out.push_back(PlaceKey(leaves->getItem(k)));
    delete leaves;
}

} // namespace

Trajectory::Trajectory(PVModel* model)
    : model_(model), actions_(model->Actions), numActions_(model->NumActions), minId_(0),
      nodes_(model->PVNodes), numNodes_(model->NumPVs), randoms_(1, 1), stream_(nullptr) {
    // The framework's distributions, drawing from a stream of this trajectory's own.
    delete randoms_.generator;
    stream_ = new ReplicationStream();
    randoms_.generator = stream_;

    const int n = numActions_ > 0 ? numActions_ : 0;
    if (n > 0) {
        int lo = actions_[0]->ID, hi = actions_[0]->ID;
        for (int i = 0; i < n; i++) {
            lo = std::min(lo, actions_[i]->ID);
            hi = std::max(hi, actions_[i]->ID);
        }
        minId_ = lo;
        idToIndex_.assign(static_cast<size_t>(hi - lo + 1), -1);
        for (int i = 0; i < n; i++)
            idToIndex_[static_cast<size_t>(actions_[i]->ID - lo)] = i;
    }

    // Timed activities by group, numbered in action-list order; instantaneous ones
    // by action.
    actionTimed_.assign(static_cast<size_t>(n), -1);
    actionInstant_.assign(static_cast<size_t>(n), -1);
    std::vector<int> groupTimed(static_cast<size_t>(model->NumGroups > 0 ? model->NumGroups : 0),
                                -1);
    for (int i = 0; i < n; i++) {
        BaseActionClass* a = actions_[i];
        const int g = a->GroupID;
        BaseGroupClass* group = g >= 0 && g < model->NumGroups ? model->Groups[g] : nullptr;
        if (a->DistributionType == Instantaneous) {
            actionInstant_[static_cast<size_t>(i)] = static_cast<int>(instant_.size());
            instant_.push_back(a);
            instantAction_.push_back(i);
            const bool firstCase = dynamic_cast<PostselectGroup*>(group) != nullptr &&
                                   group->NumMembers > 0 && group->Members[0] == a;
            instantCases_.push_back(firstCase ? group : nullptr);
            continue;
        }
        const bool alone =
            group == nullptr || static_cast<BaseActionClass*>(group) == a || group->NumMembers == 0;
        if (!alone && groupTimed[static_cast<size_t>(g)] >= 0) {
            actionTimed_[static_cast<size_t>(i)] = groupTimed[static_cast<size_t>(g)];
            continue;
        }
        Timed t;
        t.enabling = alone ? a : group;
        t.timing = alone ? a : group->Members[0];
        t.group = alone ? nullptr : group;
        t.cases = !alone && dynamic_cast<PostselectGroup*>(group) != nullptr;
        t.action = i;
        // An exponential rate that may change is followed; a constant one is not.
        t.exponential = t.timing->DistributionType == Exponential && !t.timing->ConstantRate;
        t.rate = 0.0;
        const int slot = static_cast<int>(timed_.size());
        if (!alone)
            groupTimed[static_cast<size_t>(g)] = slot;
        actionTimed_[static_cast<size_t>(i)] = slot;
        if (t.exponential)
            exponentials_.push_back(slot);
        if (t.timing->Reactivation)
            reactivating_.push_back(slot);
        timed_.push_back(t);
    }
    instantOn_.assign(instant_.size(), 0);
    candidates_.resize(instant_.size());
    weights_.resize(instant_.size());

    // What each action's firing may change.
    dependents_.resize(static_cast<size_t>(n));
    rateNodes_.resize(static_cast<size_t>(n));
    impulseNodes_.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; i++) {
        BaseActionClass* a = actions_[i];
        std::vector<int> d;
        auto add = [&](int index) {
            if (index < 0)
                return;
            const int t = actionTimed_[static_cast<size_t>(index)];
            d.push_back(t >= 0 ? t : ~actionInstant_[static_cast<size_t>(index)]);
        };
        // The fired activity itself, which samples anew if it stays enabled.
        add(i);
        for (int v = 0; v < a->AffectedSVs.getNumItems(); v++) {
            List<BaseActionClass>* enabled = a->AffectedSVs.getItem(v)->getEnabledActions();
            for (int k = 0; enabled != nullptr && k < enabled->getNumItems(); k++)
                add(IndexOf(enabled->getItem(k)));
        }
        // Each activity once, in a fixed order.
        std::sort(d.begin(), d.end());
        d.erase(std::unique(d.begin(), d.end()), d.end());
        dependents_[static_cast<size_t>(i)] = {static_cast<int>(dependentList_.size()), 0};
        dependentList_.insert(dependentList_.end(), d.begin(), d.end());
        dependents_[static_cast<size_t>(i)].end = static_cast<int>(dependentList_.size());

        rateNodes_[static_cast<size_t>(i)].begin = static_cast<int>(rateList_.size());
        AppendSet(a->AffectedNodesByRateReward, rateList_);
        rateNodes_[static_cast<size_t>(i)].end = static_cast<int>(rateList_.size());
        impulseNodes_[static_cast<size_t>(i)].begin = static_cast<int>(impulseList_.size());
        AppendSet(a->AffectedNodesByImpulseReward, impulseList_);
        impulseNodes_[static_cast<size_t>(i)].end = static_cast<int>(impulseList_.size());
    }

    FindRateWatches();

    const size_t nodes = static_cast<size_t>(numNodes_ > 0 ? numNodes_ : 0);
    rate_.assign(nodes, 0.0);
    cumulative_.assign(nodes, 0.0);
    last_.assign(nodes, 0.0);
    dirty_.assign(nodes, 0);
    dirtyList_.reserve(nodes);

    heap_ = EventHeap(static_cast<int>(timed_.size()));
    const int size = model->StateSize();
    initial_.assign(static_cast<size_t>(size > 0 ? size : 1), 0);
    if (size > 0)
        model->CurrentState(initial_.data());
}

Trajectory::~Trajectory() {}

void Trajectory::FindRateWatches() {
    const int n = numActions_ > 0 ? numActions_ : 0;
    rateWatch_.assign(static_cast<size_t>(n), {0, 0});
    rateDue_.assign(timed_.size(), 0);
    rateDueList_.reserve(timed_.size());
    std::vector<SANModel*> atomic;
    const bool known = CollectAtomic(model_->TopModel, atomic);
    // Per place, the atomic models that hold it; per action, its atomic model.
    std::map<const void*, std::set<int>> holders;
    std::vector<int> actionModel(static_cast<size_t>(n), -1);
    for (int m = 0; m < static_cast<int>(atomic.size()); m++) {
        SANModel* s = atomic[static_cast<size_t>(m)];
        std::vector<const void*> keys;
        for (int i = 0; i < s->NumStateVariables - s->NumReadOnlyPlaces; i++)
            if (s->Places != nullptr && s->Places[i] != nullptr)
                PlaceKeys(s->Places[i], keys);
        for (int i = 0; i < s->NumReadOnlyPlaces; i++)
            if (s->ReadOnlyPlaces != nullptr && s->ReadOnlyPlaces[i] != nullptr)
                PlaceKeys(s->ReadOnlyPlaces[i], keys);
        for (const void* k : keys)
            holders[k].insert(m);
        for (int j = 0; j < s->NumActions; j++) {
            const int i = IndexOf(s->Actions[j]);
            if (i >= 0)
                actionModel[static_cast<size_t>(i)] = m;
        }
    }
    for (int i = 0; i < n; i++) {
        std::vector<const void*> keys;
        for (int v = 0; v < actions_[i]->AffectedSVs.getNumItems(); v++)
            PlaceKeys(actions_[i]->AffectedSVs.getItem(v), keys);
        std::set<int> models;
        for (const void* k : keys) {
            auto at = holders.find(k);
            if (at != holders.end())
                models.insert(at->second.begin(), at->second.end());
        }
        rateWatch_[static_cast<size_t>(i)].begin = static_cast<int>(rateWatchList_.size());
        for (int slot : exponentials_) {
            const int m =
                actionModel[static_cast<size_t>(timed_[static_cast<size_t>(slot)].action)];
            // Where the model's parts are not all atomic models, every rate is watched.
            if (!known || m < 0 || models.count(m) > 0)
                rateWatchList_.push_back(slot);
        }
        rateWatch_[static_cast<size_t>(i)].end = static_cast<int>(rateWatchList_.size());
    }
}

int Trajectory::IndexOf(BaseActionClass* a) const {
    if (a == nullptr)
        return -1;
    const long k = static_cast<long>(a->ID) - minId_;
    if (k < 0 || k >= static_cast<long>(idToIndex_.size()))
        return -1;
    const int i = idToIndex_[static_cast<size_t>(k)];
    return i >= 0 && actions_[i] == a ? i : -1;
}

void Trajectory::BadValue(const BaseActionClass* a, const char* what, double value,
                          const char* rule) const {
    std::ostringstream text;
    text.precision(15);
    text << "activity " << a->getName() << " has " << what << " " << value << " at time " << now_
         << "; " << rule;
    throw gen::UserError(text.str());
}

void Trajectory::CheckCaseSum(const BaseGroupClass* group, double total) const {
    if (std::fabs(total - 1.0) <= kCaseSumTolerance)
        return;
    // The group is named after its activity: "<activity>Group".
    std::string name = group->getName() != nullptr ? group->getName() : "";
    if (name.size() > 5 && name.compare(name.size() - 5, 5, "Group") == 0)
        name.resize(name.size() - 5);
    std::ostringstream text;
    text.precision(15);
    text << "activity " << name << " has case probabilities adding up to " << total << " at time "
         << now_ << "; they must add up to 1";
    throw gen::UserError(text.str());
}

void Trajectory::Reset(unsigned long seed) {
    stream_->srnd(seed);
    Load(initial_.data(), 0.0);
}

void Trajectory::Load(const char* marking, double time) {
    now_ = time;
    firing_ = -1;
    if (model_->StateSize() > 0)
        model_->SetState(const_cast<char*>(marking));
    heap_.Clear();
    for (int s = 0; s < static_cast<int>(timed_.size()); s++)
        if (timed_[static_cast<size_t>(s)].enabling->Enabled())
            Schedule(s);
    instantCount_ = 0;
    for (size_t j = 0; j < instant_.size(); j++) {
        instantOn_[j] = instant_[j]->Enabled() ? 1 : 0;
        instantCount_ += instantOn_[j];
    }
    for (int p = 0; p < numNodes_; p++) {
        nodes_[p]->CurrentReward(nullptr);
        rate_[static_cast<size_t>(p)] = nodes_[p]->RateValue;
        cumulative_[static_cast<size_t>(p)] = 0.0;
        last_[static_cast<size_t>(p)] = time;
        dirty_[static_cast<size_t>(p)] = 0;
    }
    dirtyList_.clear();
    for (int slot : rateDueList_)
        rateDue_[static_cast<size_t>(slot)] = 0;
    rateDueList_.clear();
}

void Trajectory::Settle() {
    ResolveInstantaneous();
    FlushRewards();
    FollowRates();
}

bool Trajectory::Probe(unsigned long seed) {
    UseRandoms use(&randoms_);
    Reset(seed);
    Settle();
    return !heap_.Empty() && std::isfinite(heap_.TopTime());
}

Trajectory::Pilot Trajectory::RunPilot(unsigned long seed, uint64_t events) {
    UseRandoms use(&randoms_);
    Reset(seed);
    Settle();
    Pilot p;
    while (p.events < events && !heap_.Empty() && std::isfinite(heap_.TopTime())) {
        FireTimed(heap_.Top());
        p.events++;
        if (p.events == events / 2)
            p.half = now_;
    }
    p.end = now_;
    return p;
}

void Trajectory::Run(const ObservationPlan& plan, unsigned long seed, double* observations,
                     size_t count) {
    UseRandoms use(&randoms_);
    Reset(seed);
    Settle();
    const ObservationPlan::Mark* marks = plan.Marks().data();
    const size_t end = std::min(count, plan.Marks().size());
    const ObservationPlan::Operation* operations = plan.Operations().data();
    snapshot_.resize(static_cast<size_t>(plan.Snapshots()));
    const std::vector<ObservationPlan::Watch>& watches = plan.Watches();
    int open = static_cast<int>(watches.size());
    if (open > 0) {
        watchOpen_.assign(watches.size(), 1);
        open = CheckWatches(plan, observations, open);
    }
    const double watchEnd = plan.WatchEnd();
    size_t m = 0;
    while (m < end || open > 0) {
        const double due = heap_.Empty() ? INFINITY : heap_.TopTime();
        // Firings at a mark's time come first: the paths are right-continuous.
        for (; m < end && marks[m].time < due; m++) {
            const double t = marks[m].time;
            for (int k = marks[m].first; k < marks[m].first + marks[m].count; k++) {
                const ObservationPlan::Operation& o = operations[k];
                switch (o.type) {
                case ObservationPlan::Operation::Read:
                    observations[o.column] = rate_[static_cast<size_t>(o.node)];
                    break;
                case ObservationPlan::Operation::Snap:
                    snapshot_[static_cast<size_t>(o.snapshot)] = Accumulated(o.node, t);
                    break;
                case ObservationPlan::Operation::Difference:
                    observations[o.column] =
                        (Accumulated(o.node, t) - snapshot_[static_cast<size_t>(o.snapshot)]) *
                        o.scale;
                    break;
                }
            }
        }
        // Past the marks only the watches keep the path going, up to their limits;
        // a model that no longer moves ends it.
        if (m == end && (open == 0 || !(due <= watchEnd)))
            break;
        FireTimed(heap_.Top());
        if (open > 0)
            open = CheckWatches(plan, observations, open);
    }
    if (open > 0) {
        const bool stopped = heap_.Empty() || !std::isfinite(heap_.TopTime());
        for (size_t k = 0; k < watches.size(); k++) {
            if (!watchOpen_[k])
                continue;
            const ObservationPlan::Watch& w = watches[k];
            observations[w.column] = w.kind == MeasureKind::ReachWithin ? 0.0
                                     : stopped                          ? INFINITY
                                                                        : NAN;
        }
    }
}

int Trajectory::CheckWatches(const ObservationPlan& plan, double* observations, int open) {
    const std::vector<ObservationPlan::Watch>& watches = plan.Watches();
    for (size_t k = 0; k < watches.size(); k++) {
        if (!watchOpen_[k])
            continue;
        const ObservationPlan::Watch& w = watches[k];
        if (!nodes_[w.node]->ConditionHolds())
            continue;
        watchOpen_[k] = 0;
        open--;
        const bool inTime = now_ <= w.limit;
        switch (w.kind) {
        case MeasureKind::Until:
            // The firing that reached the condition has earned its impulse.
            observations[w.column] = inTime ? Accumulated(w.node, now_) : NAN;
            break;
        case MeasureKind::Reach:
            observations[w.column] = inTime ? 1.0 : NAN;
            break;
        default:
            observations[w.column] = inTime ? 1.0 : 0.0;
            break;
        }
    }
    return open;
}

const BaseActionClass* Trajectory::NotMemoryless() const {
    for (const Timed& t : timed_)
        if (t.timing->DistributionType != Exponential)
            return t.timing;
    return nullptr;
}

void Trajectory::Start(const char* marking, double time) {
    UseRandoms use(&randoms_);
    Load(marking != nullptr ? marking : initial_.data(), time);
    Settle();
}

void Trajectory::Seed(unsigned long seed) {
    stream_->srnd(seed);
}

double Trajectory::Draw() {
    return stream_->rnd();
}

void Trajectory::CopyMarking(char* out) const {
    if (model_->StateSize() > 0)
        model_->CurrentState(out);
}

bool Trajectory::Advance(const ObservationPlan& plan, size_t& mark, size_t end, double weight,
                         double* observations, int node, double level) {
    UseRandoms use(&randoms_);
    const ObservationPlan::Mark* marks = plan.Marks().data();
    const ObservationPlan::Operation* operations = plan.Operations().data();
    end = std::min(end, plan.Marks().size());
    while (mark < end) {
        const double due = heap_.Empty() ? INFINITY : heap_.TopTime();
        for (; mark < end && marks[mark].time < due; mark++)
            for (int k = marks[mark].first; k < marks[mark].first + marks[mark].count; k++) {
                const ObservationPlan::Operation& o = operations[k];
                if (o.type == ObservationPlan::Operation::Read)
                    observations[o.column] += weight * rate_[static_cast<size_t>(o.node)];
            }
        if (mark == end)
            break;
        FireTimed(heap_.Top());
        if (rate_[static_cast<size_t>(node)] >= level)
            return true;
    }
    return false;
}

void Trajectory::FireTimed(int slot) {
    Timed& t = timed_[static_cast<size_t>(slot)];
    now_ = heap_.TimeOf(slot);
    events_++;
    BaseActionClass* a;
    int index;
    if (t.group == nullptr) {
        index = t.action;
        a = actions_[index];
    } else {
        // The case, by the cases' probabilities in the marking before the firing.
        BaseGroupClass* g = t.group;
        if (!g->SelectAction() || g->SelectedAction == nullptr)
            BadValue(t.timing, "no enabled case", 0.0, "an activity that completes needs one");
        double previous = 0.0;
        for (int k = 0; k < g->NumWeightEntries; k++) {
            const double w = g->WeightTable[k].CumulativeWeight - previous;
            previous = g->WeightTable[k].CumulativeWeight;
            if (!(w >= 0.0) || !std::isfinite(w))
                BadValue(g->WeightTable[k].Member, "case probability", w,
                         "a probability must be a finite number of at least 0");
        }
        if (t.cases)
            CheckCaseSum(g, previous);
        else if (!(previous > 0.0))
            BadValue(t.timing, "case probabilities adding up to", previous,
                     "they must add up to more than 0");
        a = g->SelectedAction;
        index = IndexOf(a);
        if (index < 0)
            throw gen::UserError(std::string("activity ") + t.timing->getName() +
                                 " chose a case that is not in the model's action list");
    }
    // The completed activity stays in the heap while its dependents are checked: it
    // is one of them, and samples anew (one move from the top) or leaves.
    firing_ = slot;
    a->Fire();
    if (t.group != nullptr)
        t.group->SelectedAction = nullptr;
    AfterFiring(index, a);
    if (firing_ >= 0) {
        firing_ = -1;
        heap_.Remove(slot);
        Recheck(slot);
    }
    Settle();
}

void Trajectory::AfterFiring(int action, BaseActionClass* a) {
    const Range im = impulseNodes_[static_cast<size_t>(action)];
    for (int k = im.begin; k < im.end; k++) {
        const int p = impulseList_[static_cast<size_t>(k)];
        nodes_[p]->CurrentReward(a);
        cumulative_[static_cast<size_t>(p)] += nodes_[p]->ImpulseValue;
    }
    const Range rn = rateNodes_[static_cast<size_t>(action)];
    for (int k = rn.begin; k < rn.end; k++) {
        const int p = rateList_[static_cast<size_t>(k)];
        if (!dirty_[static_cast<size_t>(p)]) {
            dirty_[static_cast<size_t>(p)] = 1;
            dirtyList_.push_back(p);
        }
    }
    const Range w = rateWatch_[static_cast<size_t>(action)];
    for (int k = w.begin; k < w.end; k++) {
        const int slot = rateWatchList_[static_cast<size_t>(k)];
        // One that is not scheduled now samples at its current rate when it is.
        if (!rateDue_[static_cast<size_t>(slot)] && heap_.Scheduled(slot)) {
            rateDue_[static_cast<size_t>(slot)] = 1;
            rateDueList_.push_back(slot);
        }
    }
    const Range d = dependents_[static_cast<size_t>(action)];
    for (int k = d.begin; k < d.end; k++) {
        const int x = dependentList_[static_cast<size_t>(k)];
        if (x >= 0)
            Recheck(x);
        else
            RecheckInstant(~x);
    }
    for (int s : reactivating_)
        if (heap_.Scheduled(s) && timed_[static_cast<size_t>(s)].timing->ReactivationPredicate())
            heap_.Update(s, now_ + Sample(s));
}

void Trajectory::Recheck(int slot) {
    const bool enabled = timed_[static_cast<size_t>(slot)].enabling->Enabled();
    if (slot == firing_) {
        firing_ = -1;
        if (enabled)
            heap_.Update(slot, now_ + Sample(slot));
        else
            heap_.Remove(slot);
        return;
    }
    const bool scheduled = heap_.Scheduled(slot);
    if (enabled && !scheduled)
        Schedule(slot);
    else if (!enabled && scheduled)
        heap_.Remove(slot); // aborted: a later enabling samples anew
}

void Trajectory::RecheckInstant(int j) {
    const char on = instant_[static_cast<size_t>(j)]->Enabled() ? 1 : 0;
    if (on != instantOn_[static_cast<size_t>(j)]) {
        instantOn_[static_cast<size_t>(j)] = on;
        instantCount_ += on ? 1 : -1;
    }
}

double Trajectory::Sample(int slot) {
    Timed& t = timed_[static_cast<size_t>(slot)];
    const double delay = t.timing->SampleDistribution();
    if (!(delay >= 0.0))
        BadValue(t.timing, "the sampled delay", delay,
                 "a delay must be a number of at least 0 (check the distribution's parameters)");
    if (t.exponential)
        t.rate = t.timing->Rate();
    return delay;
}

void Trajectory::Schedule(int slot) {
    heap_.Insert(slot, now_ + Sample(slot));
}

void Trajectory::ResolveInstantaneous() {
    uint64_t fired = 0;
    while (instantCount_ > 0) {
        if (++fired > kMaxInstantaneous) {
            std::ostringstream text;
            text << "more than " << kMaxInstantaneous << " instantaneous firings in a row at time "
                 << now_ << " without reaching a stable marking; the model may loop in zero time";
            throw gen::UserError(text.str());
        }
        int top = INT_MIN, count = 0;
        for (size_t j = 0; j < instant_.size(); j++) {
            if (!instantOn_[j])
                continue;
            const int rank = instant_[j]->Rank();
            if (rank > top) {
                top = rank;
                count = 0;
            }
            if (rank == top)
                candidates_[static_cast<size_t>(count++)] = static_cast<int>(j);
        }
        for (int k = 0; k < count; k++) {
            const BaseGroupClass* cases = instantCases_[static_cast<size_t>(candidates_[k])];
            if (cases == nullptr)
                continue;
            double total = 0.0;
            for (int m = 0; m < cases->NumMembers; m++)
                if (cases->Members[m]->Enabled())
                    total += cases->Members[m]->Weight();
            CheckCaseSum(cases, total);
        }
        int chosen = candidates_[0];
        if (count > 1) {
            double total = 0.0;
            for (int k = 0; k < count; k++) {
                BaseActionClass* a = instant_[static_cast<size_t>(candidates_[k])];
                const double w = a->Weight();
                if (!(w >= 0.0) || !std::isfinite(w))
                    BadValue(a, "weight", w, "a weight must be a finite number of at least 0");
                weights_[static_cast<size_t>(k)] = w;
                total += w;
            }
            if (!(total > 0.0) || !std::isfinite(total))
                throw gen::UserError("instantaneous activities enabled together have a total "
                                     "weight of 0; their probabilities are undefined");
            const double x = TheDistribution->generator->rnd() * total;
            double sum = 0.0;
            chosen = -1;
            for (int k = 0; k < count && chosen < 0; k++) {
                sum += weights_[static_cast<size_t>(k)];
                if (sum > x)
                    chosen = candidates_[k];
            }
            // Rounding left x at the total: the last one with a weight.
            for (int k = count - 1; chosen < 0; k--)
                if (weights_[static_cast<size_t>(k)] > 0.0)
                    chosen = candidates_[k];
        }
        BaseActionClass* a = instant_[static_cast<size_t>(chosen)];
        a->Fire();
        AfterFiring(instantAction_[static_cast<size_t>(chosen)], a);
    }
}

void Trajectory::FlushRewards() {
    for (int p : dirtyList_) {
        const size_t q = static_cast<size_t>(p);
        cumulative_[q] += rate_[q] * (now_ - last_[q]);
        last_[q] = now_;
        nodes_[p]->CurrentReward(nullptr);
        rate_[q] = nodes_[p]->RateValue;
        dirty_[q] = 0;
    }
    dirtyList_.clear();
}

void Trajectory::FollowRates() {
    for (int s : rateDueList_) {
        rateDue_[static_cast<size_t>(s)] = 0;
        if (!heap_.Scheduled(s))
            continue;
        Timed& t = timed_[static_cast<size_t>(s)];
        const double r = t.timing->Rate();
        if (r == t.rate)
            continue;
        if (!(r >= 0.0) || !std::isfinite(r))
            BadValue(t.timing, "rate", r, "a rate must be a finite number of at least 0");
        const double old = t.rate;
        const double due = heap_.TimeOf(s);
        if (r == 0.0) {
            t.rate = 0.0;
            heap_.Update(s, INFINITY);
        } else if (old == 0.0 || !std::isfinite(due)) {
            heap_.Update(s, now_ + Sample(s));
        } else {
            t.rate = r;
            heap_.Update(s, now_ + (due - now_) * (old / r));
        }
    }
    rateDueList_.clear();
}
