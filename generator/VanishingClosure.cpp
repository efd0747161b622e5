#include "generator/VanishingClosure.h"

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/BaseModelClass.h"
#include "BaseClasses/PVModel.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "BaseClasses/ProcessEnd.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/TraceFileContainer.h"
#include "BaseClasses/state/BaseStateVariableClass.h"
#include "generator/StateSpaceGen.h"

#include <Eigen/SparseCore>
#include <Eigen/SparseLU>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iostream>
#include <set>
#include <sstream>

namespace {

// Markings of a trap listed in its message; the rest are counted.
const size_t TrapMarkingsShown = 8;

} // namespace

VanishingClosure::VanishingClosure(StateSpaceGen& generator, uint32_t theLimit)
    : gen(generator), limit(theLimit), size(static_cast<size_t>(generator.stateSize)),
      timedAction(nullptr) {
    const size_t n = generator.numInstantActions > 0 ? generator.numInstantActions : 1;
    enabled.resize(n);
    probe.resize(n);
    weights.resize(n);
    parent.resize(size);
    child.resize(size);
}

void VanishingClosure::Resolve(const BaseActionClass* timed) {
    if (gen.CollectEnabledInstant(probe.data()) == 0) {
        // Stable at once: the recursion's first level records it with p = 1.
        gen.ReachStable(1.0 * gen.currentRate);
        return;
    }
    timedAction = timed;
    Build(gen.nextState);
    Order();
    if (!cyclic && height[0] <= static_cast<uint32_t>(StateSpaceGen::MaxInstantDepth)) {
        Replay();
        return;
    }
    if (!cyclic) {
        Propagate();
    } else {
        CheckTraps();
        Solve();
    }
    EmitMerged();
}

// ---- Exploring the closure ----

void VanishingClosure::Build(const char* root) {
    vanishing.clear();
    nodes = 0;
    firstEdge.assign(1, 0);
    edges.clear();
    edgeImpulses.clear();
    stable.clear();
    stableParent.clear();
    stableAction.clear();
    Clear(vanishingTable);
    Clear(stableTable);
    AddVanishing(root);
    // Nodes are expanded in the order they are found, so each node's edges follow
    // those of the node before it.
    for (uint32_t v = 0; v < Nodes(); v++)
        Expand(v);
}

void VanishingClosure::Expand(uint32_t v) {
    // The store grows while the node is expanded: work from a copy.
    std::memcpy(parent.data(), Vanishing(v), size);
    gen.model->SetState(parent.data());
    int count = gen.CollectEnabledInstant(enabled.data());
    const bool single = count == 1;
    if (single)
        gen.CheckCases(enabled[0]);
    double total = 0.0;
    if (!single) {
        count = gen.CollectTopRank(enabled.data(), count);
        for (int i = 0; i < count; i++) {
            gen.CheckCases(enabled[static_cast<size_t>(i)]);
            const double w = enabled[static_cast<size_t>(i)]->Weight();
            gen.CheckWeight(enabled[static_cast<size_t>(i)], w);
            weights[static_cast<size_t>(i)] = w;
            total += w;
        }
        if (!(total > 0.0) || !std::isfinite(total))
            Fatal(std::cerr,
                  "Error: instantaneous activities enabled together have a total weight of "
                  "0; their probabilities are undefined.\n");
    }
    for (int i = 0; i < count; i++) {
        BaseActionClass* a = enabled[static_cast<size_t>(i)];
        if (i > 0)
            gen.model->SetState(parent.data());
        if (gen.Tracing(1))
            gen.trace->printFireAction(a, 0.0);
        gen.model->FireAction(child.data(), a);
        if (gen.impulses) {
            for (int p = 0; p < gen.model->NumPVs; p++) {
                const double v = gen.model->PVNodes[p]->ImpulseValue;
                if (!std::isfinite(v))
                    gen.BadImpulse(a, p, v);
                edgeImpulses.push_back(v);
            }
        }
        Edge e{None, false, single, single ? 1.0 : weights[static_cast<size_t>(i)] / total, a};
        e.target = Find(vanishingTable, vanishing, child.data());
        if (e.target == None) {
            if (gen.CollectEnabledInstant(probe.data()) == 0) {
                e.stable = true;
                e.target = AddStable(child.data(), v, a);
            } else {
                e.target = AddVanishing(child.data());
            }
        }
        edges.push_back(e);
    }
    firstEdge.push_back(static_cast<uint32_t>(edges.size()));
}

uint32_t VanishingClosure::AddVanishing(const char* marking) {
    const uint32_t index = nodes;
    if (index >= limit) {
        std::ostringstream text;
        text << "Error: the instantaneous firings after activity " << timedAction->getName()
             << " in state " << StateSpaceGen::firingNumber << " reach more than " << limit
             << " vanishing markings, the limit of -z; raise it with -z<limit>\n";
        Fatal(std::cerr, text.str());
    }
    vanishing.insert(vanishing.end(), marking, marking + size);
    nodes++;
    Insert(vanishingTable, vanishing, index);
    return index;
}

uint32_t VanishingClosure::AddStable(const char* marking, uint32_t parentNode,
                                     BaseActionClass* action) {
    uint32_t index = Find(stableTable, stable, marking);
    if (index != None)
        return index;
    index = static_cast<uint32_t>(stableParent.size());
    stable.insert(stable.end(), marking, marking + size);
    stableParent.push_back(parentNode);
    stableAction.push_back(action);
    Insert(stableTable, stable, index);
    return index;
}

// ---- The marking tables ----

uint64_t VanishingClosure::Hash(const char* marking) const {
    uint64_t h = 0xcbf29ce484222325ULL;
    for (size_t i = 0; i < size; i++) {
        h ^= static_cast<unsigned char>(marking[i]);
        h *= 0x100000001b3ULL;
    }
    return h ^ (h >> 29);
}

void VanishingClosure::Clear(Table& table) {
    table.used = 0;
    if (++table.stamp == 0) {
        // The stamps have wrapped: no old stamp may be taken for the new one.
        std::fill(table.stamps.begin(), table.stamps.end(), 0);
        table.stamp = 1;
    }
}

uint32_t VanishingClosure::Find(const Table& table, const std::vector<char>& store,
                                const char* marking) const {
    if (table.used == 0)
        return None;
    const size_t mask = table.slots.size() - 1;
    for (size_t s = Hash(marking) & mask;; s = (s + 1) & mask) {
        if (table.stamps[s] != table.stamp)
            return None;
        const uint32_t index = table.slots[s];
        if (std::memcmp(&store[static_cast<size_t>(index) * size], marking, size) == 0)
            return index;
    }
}

void VanishingClosure::Insert(Table& table, const std::vector<char>& store, uint32_t index) {
    if (2 * (static_cast<size_t>(table.used) + 1) > table.slots.size()) {
        // Grown to keep it at most half full; the markings already stored move over.
        const size_t capacity = std::max<size_t>(64, 2 * table.slots.size());
        table.slots.assign(capacity, 0);
        table.stamps.assign(capacity, 0);
        table.stamp = 1;
        const uint32_t kept = table.used;
        table.used = 0;
        for (uint32_t k = 0; k < kept && k != index; k++)
            Insert(table, store, k);
    }
    const size_t mask = table.slots.size() - 1;
    const char* marking = &store[static_cast<size_t>(index) * size];
    size_t s = Hash(marking) & mask;
    while (table.stamps[s] == table.stamp)
        s = (s + 1) & mask;
    table.stamps[s] = table.stamp;
    table.slots[s] = index;
    table.used++;
}

// ---- From the graph to probabilities ----

void VanishingClosure::Order() {
    const uint32_t n = Nodes();
    cyclic = false;
    postorder.clear();
    height.assign(n, 0);
    color.assign(n, 0);
    frames.clear();
    frames.push_back({0, firstEdge[0], 0.0});
    color[0] = 1;
    while (!frames.empty()) {
        Frame& f = frames.back();
        if (f.next == firstEdge[f.node + 1]) {
            const uint32_t v = f.node;
            uint32_t h = 0;
            for (uint32_t k = firstEdge[v]; k < firstEdge[v + 1]; k++)
                h = std::max(h, 1 + (edges[k].stable ? 0 : height[edges[k].target]));
            height[v] = h;
            color[v] = 2;
            postorder.push_back(v);
            frames.pop_back();
            continue;
        }
        const Edge& e = edges[f.next++];
        if (e.stable)
            continue;
        if (color[e.target] == 1) {
            cyclic = true;
            return;
        }
        if (color[e.target] == 0) {
            color[e.target] = 1;
            frames.push_back({e.target, firstEdge[e.target], 0.0});
        }
    }
}

void VanishingClosure::Replay() {
    // Depth first, each node's choices in order: the recursion's walk, with its
    // product of probabilities from the root down.
    frames.clear();
    frames.push_back({0, firstEdge[0], 1.0});
    while (!frames.empty()) {
        Frame& f = frames.back();
        if (f.next == firstEdge[f.node + 1]) {
            frames.pop_back();
            continue;
        }
        const uint32_t k = f.next++;
        const Edge& e = edges[k];
        const double p = e.single ? f.p : e.probability * f.p;
        if (gen.impulses)
            Earn(k, p * gen.currentRate);
        if (e.stable)
            Emit(f.node, e.action, p * gen.currentRate);
        else
            frames.push_back({e.target, firstEdge[e.target], p});
    }
}

void VanishingClosure::Propagate() {
    mass.assign(Nodes(), 0.0);
    stableMass.assign(stableParent.size(), 0.0);
    mass[0] = 1.0;
    for (auto it = postorder.rbegin(); it != postorder.rend(); ++it) {
        const uint32_t v = *it;
        for (uint32_t k = firstEdge[v]; k < firstEdge[v + 1]; k++) {
            const Edge& e = edges[k];
            const double m = e.single ? mass[v] : mass[v] * e.probability;
            (e.stable ? stableMass : mass)[e.target] += m;
            if (gen.impulses)
                Earn(k, m * gen.currentRate);
        }
    }
}

void VanishingClosure::Solve() {
    // Expected visits x of every vanishing marking: x = e_root + Q^T x, Q holding the
    // probabilities between vanishing markings. Each stable marking then gets the
    // visits of its predecessors times the probabilities of their edges into it.
    const uint32_t n = Nodes();
    std::vector<Eigen::Triplet<double>> entries;
    entries.reserve(edges.size() + n);
    for (uint32_t v = 0; v < n; v++) {
        entries.emplace_back(v, v, 1.0);
        for (uint32_t k = firstEdge[v]; k < firstEdge[v + 1]; k++)
            if (!edges[k].stable)
                entries.emplace_back(edges[k].target, v, -edges[k].probability);
    }
    Eigen::SparseMatrix<double> a(n, n);
    a.setFromTriplets(entries.begin(), entries.end());
    a.makeCompressed();
    Eigen::SparseLU<Eigen::SparseMatrix<double>> lu;
    lu.compute(a);
    Eigen::VectorXd root = Eigen::VectorXd::Zero(n);
    root[0] = 1.0;
    Eigen::VectorXd visits;
    if (lu.info() == Eigen::Success)
        visits = lu.solve(root);
    if (lu.info() != Eigen::Success || !visits.allFinite()) {
        std::ostringstream text;
        text << "Error: the exit probabilities of the vanishing markings after activity "
             << timedAction->getName() << " in state " << StateSpaceGen::firingNumber
             << " could not be computed\n";
        Fatal(std::cerr, text.str());
    }
    stableMass.assign(stableParent.size(), 0.0);
    for (uint32_t v = 0; v < n; v++)
        for (uint32_t k = firstEdge[v]; k < firstEdge[v + 1]; k++) {
            if (edges[k].stable)
                stableMass[edges[k].target] += visits[v] * edges[k].probability;
            // Every firing's impulse, once per expected visit of the marking it leaves.
            if (gen.impulses)
                Earn(k, visits[v] * edges[k].probability * gen.currentRate);
        }
}

void VanishingClosure::Earn(uint32_t k, double weight) {
    const size_t n = static_cast<size_t>(gen.model->NumPVs);
    const double* impulse = &edgeImpulses[static_cast<size_t>(k) * n];
    double* earned = gen.filling->impulse.data();
    for (size_t i = 0; i < n; i++)
        if (impulse[i] != 0.0)
            earned[i] += weight * impulse[i];
}

void VanishingClosure::CheckTraps() {
    // Strongly connected components of the edges that can be taken (probability
    // above 0), iteratively (Tarjan). One that no such edge leaves holds the chain in
    // zero time forever.
    const uint32_t n = Nodes();
    std::vector<uint32_t> index(n, None), low(n, 0), component(n, None), stack;
    std::vector<bool> onStack(n, false);
    uint32_t counter = 0, components = 0;
    std::vector<uint32_t> members;
    for (uint32_t r = 0; r < n; r++) {
        if (index[r] != None)
            continue;
        frames.clear();
        frames.push_back({r, firstEdge[r], 0.0});
        index[r] = low[r] = counter++;
        stack.push_back(r);
        onStack[r] = true;
        while (!frames.empty()) {
            Frame& f = frames.back();
            const uint32_t v = f.node;
            if (f.next < firstEdge[v + 1]) {
                const Edge& e = edges[f.next++];
                if (e.stable || !(e.probability > 0.0))
                    continue;
                const uint32_t w = e.target;
                if (index[w] == None) {
                    index[w] = low[w] = counter++;
                    stack.push_back(w);
                    onStack[w] = true;
                    frames.push_back({w, firstEdge[w], 0.0});
                } else if (onStack[w]) {
                    low[v] = std::min(low[v], index[w]);
                }
                continue;
            }
            frames.pop_back();
            if (!frames.empty())
                low[frames.back().node] = std::min(low[frames.back().node], low[v]);
            if (low[v] != index[v])
                continue;
            members.clear();
            uint32_t w;
            do {
                w = stack.back();
                stack.pop_back();
                onStack[w] = false;
                component[w] = components;
                members.push_back(w);
            } while (w != v);
            bool leaves = false;
            for (uint32_t m : members)
                for (uint32_t k = firstEdge[m]; k < firstEdge[m + 1] && !leaves; k++)
                    leaves = edges[k].probability > 0.0 &&
                             (edges[k].stable || component[edges[k].target] != components);
            if (!leaves) {
                std::sort(members.begin(), members.end());
                Trap(members);
            }
            components++;
        }
    }
}

void VanishingClosure::EmitMerged() {
    for (uint32_t s = 0; s < stableParent.size(); s++) {
        // Rounding may leave an unreachable marking a tiny negative share.
        if (!(stableMass[s] > 0.0))
            continue;
        Emit(stableParent[s], stableAction[s], stableMass[s] * gen.currentRate);
    }
}

void VanishingClosure::Emit(uint32_t parentNode, BaseActionClass* action, double value) {
    // Fired again from its vanishing predecessor, so that the model holds the
    // marking and the rewards of that firing when the generator records it.
    std::memcpy(parent.data(), Vanishing(parentNode), size);
    gen.model->SetState(parent.data());
    gen.model->FireAction(gen.nextState, action);
    gen.ReachStable(value);
}

// ---- Messages ----

std::string VanishingClosure::Describe(const char* m) {
    std::memcpy(parent.data(), m, size);
    gen.model->SetState(parent.data());
    std::vector<BaseModelClass*> pending{gen.model->TopModel};
    std::set<std::string> seen;
    std::string text = "{";
    while (!pending.empty()) {
        BaseModelClass* node = pending.back();
        pending.pop_back();
        if (node == nullptr)
            continue;
        if (SANModel* san = dynamic_cast<SANModel*>(node)) {
            auto add = [&](BaseStateVariableClass* place) {
                std::ostringstream value;
                place->printStateVal(&value);
                const std::string entry =
                    std::string(place->name != nullptr ? place->name : "?") + "=" + value.str();
                if (value.str() == "0" || !seen.insert(entry).second)
                    return;
                text += (text.size() > 1 ? ", " : "") + entry;
            };
            for (int i = 0; i < san->NumStateVariables - san->NumReadOnlyPlaces; i++)
                add(san->Places[i]);
            for (int i = 0; i < san->NumReadOnlyPlaces; i++)
                add(san->ReadOnlyPlaces[i]);
            continue;
        }
        // Children in their order: pushed last to first.
        for (int i = node->GetNumberOfChildren() - 1; i >= 0; i--)
            pending.push_back(node->GetChild(i));
    }
    return text + "}";
}

void VanishingClosure::Trap(const std::vector<uint32_t>& members) {
    std::vector<std::string> activities;
    for (uint32_t m : members)
        for (uint32_t k = firstEdge[m]; k < firstEdge[m + 1]; k++) {
            const Edge& e = edges[k];
            if (e.stable || !(e.probability > 0.0))
                continue;
            const std::string name = e.action->getName();
            if (std::find(activities.begin(), activities.end(), name) == activities.end())
                activities.push_back(name);
        }
    std::ostringstream text;
    text << "Error: timeless trap: after activity " << timedAction->getName() << " in state "
         << StateSpaceGen::firingNumber << " the instantaneous activities ";
    for (size_t i = 0; i < activities.size(); i++)
        text << (i > 0 ? ", " : "") << activities[i];
    text << " fire forever among the vanishing markings ";
    for (size_t i = 0; i < members.size() && i < TrapMarkingsShown; i++)
        text << (i > 0 ? ", " : "") << Describe(Vanishing(members[i]));
    if (members.size() > TrapMarkingsShown)
        text << " and " << members.size() - TrapMarkingsShown << " more";
    text << "; no stable marking can be reached from them\n";
    Fatal(std::cerr, text.str());
}
