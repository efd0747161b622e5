#ifndef STATE_STRUCT_H
#define STATE_STRUCT_H

#include <cstdint>

// A state vector buffer and its state number.
struct state_struct {
    char* state;
    uint32_t number;
};

#endif
