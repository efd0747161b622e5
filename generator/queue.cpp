#include "generator/queue.h"

#include "BaseClasses/ProcessEnd.h"
#include "BaseClasses/StandardErrors.h"

#include <cassert>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

namespace {

constexpr int kGrowthStep = 5000;

[[noreturn]] void RingAllocationError() {
    Fatal(std::cout, "Error out of memory\n");
}

} // namespace

Queue::Queue(unsigned long size)
    : capacity(kGrowthStep), stateSize(static_cast<uint32_t>(size)), front(1), rear(0), count(0),
      fillIndex(0), growth(1), slots(nullptr), lastDequeued(nullptr), retiredSlot(nullptr) {
    slots = NewRing(capacity);
}

Queue::~Queue() {
    for (int i = 0; i < capacity; i++)
        ReleaseSlot(slots[i]);
    delete[] slots;
    ReleaseSlot(retiredSlot);
}

state_struct** Queue::NewRing(int n) {
    state_struct** ring = new (std::nothrow) state_struct*[n];
    if (ring == nullptr)
        RingAllocationError();
    for (fillIndex = 0; fillIndex < n; fillIndex++) {
        state_struct* slot = new (std::nothrow) state_struct;
        char* buffer = new (std::nothrow) char[stateSize > 0 ? stateSize : 1]();
        if (slot == nullptr || buffer == nullptr)
            MemoryAllocationError();
        slot->state = buffer;
        slot->number = 0;
        ring[fillIndex] = slot;
    }
    return ring;
}

void Queue::ReleaseSlot(state_struct* slot) {
    if (slot == nullptr)
        return;
    delete[] slot->state;
    delete slot;
}

void Queue::Increment(int& index) {
    index++;
    if (index == capacity)
        index = 0;
}

void Queue::Enqueue(state_struct* s) {
    if (count == capacity) {
        MakeLarger(s);
        return;
    }
    count++;
    Increment(rear);
    state_struct* slot = slots[rear];
    if (slot == nullptr || slot->state == nullptr)
        Fatal(std::cerr, " Error: queue pointer is null...exiting \n"); // exact text
    std::memcpy(slot->state, s->state, stateSize);
    slot->number = s->number;
}

state_struct* Queue::Dequeue() {
    if (count == 0)
        return nullptr;
    state_struct* slot = slots[front];
    if (slot == nullptr) {
        std::cout << "warning, returning NULL" << std::endl;
        return nullptr;
    }
    count--;
    Increment(front);
    lastDequeued = slot;
    return slot;
}

void Queue::Make_Empty() {
    front = 1;
    rear = 0;
    count = 0;
}

void Queue::MakeLarger(state_struct* s) {
    growth++;
    const int newCapacity = growth * kGrowthStep;
    state_struct** ring = NewRing(newCapacity);

    // Move the held states, oldest first, into slots 1, 2, 3, ...
    int moved = 0;
    int from = front;
    for (int k = 0; k < count; k++) {
        state_struct* old = slots[from];
        if (old == nullptr) {
            std::cout << "warning, returning NULL" << std::endl;
            break;
        }
        state_struct* slot = ring[moved + 1];
        std::memcpy(slot->state, old->state, stateSize);
        slot->number = old->number;
        moved++;
        Increment(from);
    }

    // Release the old ring. The caller of the last Dequeue() may still read its slot,
    // so that one survives until the next growth or the destruction of the queue.
    if (retiredSlot != lastDequeued)
        ReleaseSlot(retiredSlot);
    retiredSlot = nullptr;
    for (int i = 0; i < capacity; i++) {
        if (slots[i] != nullptr && slots[i] == lastDequeued)
            retiredSlot = slots[i];
        else
            ReleaseSlot(slots[i]);
    }
    if (retiredSlot == nullptr && lastDequeued != nullptr)
        retiredSlot = lastDequeued; // already retired by an earlier growth
    delete[] slots;

    slots = ring;
    capacity = newCapacity;
    front = 1;
    rear = moved;
    count = moved;
    assert(count < capacity && "a grown ring has room for the new state");
    Enqueue(s);
}

void Queue::Print() {
    int i = front;
    for (int k = 0; k < count; k++) {
        const state_struct* slot = slots[i];
        for (uint32_t b = 0; b < stateSize; b++)
            std::cout << static_cast<int>(static_cast<signed char>(slot->state[b])) << " ";
        std::cout << std::endl;
        Increment(i);
    }
}
