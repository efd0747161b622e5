// What is measured of a performance variable's rate reward r, numbered as the
// generator writes the kind into the type file (.pvtype) and as the framework
// numbers its reward types:
//   0 instant of time      E[r(X_t)] at each time point t
//   1 interval of time     E[integral of r(X_s) ds over [start, stop]] per interval
//   2 time-averaged        that integral divided by stop - start
//   3 steady state         the long-run E[r]
//   4 until                E[integral of r(X_s) ds over [0, T]] (impulses included),
//                          T the first time the variable's condition C holds;
//                          infinite when T is infinite with positive probability
//   5 reach                P(T < infinity)
//   6 reach within         P(T <= t) at each time point t
// Scoped: the framework has a class InstantOfTime, and solve one named SteadyState.
#pragma once

enum class MeasureKind {
    InstantOfTime = 0,
    IntervalOfTime = 1,
    TimeAveragedInterval = 2,
    SteadyState = 3,
    Until = 4,
    Reach = 5,
    ReachWithin = 6
};

// Whether the kind watches a condition on the marking (4 to 6).
inline bool WatchesCondition(MeasureKind kind) {
    return kind == MeasureKind::Until || kind == MeasureKind::Reach ||
           kind == MeasureKind::ReachWithin;
}

// The kind of that number; the number is one of 0 to 6.
inline MeasureKind MeasureKindOf(int number) {
    return static_cast<MeasureKind>(number);
}

// The word the result tables use for a kind.
const char* MeasureKindName(MeasureKind kind);
