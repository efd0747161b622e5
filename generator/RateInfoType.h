#ifndef RATEINFOTYPE_H
#define RATEINFOTYPE_H

#include <fstream>

// File form selector of the write operations: 0 text, 1 binary.
enum OutputFileType { TextOutput = 0, BinaryOutput = 1 };

// One deterministic delay with the states that enable it, in insertion order.
class RateInfoType {
  public:
    int numStates;
    int stateCapacity;
    double Value;
    int* states;
    bool ownsStates;

    RateInfoType();
    virtual ~RateInfoType();

    void insertState(int n);
    void writeStates(std::ostream& out, OutputFileType type);
    void printStates();
};

#endif
