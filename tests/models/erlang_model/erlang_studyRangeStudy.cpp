#include "tests/models/erlang_model/erlang_studyRangeStudy.h"

#include "tests/models/erlang_model/erlang_rewardPVModel.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

double repair_rate = 0;

BaseStudyClass* GlobalStudyPtr = nullptr;

BaseStudyClass* GenerateStudy() {
    if (GlobalStudyPtr == nullptr)
        GlobalStudyPtr = new erlang_studyRangeStudy();
    return GlobalStudyPtr;
}

void DestructStudy() {
    delete GlobalStudyPtr;
    GlobalStudyPtr = nullptr;
}

erlang_studyRangeStudy::erlang_studyRangeStudy() {
    NumGVs = 1;
    NumExps = 1;

    GVNames = new char*[NumGVs];
    GVTypes = new char*[NumGVs];
    GVNames[0] = strdup("repair_rate");
    GVTypes[0] = strdup("double");

    repair_rateValues = new double[NumExps];

    SetValues_repair_rate();
}

erlang_studyRangeStudy::~erlang_studyRangeStudy() {
    delete[] repair_rateValues;
    delete CurrentPVModel;
}

void erlang_studyRangeStudy::SetValues_repair_rate() {
    static const double values[1] = {4.0};
    for (int n = 0; n < 1; n++)
        repair_rateValues[n] = values[n];
}

PVModel* erlang_studyRangeStudy::GetPVModel(bool expandTimeArrays) {
    if (CurrentPVModel != nullptr)
        delete CurrentPVModel;
    CurrentPVModel = new erlang_rewardPVModel(expandTimeArrays);
    return CurrentPVModel;
}

void erlang_studyRangeStudy::SetGVs(int expNum) {
    repair_rate = repair_rateValues[expNum];
}

void erlang_studyRangeStudy::PrintGlobalValues(int expNum) {
    if (NumGVs == 0) {
        std::cout << "There are no global variables." << std::endl;
        return;
    }

    SetGVs(expNum);

    std::cout << "The Global Variable values for experiment " << GetExpName(expNum)
              << " are:" << std::endl;
    std::cout << "repair_rate\tdouble\t" << repair_rate << std::endl;
}

void* erlang_studyRangeStudy::GetGVValue(char* TheGVName) {
    if (strcmp("repair_rate", TheGVName) == 0)
        return &repair_rate;
    else {
        std::cerr << "!! erlang_studyRangeStudy::GetGVValue: Global Variable " << TheGVName
                  << " does not exist." << std::endl;
        return nullptr;
    }
}

void erlang_studyRangeStudy::OverrideGVValue(char* TheGVName, void* value) {
    if (strcmp("repair_rate", TheGVName) == 0)
        repair_rate = *(double*)value;
    else {
        std::cerr << "!! erlang_studyRangeStudy::OverrideGVValue: Global Variable " << TheGVName
                  << " does not exist." << std::endl;
    }
}
