#ifndef INSTANTOFTIME_H
#define INSTANTOFTIME_H

#include "BaseClasses/PerformanceVariableWorker.h"

// Worker kind of instant-of-time performance variables (reward type 0).
class InstantOfTime : public PerformanceVariableWorker {
  public:
    void Accumulate(double now, double last) override;
    void CurrentReward() override;
};

#endif
