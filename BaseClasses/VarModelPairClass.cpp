#include "BaseClasses/VarModelPairClass.h"

#include "BaseClasses/StandardErrors.h"

#include <cstdlib>
#include <cstring>

namespace {
char* DuplicateOrDie(const char* s) {
    char* copy = strdup(s != nullptr ? s : "");
    if (copy == nullptr)
        MemoryAllocationError();
    return copy;
}
} // namespace

VarModelPairClass::~VarModelPairClass() {
    free(ModelName);
    free(VariableName);
}

void VarModelPairClass::SetPair(const char* variable, const char* model) {
    free(ModelName);
    free(VariableName);
    ModelName = DuplicateOrDie(model);
    VariableName = DuplicateOrDie(variable);
}
