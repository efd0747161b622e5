#ifndef RATEINFOTYPE_H
#define RATEINFOTYPE_H

#include <fstream>

// File form selector of the write operations: 0 text, 1 binary.
enum OutputFileType { TextOutput = 0, BinaryOutput = 1 };

// One deterministic delay with the states that enable it, in insertion order.
//
// `states` starts with room for 10 and doubles when full. It is released by the
// destructor only while `ownsStates` is true: DeterministicList moves the array into
// a new object when it grows and clears the flag on the old one.
class RateInfoType {
  public:
    int numStates;
    int stateCapacity;
    double Value;
    int* states;
    bool ownsStates;

    RateInfoType();
    virtual ~RateInfoType();
    RateInfoType(const RateInfoType&) = delete;
    RateInfoType& operator=(const RateInfoType&) = delete;

    void insertState(int n);
    // Text: the delay as "%.10e" on its own line, each state number on its own line,
    // then "0". Binary: the delay as an 8-byte double, each state as 4 bytes, then
    // 2 zero bytes. The stream's formatting is left as it was.
    void writeStates(std::ostream& out, OutputFileType type);
    // Diagnostic dump on standard output between two lines of 35 dashes.
    void printStates();
    // The "Value = " line and one "[position] state" line per state.
    void printValueAndStates();
};

#endif
