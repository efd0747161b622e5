#include "simulator/EventHeap.h"

#include <cstddef>

EventHeap::EventHeap(int activities)
    : heap_(static_cast<std::size_t>(activities > 0 ? activities : 1)),
      position_(static_cast<std::size_t>(activities > 0 ? activities : 1), -1),
      time_(static_cast<std::size_t>(activities > 0 ? activities : 1), 0.0), size_(0) {}

void EventHeap::Clear() {
    for (int i = 0; i < size_; i++)
        position_[heap_[i]] = -1;
    size_ = 0;
}

void EventHeap::Insert(int a, double t) {
    time_[a] = t;
    Place(size_, a);
    Up(size_++);
}

void EventHeap::Update(int a, double t) {
    const double old = time_[a];
    time_[a] = t;
    if (t < old)
        Up(position_[a]);
    else
        Down(position_[a]);
}

void EventHeap::Remove(int a) {
    const int at = position_[a];
    position_[a] = -1;
    const int last = heap_[--size_];
    if (at == size_)
        return;
    Place(at, last);
    Up(at);
    Down(position_[last]);
}

int EventHeap::Pop() {
    const int a = heap_[0];
    position_[a] = -1;
    if (--size_ > 0) {
        Place(0, heap_[size_]);
        Down(0);
    }
    return a;
}

void EventHeap::Up(int at) {
    const int a = heap_[at];
    while (at > 0) {
        const int parent = (at - 1) / 2;
        if (!Before(a, heap_[parent]))
            break;
        Place(at, heap_[parent]);
        at = parent;
    }
    Place(at, a);
}

void EventHeap::Down(int at) {
    const int a = heap_[at];
    for (;;) {
        int child = 2 * at + 1;
        if (child >= size_)
            break;
        if (child + 1 < size_ && Before(heap_[child + 1], heap_[child]))
            child++;
        if (!Before(heap_[child], a))
            break;
        Place(at, heap_[child]);
        at = child;
    }
    Place(at, a);
}
