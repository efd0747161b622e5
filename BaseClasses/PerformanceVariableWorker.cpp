#include "BaseClasses/PerformanceVariableWorker.h"

#include "BaseClasses/StandardErrors.h"

#include <cstring>
#include <iostream>
#include <new>

PerformanceVariableWorker::PerformanceVariableWorker()
    : ModelSlots(nullptr), NumModelSlots(0), Reserved(0), Name(nullptr), WorkerIndex(-1), PVID(-1),
      Value(0.0), ValueSquare(0.0), Weight(0.0), StartTime(0.0), StopTime(0.0) {}

// Name is freed by the generated node before it deletes the worker; freeing it here
// as well would free it twice.
PerformanceVariableWorker::~PerformanceVariableWorker() {}

void PerformanceVariableWorker::CurrentReward() {
    std::cerr << "!! Calling PerformanceVariableWorker::CurrentReward()" << std::endl;
}

void PerformanceVariableWorker::Reset() {
    Value = 0.0;
    ValueSquare = 0.0;
}

void PerformanceVariableWorker::DefineName(const char* name, int i) {
    if (name == nullptr)
        name = "";
    char* copy = new (std::nothrow) char[std::strlen(name) + 1];
    if (copy == nullptr)
        MemoryAllocationError();
    std::strcpy(copy, name);
    delete[] Name;
    Name = copy;
    WorkerIndex = i;
}
