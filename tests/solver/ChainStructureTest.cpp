// The partition of a chain's reachable states into bottom components and transient
// states, on small graphs drawn by hand, by both paths: the two searches that show an
// irreducible chain, and Tarjan's algorithm for the rest. Then the probabilities of
// entering each bottom component, against values worked by hand.
#include "solver/Absorption.h"
#include "solver/ChainStructure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Edge {
    uint32_t from, to; // 0-based
    double rate;
};

// Rows are sources, destinations ascending.
RateMatrix Outgoing(size_t states, std::vector<Edge> edges) {
    RateMatrix m;
    m.rowStart.assign(states + 1, 0);
    for (const Edge& e : edges)
        m.rowStart[e.from + 1]++;
    for (size_t s = 0; s < states; s++)
        m.rowStart[s + 1] += m.rowStart[s];
    m.column.resize(edges.size());
    m.rate.resize(edges.size());
    std::vector<uint64_t> next(m.rowStart.begin(), m.rowStart.end() - 1);
    std::stable_sort(edges.begin(), edges.end(),
                     [](const Edge& a, const Edge& b) { return a.to < b.to; });
    for (const Edge& e : edges) {
        m.column[next[e.from]] = e.to;
        m.rate[next[e.from]++] = e.rate;
    }
    return m;
}

std::vector<double> ExitRates(size_t states, const std::vector<Edge>& edges) {
    std::vector<double> exit(states, 0.0);
    for (const Edge& e : edges)
        exit[e.from] += e.rate;
    return exit;
}

struct Case {
    const char* what;
    size_t states;
    std::vector<Edge> edges;
    std::vector<std::vector<uint32_t>> bottoms; // in the order Tarjan's algorithm finds them
    std::vector<uint32_t> transient;
    std::vector<double> entered; // per bottom component
};

TEST(ChainStructureTest, BottomComponentsTransientStatesAndTheirEntryProbabilities) {
    const std::vector<Case> cases = {
        {"irreducible cycle", 3, {{0, 1, 1}, {1, 2, 1}, {2, 0, 1}}, {{0, 1, 2}}, {}, {1.0}},
        {"unreachable states are in no component",
         4,
         {{0, 1, 1}, {1, 0, 1}, {2, 3, 1}},
         {{0, 1}},
         {},
         {1.0}},
        {"a transient start, one bottom",
         3,
         {{0, 1, 5}, {1, 2, 1}, {2, 1, 1}},
         {{1, 2}},
         {0},
         {1.0}},
        {"two absorbing states, 1 : 3", 3, {{0, 1, 1}, {0, 2, 3}}, {{1}, {2}}, {0}, {0.25, 0.75}},
        // h0 = (h1 + 2 h2) / 3 with h2 = 1/2 and h1 = (h0 + 3) / 4: h0 = 7/11.
        {"worked by hand",
         6,
         {{0, 1, 1}, {0, 2, 2}, {1, 0, 1}, {1, 3, 3}, {2, 3, 1}, {2, 4, 1}, {4, 5, 2}, {5, 4, 1}},
         {{3}, {4, 5}},
         {0, 1, 2},
         {7.0 / 11.0, 4.0 / 11.0}},
        {"an initial state that is absorbing", 2, {{1, 0, 1}}, {{0}}, {}, {1.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RateMatrix out = Outgoing(c.states, c.edges);
        const RateMatrix in = out.Transposed();
        const ChainStructure s = ChainStructure::Analyse(out, in);
        EXPECT_EQ(c.bottoms.size(), s.bottomComponents);
        if (c.bottoms.size() == 1) {
            EXPECT_EQ(c.bottoms[0], s.bottom);
            EXPECT_TRUE(s.bottoms.empty());
        } else {
            EXPECT_EQ(c.bottoms, s.bottoms);
        }
        EXPECT_EQ(c.transient, s.transient);

        const std::vector<std::vector<uint32_t>> bottoms =
            s.bottomComponents == 1 ? std::vector<std::vector<uint32_t>>{s.bottom} : s.bottoms;
        const Absorption::Result a =
            Absorption::Solve(in, ExitRates(c.states, c.edges), s.transient, bottoms, 1e-12);
        EXPECT_TRUE(a.converged);
        ASSERT_EQ(c.entered.size(), a.probability.size());
        for (size_t k = 0; k < c.entered.size(); k++)
            EXPECT_NEAR(c.entered[k], a.probability[k], 1e-14) << "component " << k;
    }
}

} // namespace
