// The performance variables of a run, as the generator writes them to the type
// file (.pvtype):
//
//     Version:1
//     NumPV:<count>
//     then per variable:  Name:<name>  Type:<kind>  NumTimes:<m>  and m pairs
//                         Start:<time>  Stop:<time>
//
// The kind says what is measured of the variable's rate reward r:
//   0 instant of time      E[r(X_t)] at each time point t (a pair with Start = Stop)
//   1 interval of time     E[integral of r(X_s) ds over [Start, Stop]] per pair
//   2 time-averaged        that integral divided by Stop - Start (Start < Stop)
//   3 steady state         the long-run E[r]; its time points, if any, are ignored
//   4 until                the reward earned until the variable's condition first
//                          holds; no time points
//   5 reach                the probability that it ever holds; no time points
//   6 reach within         the probability that it holds by each time t (a pair with
//                          Start = Stop)
#pragma once

#include "common/MeasureKind.h"

#include <cstddef>
#include <string>
#include <vector>

class Measure {
  public:
    struct TimePoint {
        double start;
        double stop;
    };

    // Reads every variable; any fault is a UserError "<file>:<line>: <what>".
    static std::vector<Measure> ReadAll(const std::string& path);

    std::string name;
    MeasureKind kind = MeasureKind::InstantOfTime;
    std::vector<TimePoint> times;
};
