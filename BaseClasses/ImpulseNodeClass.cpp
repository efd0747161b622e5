#include "BaseClasses/ImpulseNodeClass.h"

#include "BaseClasses/StandardErrors.h"

#include <cstdlib>
#include <cstring>

ImpulseNodeClass::ImpulseNodeClass()
    : ModelSlots(nullptr), ActionModel(nullptr), Name(nullptr), WorkerIndex(-1), ImpulseNumber(-1),
      NumModelSlots(0), PVID(-1), Value(0.0), ValueSquare(0.0), StartTime(0.0), StopTime(0.0) {}

// ModelSlots belongs to the generated class, which frees it in its own destructor.
ImpulseNodeClass::~ImpulseNodeClass() {
    free(Name);
}

void ImpulseNodeClass::DefineName(const char* name, int impulseNumber, int workerIndex) {
    char* copy = strdup(name != nullptr ? name : "");
    if (copy == nullptr)
        MemoryAllocationError();
    free(Name);
    Name = copy;
    ImpulseNumber = impulseNumber;
    WorkerIndex = workerIndex;
}
