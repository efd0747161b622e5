#include "tests/models/deterlang_model/deterlang_studyRangeStudy.h"

#include "tests/models/deterlang_model/deterlang_rewardPVModel.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

double delay_value = 0;

BaseStudyClass* GlobalStudyPtr = nullptr;

BaseStudyClass* GenerateStudy() {
    if (GlobalStudyPtr == nullptr)
        GlobalStudyPtr = new deterlang_studyRangeStudy();
    return GlobalStudyPtr;
}

void DestructStudy() {
    delete GlobalStudyPtr;
    GlobalStudyPtr = nullptr;
}

deterlang_studyRangeStudy::deterlang_studyRangeStudy() {
    NumGVs = 1;
    NumExps = 1;

    GVNames = new char*[NumGVs];
    GVTypes = new char*[NumGVs];
    GVNames[0] = strdup("delay_value");
    GVTypes[0] = strdup("double");

    delay_valueValues = new double[NumExps];

    SetValues_delay_value();
}

deterlang_studyRangeStudy::~deterlang_studyRangeStudy() {
    delete[] delay_valueValues;
    delete CurrentPVModel;
}

void deterlang_studyRangeStudy::SetValues_delay_value() {
    static const double values[1] = {1.0};
    for (int n = 0; n < 1; n++)
        delay_valueValues[n] = values[n];
}

PVModel* deterlang_studyRangeStudy::GetPVModel(bool expandTimeArrays) {
    if (CurrentPVModel != nullptr)
        delete CurrentPVModel;
    CurrentPVModel = new deterlang_rewardPVModel(expandTimeArrays);
    return CurrentPVModel;
}

void deterlang_studyRangeStudy::SetGVs(int expNum) {
    delay_value = delay_valueValues[expNum];
}

void deterlang_studyRangeStudy::PrintGlobalValues(int expNum) {
    if (NumGVs == 0) {
        std::cout << "There are no global variables." << std::endl;
        return;
    }

    SetGVs(expNum);

    std::cout << "The Global Variable values for experiment " << GetExpName(expNum)
              << " are:" << std::endl;
    std::cout << "delay_value\tdouble\t" << delay_value << std::endl;
}

void* deterlang_studyRangeStudy::GetGVValue(char* TheGVName) {
    if (strcmp("delay_value", TheGVName) == 0)
        return &delay_value;
    else {
        std::cerr << "!! deterlang_studyRangeStudy::GetGVValue: Global Variable " << TheGVName
                  << " does not exist." << std::endl;
        return nullptr;
    }
}

void deterlang_studyRangeStudy::OverrideGVValue(char* TheGVName, void* value) {
    if (strcmp("delay_value", TheGVName) == 0)
        delay_value = *(double*)value;
    else {
        std::cerr << "!! deterlang_studyRangeStudy::OverrideGVValue: Global Variable " << TheGVName
                  << " does not exist." << std::endl;
    }
}
