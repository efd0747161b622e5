// A continuous-time Markov chain as the generator writes it to its state-space
// file (.arm): line 1 the file type 1, line 2 the number of states, then possibly a
// line of blanks (what is left of the room kept for the count), then per state in
// number order its number, for each destination the destination number and on the
// next line the summed rate, and a closing 0.
//
// States are numbered from 1 in the file and from 0 here; state 0 is the initial
// state. A transition of a state to itself changes nothing in a Markov chain and is
// left out. A negative rate is a deterministic firing, which no Markov chain
// solution can honour: reading refuses it.
#pragma once

#include "solver/RateMatrix.h"

#include <cstddef>
#include <string>
#include <vector>

class MarkovChain {
  public:
    // Reads the file; any fault is a UserError "<file>:<line>: <what>".
    static MarkovChain Read(const std::string& path);
    // Reads the binary form of the file (.armb, see common/ChainFormat.h), mapped into
    // memory; the same chain as Read() gives from the text form. Any fault is a
    // UserError "<file>: <what> (byte <offset>)".
    static MarkovChain ReadBinary(const std::string& path);

    size_t States() const { return exitRate.size(); }

    RateMatrix outgoing;          // rows are sources
    std::vector<double> exitRate; // the total rate out of each state
    size_t fileTransitions = 0;   // entries read, self-transitions included
};
