#ifndef QUEUE_H
#define QUEUE_H

#include "generator/state_struct.h"

#include <cstdint>

// FIFO of numbered, unexplored states: a ring of preallocated slots, each owning a
// full copy of a state vector, grown linearly by 5000 slots when full. Enqueue copies
// bytes and never allocates while the ring has room.
//
// The held states are the `count` slots starting at `front`, going forward with
// wrap-around (an index that reaches `capacity` becomes 0); `rear` is the last of them.
//
// The slot returned by Dequeue() stays owned by the queue and is reused by a later
// Enqueue(): callers copy its bytes before enqueuing anything.
//
// Growth builds a fresh ring and releases the old slots, with one exception: the slot
// most recently returned by Dequeue() may still be read by its caller, so it is kept
// alive (as `retiredSlot`) until the next growth or the destruction of the queue.
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
    // Returns null when the queue is empty.
    state_struct* Dequeue();
    void Make_Empty();
    void Increment(int& index);
    // Grows the ring by 5000 slots, keeping FIFO order, then enqueues s.
    void MakeLarger(state_struct* s);
    void Print();

  private:
    // The slot handed out by the last Dequeue(), or null.
    state_struct* lastDequeued;
    // A slot of a former ring kept alive for the caller of the last Dequeue().
    state_struct* retiredSlot;

    // A ring of n slots, each with its own zero-filled buffer.
    state_struct** NewRing(int n);
    static void ReleaseSlot(state_struct* slot);
};

#endif
