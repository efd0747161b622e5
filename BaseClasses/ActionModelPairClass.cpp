#include "BaseClasses/ActionModelPairClass.h"

#include "BaseClasses/StandardErrors.h"

#include <cstring>
#include <new>

namespace {
char* CopyOrDie(const char* s) {
    if (s == nullptr)
        s = "";
    char* copy = new (std::nothrow) char[std::strlen(s) + 1];
    if (copy == nullptr)
        MemoryAllocationError();
    std::strcpy(copy, s);
    return copy;
}
} // namespace

ActionModelPairClass::~ActionModelPairClass() {
    delete[] ModelName;
    delete[] ActionName;
}

void ActionModelPairClass::SetPair(const char* action, const char* model) {
    // Copy first: the caller may hand back one of our own names.
    char* newModel = CopyOrDie(model);
    char* newAction = CopyOrDie(action);
    delete[] ModelName;
    delete[] ActionName;
    ModelName = newModel;
    ActionName = newAction;
}
