#ifndef VANISHINGCLOSURE_H
#define VANISHINGCLOSURE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class BaseActionClass;
class StateSpaceGen;

// The instantaneous firings that follow one timed firing, resolved without
// recursion (gen -z). The vanishing markings reached are first explored breadth
// first into a graph of their own; each marking is stored once, so a closure costs
// memory in the number of its distinct vanishing markings, at most `limit` of them.
// Competition is resolved as the recursive resolution does it: a lone enabled
// instantaneous activity fires with probability 1, several are narrowed to the
// highest rank and chosen by weight.
//
// The graph is then turned into probabilities of reaching each stable marking:
// - without a cycle and no deeper than the recursive resolution goes, its paths are
//   walked in the very order and with the very products that recursion forms, so
//   that the state numbers and every summed rate are the same bytes;
// - without a cycle but deeper, the probabilities flow along a topological order;
// - with a cycle, the absorbing chain of the closure is solved; a set of vanishing
//   markings that cannot be left (a timeless trap) ends the run, naming them.
// Each stable marking is handed to the generator with the model holding it as its
// last firing left it, so that its rewards are the ones that firing earns.
//
// Used only by the thread that fires the model.
class VanishingClosure {
  public:
    VanishingClosure(StateSpaceGen& generator, uint32_t limit);
    VanishingClosure(const VanishingClosure&) = delete;
    VanishingClosure& operator=(const VanishingClosure&) = delete;

    // The model holds the marking that `timed` reached (also in the generator's
    // nextState), with the generator's currentRate; records every stable marking
    // reached from it. Leaves the model in any state.
    void Resolve(const BaseActionClass* timed);

  private:
    struct Edge {
        uint32_t target;         // a vanishing node, or a stable marking
        bool stable;             // which of the two `target` counts
        bool single;             // the only enabled activity: taken with no factor
        double probability;      // weight over total weight (1 when single)
        BaseActionClass* action; // the instantaneous activity fired
    };
    // Open addressing over the markings of one kind, cleared per closure in constant
    // time by a new stamp.
    struct Table {
        std::vector<uint32_t> slots;
        std::vector<uint32_t> stamps;
        uint32_t stamp = 0;
        uint32_t used = 0;
    };
    static constexpr uint32_t None = UINT32_MAX;

    StateSpaceGen& gen;
    const uint32_t limit;
    const size_t size;
    const BaseActionClass* timedAction;

    std::vector<char> vanishing; // the vanishing markings, node after node
    std::vector<uint32_t> firstEdge;
    std::vector<Edge> edges;
    Table vanishingTable;
    // When the model has impulse rewards: per edge, each variable's impulse earned
    // by its firing (edge k's at k times the number of variables).
    std::vector<double> edgeImpulses;

    std::vector<char> stable; // the stable markings, in order of discovery
    std::vector<uint32_t> stableParent;
    std::vector<BaseActionClass*> stableAction;
    std::vector<double> stableMass;
    Table stableTable;

    std::vector<BaseActionClass*> enabled;
    std::vector<BaseActionClass*> probe;
    std::vector<double> weights;
    std::vector<char> parent;
    std::vector<char> child;

    // Order(): a topological order (reverse of `postorder`) when acyclic, and the
    // most firings on any path from the first node.
    bool cyclic = false;
    std::vector<uint32_t> postorder;
    std::vector<uint32_t> height;
    std::vector<uint8_t> color;
    struct Frame {
        uint32_t node;
        uint32_t next;
        double p;
    };
    std::vector<Frame> frames;
    std::vector<double> mass;

    uint32_t nodes = 0; // vanishing markings stored
    uint32_t Nodes() const { return nodes; }
    const char* Vanishing(uint32_t v) const { return &vanishing[static_cast<size_t>(v) * size]; }

    void Build(const char* root);
    void Expand(uint32_t v);
    void Order();
    void Replay();
    void Propagate();
    void Solve();
    void CheckTraps();
    void EmitMerged();
    void Emit(uint32_t parentNode, BaseActionClass* action, double value);
    // Edge k is taken with `weight` (the timed rate times the probability of taking
    // it): its impulses are earned at that weight.
    void Earn(uint32_t k, double weight);

    uint32_t Find(const Table& table, const std::vector<char>& store, const char* marking) const;
    void Insert(Table& table, const std::vector<char>& store, uint32_t index);
    static void Clear(Table& table);
    uint32_t AddVanishing(const char* marking);
    uint32_t AddStable(const char* marking, uint32_t parentNode, BaseActionClass* action);
    uint64_t Hash(const char* marking) const;

    // The marking `m` as its non-zero places, {name=value, ...}.
    std::string Describe(const char* m);
    [[noreturn]] void Trap(const std::vector<uint32_t>& members);
};

#endif
