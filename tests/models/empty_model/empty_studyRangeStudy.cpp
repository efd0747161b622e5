#include "tests/models/empty_model/empty_studyRangeStudy.h"

#include "tests/models/empty_model/empty_rewardPVModel.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

BaseStudyClass* GlobalStudyPtr = nullptr;

BaseStudyClass* GenerateStudy() {
    if (GlobalStudyPtr == nullptr)
        GlobalStudyPtr = new empty_studyRangeStudy();
    return GlobalStudyPtr;
}

void DestructStudy() {
    delete GlobalStudyPtr;
    GlobalStudyPtr = nullptr;
}

empty_studyRangeStudy::empty_studyRangeStudy() {
    NumGVs = 0;
    NumExps = 1;

    GVNames = new char*[NumGVs];
    GVTypes = new char*[NumGVs];
}

empty_studyRangeStudy::~empty_studyRangeStudy() {
    delete CurrentPVModel;
}

PVModel* empty_studyRangeStudy::GetPVModel(bool expandTimeArrays) {
    if (CurrentPVModel != nullptr)
        delete CurrentPVModel;
    CurrentPVModel = new empty_rewardPVModel(expandTimeArrays);
    return CurrentPVModel;
}

void empty_studyRangeStudy::SetGVs(int) {}

void empty_studyRangeStudy::PrintGlobalValues(int) {
    if (NumGVs == 0) {
        std::cout << "There are no global variables." << std::endl;
        return;
    }
}

void* empty_studyRangeStudy::GetGVValue(char* TheGVName) {
    std::cerr << "!! empty_studyRangeStudy::GetGVValue: Global Variable " << TheGVName
              << " does not exist." << std::endl;
    return nullptr;
}

void empty_studyRangeStudy::OverrideGVValue(char* TheGVName, void*) {
    std::cerr << "!! empty_studyRangeStudy::OverrideGVValue: Global Variable " << TheGVName
              << " does not exist." << std::endl;
}
