#include "BaseClasses/state/Place.h"

Place::Place() : Place("default", 0) {}

Place::Place(const char* name) : Place(name, 0) {}

Place::Place(const char* name, short initial) : SharableSV<short>(), Mark(nullptr) {
    SetName(name);
    // Mark is registered so that sharing redirects it with the storage cell.
    Mark = Value;
    addReference(&Mark, nullptr);
    *Mark = initial;
}

Place::~Place() {}
