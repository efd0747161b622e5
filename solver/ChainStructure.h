// The strongly connected components of the states reachable from the initial
// state, and which of them are bottom components (no transition leaves them). A
// chain has a unique long-run distribution from its initial state only when
// exactly one bottom component is reachable; the states outside it are transient
// and have long-run probability 0. With several, the long run depends on which is
// entered (see Absorption).
//
// Most chains solved are irreducible, which two breadth-first searches show at the
// cost of one pass over each matrix: the states reachable from the initial state,
// and among them those from which it is reachable; when these are all, the reachable
// states are one component and nothing leaves it. Otherwise the components are
// found by Tarjan's algorithm with an explicit stack instead of recursion: the
// chains run to millions of states, and a path through them would be as deep as the
// call stack is not.
#pragma once

#include "solver/RateMatrix.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class ChainStructure {
  public:
    // `outgoing`: rows are sources, without transitions of a state to itself;
    // `incoming`: its transpose.
    static ChainStructure Analyse(const RateMatrix& outgoing, const RateMatrix& incoming);

    size_t reachable = 0;
    size_t components = 0;
    size_t bottomComponents = 0;
    // Reachable states without any transition out, each a bottom component of its own.
    size_t absorbingStates = 0;
    uint32_t firstAbsorbing = 0; // 0-based; valid when absorbingStates > 0
    // The sizes of the bottom components, in the order found (at most a few kept).
    std::vector<size_t> bottomSizes;
    // The states of the bottom component, ascending, when there is exactly one.
    std::vector<uint32_t> bottom;
    // The states of every bottom component, each ascending, the components in the
    // order found, when there are several (empty otherwise: see `bottom`); and the
    // reachable states in no bottom component (ascending), which the chain leaves for
    // good.
    std::vector<std::vector<uint32_t>> bottoms;
    std::vector<uint32_t> transient;
};
