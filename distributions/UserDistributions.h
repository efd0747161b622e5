#ifndef USERDISTRIBUTIONS_H
#define USERDISTRIBUTIONS_H

#include "distributions/Distributions.h"

// Distributions with a chosen generator kind (1: Tausworthe, any other:
// LaggedFibonacci) and seed.
class UserDistributions : public Distributions {
  public:
    UserDistributions();
    UserDistributions(int kind, long seed);
};

// The process-wide random-variate object (LaggedFibonacci, seed 31415) and the
// pointer through which activities and groups reach it. The pointer is per thread, so
// that a program running models on several threads gives each its own stream; every
// thread starts on the process-wide object.
extern UserDistributions TheGenerator;
extern thread_local Distributions* TheDistribution;

#endif
