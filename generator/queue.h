#ifndef QUEUE_H
#define QUEUE_H

#include "generator/state_struct.h"

#include <cstdint>

// FIFO of numbered, unexplored states: a ring of preallocated slots, each owning a
// full copy of a state vector, grown linearly by 5000 slots when full. Enqueue copies
// bytes and never allocates while the ring has room.
//
// The slot returned by Dequeue() stays owned by the queue and is reused by a later
// Enqueue(): callers copy its bytes before enqueuing anything.
class Queue {
  public:
    int capacity;
    uint32_t stateSize;
    int front;
    int rear;
    int count;
    int fillIndex;
    short growth;
    state_struct** slots;

    explicit Queue(unsigned long stateSize);
    virtual ~Queue();
    Queue(const Queue&) = delete;
    Queue& operator=(const Queue&) = delete;

    void Enqueue(state_struct* s);
    state_struct* Dequeue();
    void Make_Empty();
    void Increment(int& index);
    void MakeLarger(state_struct* s);
    void Print();
};

#endif
