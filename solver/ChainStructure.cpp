#include "solver/ChainStructure.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
constexpr size_t kSizesKept = 8;

// Adds to `seen` (a flag per state) the states found from `from` along the rows of
// `m` without passing through the states already in it, and returns how many it
// added.
size_t Search(const RateMatrix& m, uint32_t from, std::vector<char>& seen) {
    const uint64_t* start = m.rowStart.data();
    const uint32_t* column = m.column.data();
    char* found = seen.data();
    std::vector<uint32_t> queue;
    queue.push_back(from);
    found[from] = 1;
    for (size_t head = 0; head < queue.size(); head++) {
        const uint32_t v = queue[head];
        for (uint64_t k = start[v]; k < start[v + 1]; k++) {
            const uint32_t w = column[k];
            if (found[w])
                continue;
            found[w] = 1;
            queue.push_back(w);
        }
    }
    return queue.size();
}

// The components by Tarjan's algorithm.
ChainStructure Components(const RateMatrix& out) {
    ChainStructure r;
    const size_t n = out.Rows();
    std::vector<uint32_t> index(n, kNone), low(n, 0), component(n, kNone);
    std::vector<uint32_t> stack; // Tarjan's stack of states not yet in a component
    std::vector<char> onStack(n, 0);
    // The explicit call stack: a state and the position of its next transition.
    std::vector<std::pair<uint32_t, uint64_t>> calls;
    uint32_t counter = 0, components = 0;

    auto visit = [&](uint32_t v) {
        index[v] = low[v] = counter++;
        stack.push_back(v);
        onStack[v] = 1;
        calls.emplace_back(v, out.rowStart[v]);
    };
    visit(0);
    while (!calls.empty()) {
        const uint32_t v = calls.back().first;
        uint64_t& pos = calls.back().second;
        if (pos < out.rowStart[v + 1]) {
            const uint32_t w = out.column[pos++];
            if (index[w] == kNone)
                visit(w); // `pos` is not used after this
            else if (onStack[w])
                low[v] = std::min(low[v], index[w]);
            continue;
        }
        if (low[v] == index[v]) {
            uint32_t w;
            do {
                w = stack.back();
                stack.pop_back();
                onStack[w] = 0;
                component[w] = components;
            } while (w != v);
            components++;
        }
        calls.pop_back();
        if (!calls.empty()) {
            const uint32_t u = calls.back().first;
            low[u] = std::min(low[u], low[v]);
        }
    }
    r.reachable = counter;
    r.components = components;

    std::vector<char> leaves(components, 0);
    std::vector<size_t> size(components, 0);
    for (size_t v = 0; v < n; v++) {
        const uint32_t c = component[v];
        if (c == kNone)
            continue;
        size[c]++;
        if (out.rowStart[v] == out.rowStart[v + 1] && r.absorbingStates++ == 0)
            r.firstAbsorbing = static_cast<uint32_t>(v);
        for (uint64_t k = out.rowStart[v]; k < out.rowStart[v + 1]; k++)
            if (component[out.column[k]] != c)
                leaves[c] = 1;
    }
    // Bottom components by number, in the order found.
    std::vector<uint32_t> bottomIndex(components, kNone);
    for (uint32_t c = 0; c < components; c++) {
        if (leaves[c])
            continue;
        bottomIndex[c] = static_cast<uint32_t>(r.bottomComponents++);
        if (r.bottomSizes.size() < kSizesKept)
            r.bottomSizes.push_back(size[c]);
        r.bottoms.emplace_back();
        r.bottoms.back().reserve(size[c]);
    }
    for (size_t v = 0; v < n; v++) {
        const uint32_t c = component[v];
        if (c == kNone)
            continue;
        if (bottomIndex[c] == kNone)
            r.transient.push_back(static_cast<uint32_t>(v));
        else
            r.bottoms[bottomIndex[c]].push_back(static_cast<uint32_t>(v));
    }
    if (r.bottomComponents == 1) {
        r.bottom.swap(r.bottoms[0]);
        r.bottoms.clear();
    }
    return r;
}

} // namespace

ChainStructure ChainStructure::Analyse(const RateMatrix& out, const RateMatrix& in) {
    const size_t n = out.Rows();
    if (n == 0)
        return ChainStructure();
    std::vector<char> reached(n, 0);
    const size_t reachable = Search(out, 0, reached);
    // Back from the initial state through the reachable states, the others left out
    // as if found already.
    std::vector<char> back(n);
    for (size_t v = 0; v < n; v++)
        back[v] = !reached[v];
    if (Search(in, 0, back) != reachable)
        return Components(out);
    ChainStructure r;
    r.reachable = reachable;
    r.components = 1;
    r.bottomComponents = 1;
    r.bottomSizes.push_back(reachable);
    // The initial state alone is reachable when it has no transition out.
    if (reachable == 1) {
        r.absorbingStates = 1;
        r.firstAbsorbing = 0;
    }
    r.bottom.reserve(reachable);
    for (size_t v = 0; v < n; v++)
        if (reached[v])
            r.bottom.push_back(static_cast<uint32_t>(v));
    return r;
}
