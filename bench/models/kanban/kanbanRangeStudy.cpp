#include "kanbanRangeStudy.h"

#include "kanbanPVModel.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

short N = 0;

BaseStudyClass* GlobalStudyPtr = nullptr;

BaseStudyClass* GenerateStudy() {
    if (GlobalStudyPtr == nullptr)
        GlobalStudyPtr = new kanbanRangeStudy();
    return GlobalStudyPtr;
}

void DestructStudy() {
    delete GlobalStudyPtr;
    GlobalStudyPtr = nullptr;
}

kanbanRangeStudy::kanbanRangeStudy() {
    NumGVs = 1;
    NumExps = 6;
    GVNames = new char*[NumGVs];
    GVTypes = new char*[NumGVs];
    GVNames[0] = strdup("N");
    GVTypes[0] = strdup("short");
    NValues = new short[NumExps];
    SetValues_N();
}

kanbanRangeStudy::~kanbanRangeStudy() {
    delete[] NValues;
    delete CurrentPVModel;
}

void kanbanRangeStudy::SetValues_N() {
    for (int k = 0; k < NumExps; k++)
        NValues[k] = static_cast<short>(k + 1);
}

PVModel* kanbanRangeStudy::GetPVModel(bool expandTimes) {
    delete CurrentPVModel;
    CurrentPVModel = new kanbanPVModel(expandTimes);
    return CurrentPVModel;
}

void kanbanRangeStudy::SetGVs(int experiment) {
    N = NValues[experiment];
}

void kanbanRangeStudy::PrintGlobalValues(int experiment) {
    if (NumGVs == 0) {
        std::cout << "There are no global variables." << std::endl;
        return;
    }
    SetGVs(experiment);
    std::cout << "The Global Variable values for experiment " << GetExpName(experiment)
              << " are:" << std::endl;
    std::cout << "N\tshort\t" << N << std::endl;
}

void* kanbanRangeStudy::GetGVValue(char* name) {
    if (strcmp("N", name) == 0)
        return &N;
    std::cerr << "!! kanbanRangeStudy::GetGVValue: Global Variable " << name << " does not exist."
              << std::endl;
    return nullptr;
}

void kanbanRangeStudy::OverrideGVValue(char* name, void* value) {
    if (strcmp("N", name) == 0) {
        N = *static_cast<short*>(value);
        return;
    }
    std::cerr << "!! kanbanRangeStudy::OverrideGVValue: Global Variable " << name
              << " does not exist." << std::endl;
}
