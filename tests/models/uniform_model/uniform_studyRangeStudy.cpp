#include "tests/models/uniform_model/uniform_studyRangeStudy.h"

#include "tests/models/uniform_model/uniform_rewardPVModel.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

double lower_bound = 0;

BaseStudyClass* GlobalStudyPtr = nullptr;

BaseStudyClass* GenerateStudy() {
    if (GlobalStudyPtr == nullptr)
        GlobalStudyPtr = new uniform_studyRangeStudy();
    return GlobalStudyPtr;
}

void DestructStudy() {
    delete GlobalStudyPtr;
    GlobalStudyPtr = nullptr;
}

uniform_studyRangeStudy::uniform_studyRangeStudy() {
    NumGVs = 1;
    NumExps = 1;

    GVNames = new char*[NumGVs];
    GVTypes = new char*[NumGVs];
    GVNames[0] = strdup("lower_bound");
    GVTypes[0] = strdup("double");

    lower_boundValues = new double[NumExps];

    SetValues_lower_bound();
}

uniform_studyRangeStudy::~uniform_studyRangeStudy() {
    delete[] lower_boundValues;
    delete CurrentPVModel;
}

void uniform_studyRangeStudy::SetValues_lower_bound() {
    static const double values[1] = {1.0};
    for (int n = 0; n < 1; n++)
        lower_boundValues[n] = values[n];
}

PVModel* uniform_studyRangeStudy::GetPVModel(bool expandTimeArrays) {
    if (CurrentPVModel != nullptr)
        delete CurrentPVModel;
    CurrentPVModel = new uniform_rewardPVModel(expandTimeArrays);
    return CurrentPVModel;
}

void uniform_studyRangeStudy::SetGVs(int expNum) {
    lower_bound = lower_boundValues[expNum];
}

void uniform_studyRangeStudy::PrintGlobalValues(int expNum) {
    if (NumGVs == 0) {
        std::cout << "There are no global variables." << std::endl;
        return;
    }

    SetGVs(expNum);

    std::cout << "The Global Variable values for experiment " << GetExpName(expNum)
              << " are:" << std::endl;
    std::cout << "lower_bound\tdouble\t" << lower_bound << std::endl;
}

void* uniform_studyRangeStudy::GetGVValue(char* TheGVName) {
    if (strcmp("lower_bound", TheGVName) == 0)
        return &lower_bound;
    else {
        std::cerr << "!! uniform_studyRangeStudy::GetGVValue: Global Variable " << TheGVName
                  << " does not exist." << std::endl;
        return nullptr;
    }
}

void uniform_studyRangeStudy::OverrideGVValue(char* TheGVName, void* value) {
    if (strcmp("lower_bound", TheGVName) == 0)
        lower_bound = *(double*)value;
    else {
        std::cerr << "!! uniform_studyRangeStudy::OverrideGVValue: Global Variable " << TheGVName
                  << " does not exist." << std::endl;
    }
}
