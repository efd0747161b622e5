#include "BaseClasses/ModelGroupClass.h"

#include "BaseClasses/StandardErrors.h"

#include <new>

void ModelGroupClass::CreateModelList(int n) {
    delete[] Models;
    Models = nullptr;
    NumModels = n;
    if (n <= 0)
        return;
    Models = new (std::nothrow) BaseModelClass*[n];
    if (Models == nullptr)
        MemoryAllocationError();
    for (int i = 0; i < n; i++)
        Models[i] = nullptr;
}

bool ModelGroupClass::IsDependentOnModel(BaseModelClass* m) const {
    for (int i = 0; i < NumModels; i++)
        if (Models[i] == m)
            return true;
    return false;
}
