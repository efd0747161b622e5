#ifndef DETERMINISTICLIST_H
#define DETERMINISTICLIST_H

#include "generator/RateInfoType.h"

// The enabling states of deterministic activities, grouped by delay in order of
// first appearance of each delay.
class DeterministicList {
  public:
    int RateInfoSize;
    int RateInfoCapacity;
    RateInfoType* rateInfo;

    DeterministicList();
    virtual ~DeterministicList();
    DeterministicList(const DeterministicList&) = delete;
    DeterministicList& operator=(const DeterministicList&) = delete;

    void insertEnablingState(int n, double delay);
    void increaseRateInfoSize(int capacity);
    void writeEnablingStates(std::ostream& out, OutputFileType type);
    void printEnablingStates();
};

#endif
