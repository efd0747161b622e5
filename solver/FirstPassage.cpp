#include "solver/FirstPassage.h"

#include "solver/Absorption.h"

namespace {

bool Holds(const std::vector<unsigned char>& condition, uint32_t j) {
    return !condition.empty() && condition[j] != 0;
}

// The states of the system: reachable from state 0 without entering C, outside C,
// and able to reach C, ascending; `escape` gets a reachable state outside C that
// cannot reach C, if there is one.
struct Transient {
    std::vector<uint32_t> states;
    std::vector<uint32_t> target; // the states of C
    bool escapes = false;
    uint32_t escape = 0;
};

Transient FindTransient(const RateMatrix& out, const RateMatrix& in,
                        const std::vector<unsigned char>& condition, size_t n) {
    Transient t;
    // Backwards from C: the states that can reach it.
    std::vector<unsigned char> reaches(n, 0);
    std::vector<uint32_t> stack;
    for (uint32_t j = 0; j < n; j++)
        if (Holds(condition, j)) {
            reaches[j] = 1;
            stack.push_back(j);
            t.target.push_back(j);
        }
    while (!stack.empty()) {
        const uint32_t j = stack.back();
        stack.pop_back();
        for (uint64_t k = in.rowStart[j]; k < in.rowStart[j + 1]; k++) {
            const uint32_t i = in.column[k];
            if (reaches[i] == 0) {
                reaches[i] = 1;
                stack.push_back(i);
            }
        }
    }
    // Forwards from state 0, stopping at C.
    std::vector<unsigned char> seen(n, 0);
    seen[0] = 1;
    stack.push_back(0);
    while (!stack.empty()) {
        const uint32_t i = stack.back();
        stack.pop_back();
        if (Holds(condition, i))
            continue;
        if (reaches[i] == 0) {
            if (!t.escapes || i < t.escape)
                t.escape = i;
            t.escapes = true;
        }
        for (uint64_t k = out.rowStart[i]; k < out.rowStart[i + 1]; k++) {
            const uint32_t j = out.column[k];
            if (seen[j] == 0) {
                seen[j] = 1;
                stack.push_back(j);
            }
        }
    }
    for (uint32_t j = 0; j < n; j++)
        if (seen[j] != 0 && reaches[j] != 0 && !Holds(condition, j))
            t.states.push_back(j);
    return t;
}

} // namespace

FirstPassage::Result FirstPassage::Until(const RateMatrix& outgoing, const RateMatrix& incoming,
                                         const std::vector<double>& exitRate,
                                         const std::vector<unsigned char>& condition,
                                         const std::vector<double>& reward, double target) {
    Result r;
    const size_t n = exitRate.size();
    if (n == 0)
        return r;
    if (Holds(condition, 0)) {
        // Nothing is earned before an event that has happened at the start.
        r.certain = true;
        r.method = "none needed";
        return r;
    }
    const Transient t = FindTransient(outgoing, incoming, condition, n);
    if (t.escapes) {
        r.escape = t.escape;
        return r;
    }
    r.certain = true;
    const Absorption::Result a =
        Absorption::Solve(incoming, exitRate, t.states, {t.target}, target);
    r.residual = a.residual;
    r.converged = a.converged;
    r.method = a.method;
    for (size_t k = 0; k < t.states.size(); k++)
        r.value += a.time[k] * reward[t.states[k]];
    return r;
}

FirstPassage::Result FirstPassage::Reach(const RateMatrix& outgoing, const RateMatrix& incoming,
                                         const std::vector<double>& exitRate,
                                         const std::vector<unsigned char>& condition,
                                         double target) {
    Result r;
    const size_t n = exitRate.size();
    if (n == 0)
        return r;
    if (Holds(condition, 0)) {
        r.certain = true;
        r.value = 1.0;
        r.method = "none needed";
        return r;
    }
    const Transient t = FindTransient(outgoing, incoming, condition, n);
    r.certain = !t.escapes;
    r.escape = t.escape;
    if (t.states.empty() || t.states[0] != 0) {
        // State 0 cannot reach C.
        r.method = "none needed";
        return r;
    }
    if (r.certain) {
        // Every path from state 0 ends in C; the system would only confirm it.
        r.value = 1.0;
        r.method = "none needed (every path reaches the condition)";
        return r;
    }
    const Absorption::Result a =
        Absorption::Solve(incoming, exitRate, t.states, {t.target}, target);
    r.residual = a.residual;
    r.converged = a.converged;
    r.method = a.method;
    r.value = a.probability[0];
    return r;
}

void FirstPassage::Absorbing(const RateMatrix& incoming, const std::vector<double>& exitRate,
                             const std::vector<unsigned char>& condition, RateMatrix& in,
                             std::vector<double>& exit) {
    in = RateMatrix();
    exit = exitRate;
    const size_t n = incoming.Rows();
    in.rowStart.reserve(n + 1);
    in.rowStart.push_back(0);
    in.rateTable = incoming.rateTable;
    for (size_t j = 0; j < n; j++) {
        for (uint64_t k = incoming.rowStart[j]; k < incoming.rowStart[j + 1]; k++) {
            if (Holds(condition, incoming.column[k]))
                continue;
            in.column.push_back(incoming.column[k]);
            if (incoming.Compact())
                in.rateIndex.push_back(incoming.rateIndex[k]);
            else
                in.rate.push_back(incoming.rate[k]);
        }
        in.rowStart.push_back(in.column.size());
    }
    for (size_t j = 0; j < exit.size(); j++)
        if (Holds(condition, static_cast<uint32_t>(j)))
            exit[j] = 0.0;
}
