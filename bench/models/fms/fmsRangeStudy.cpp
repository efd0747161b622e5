#include "fmsRangeStudy.h"

#include "fmsPVModel.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

short N = 0;

BaseStudyClass* GlobalStudyPtr = nullptr;

BaseStudyClass* GenerateStudy() {
    if (GlobalStudyPtr == nullptr)
        GlobalStudyPtr = new fmsRangeStudy();
    return GlobalStudyPtr;
}

void DestructStudy() {
    delete GlobalStudyPtr;
    GlobalStudyPtr = nullptr;
}

fmsRangeStudy::fmsRangeStudy() {
    NumGVs = 1;
    NumExps = 8;
    GVNames = new char*[NumGVs];
    GVTypes = new char*[NumGVs];
    GVNames[0] = strdup("N");
    GVTypes[0] = strdup("short");
    NValues = new short[NumExps];
    SetValues_N();
}

fmsRangeStudy::~fmsRangeStudy() {
    delete[] NValues;
    delete CurrentPVModel;
}

void fmsRangeStudy::SetValues_N() {
    for (int k = 0; k < NumExps; k++)
        NValues[k] = static_cast<short>(k + 1);
}

PVModel* fmsRangeStudy::GetPVModel(bool expandTimes) {
    delete CurrentPVModel;
    CurrentPVModel = new fmsPVModel(expandTimes);
    return CurrentPVModel;
}

void fmsRangeStudy::SetGVs(int experiment) {
    N = NValues[experiment];
}

void fmsRangeStudy::PrintGlobalValues(int experiment) {
    if (NumGVs == 0) {
        std::cout << "There are no global variables." << std::endl;
        return;
    }
    SetGVs(experiment);
    std::cout << "The Global Variable values for experiment " << GetExpName(experiment)
              << " are:" << std::endl;
    std::cout << "N\tshort\t" << N << std::endl;
}

void* fmsRangeStudy::GetGVValue(char* name) {
    if (strcmp("N", name) == 0)
        return &N;
    std::cerr << "!! fmsRangeStudy::GetGVValue: Global Variable " << name << " does not exist."
              << std::endl;
    return nullptr;
}

void fmsRangeStudy::OverrideGVValue(char* name, void* value) {
    if (strcmp("N", name) == 0) {
        N = *static_cast<short*>(value);
        return;
    }
    std::cerr << "!! fmsRangeStudy::OverrideGVValue: Global Variable " << name << " does not exist."
              << std::endl;
}
