#ifndef DETERMINISTICLIST_H
#define DETERMINISTICLIST_H

#include "generator/RateInfoType.h"

// The enabling states of deterministic activities, grouped by delay in order of
// first appearance of each delay. Delays are told apart by exact double equality.
// Room for 2 groups at construction, doubled when full.
class DeterministicList {
  public:
    int RateInfoSize;
    int RateInfoCapacity;
    RateInfoType* rateInfo;

    DeterministicList();
    virtual ~DeterministicList();
    DeterministicList(const DeterministicList&) = delete;
    DeterministicList& operator=(const DeterministicList&) = delete;

    // Appends n to the group of `delay`, opening a new group for a delay not seen
    // before. A state reported twice is listed twice.
    void insertEnablingState(int n, double delay);
    // Moves the groups (and their state arrays) into a new array of `capacity` groups.
    void increaseRateInfoSize(int capacity);
    // Text: the number of groups on a line, then each group (RateInfoType::writeStates).
    // Binary: the number of groups as 4 bytes, then each group.
    void writeEnablingStates(std::ostream& out, OutputFileType type);
    // Diagnostic dump on standard output between two lines of 35 dashes.
    void printEnablingStates();
};

#endif
