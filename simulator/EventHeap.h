// The scheduled completions of the timed activities: a binary min-heap of
// (time, activity) with each activity's position kept, so that an activity's
// completion can be moved or cancelled in O(log n). Ties in time go to the
// activity with the smaller number, which is its place in the model's action list.
// All storage is allocated once, for every activity of the model.
#pragma once

#include <vector>

class EventHeap {
  public:
    explicit EventHeap(int activities = 0);

    void Clear();
    bool Empty() const { return size_ == 0; }
    int Top() const { return heap_[0]; }
    double TopTime() const { return time_[heap_[0]]; }
    bool Scheduled(int a) const { return position_[a] >= 0; }
    double TimeOf(int a) const { return time_[a]; }

    // Schedules `a`, which must not be scheduled, at `t`.
    void Insert(int a, double t);
    // Moves the scheduled `a` to `t`.
    void Update(int a, double t);
    // Cancels the scheduled `a`.
    void Remove(int a);
    // Removes and returns the earliest.
    int Pop();

  private:
    bool Before(int a, int b) const {
        return time_[a] < time_[b] || (time_[a] == time_[b] && a < b);
    }
    void Up(int at);
    void Down(int at);
    void Place(int at, int a) {
        heap_[at] = a;
        position_[a] = at;
    }

    std::vector<int> heap_;
    std::vector<int> position_; // -1: not scheduled
    std::vector<double> time_;
    int size_;
};
