#include "tests/models/exp_model/exp_studyRangeStudy.h"

#include "tests/models/exp_model/exp_rewardPVModel.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

short start_tokens = 0;
short count_limit = 0;

BaseStudyClass* GlobalStudyPtr = nullptr;

BaseStudyClass* GenerateStudy() {
    if (GlobalStudyPtr == nullptr)
        GlobalStudyPtr = new exp_studyRangeStudy();
    return GlobalStudyPtr;
}

void DestructStudy() {
    delete GlobalStudyPtr;
    GlobalStudyPtr = nullptr;
}

exp_studyRangeStudy::exp_studyRangeStudy() {
    NumGVs = 2;
    NumExps = 3;

    GVNames = new char*[NumGVs];
    GVTypes = new char*[NumGVs];
    GVNames[0] = strdup("start_tokens");
    GVTypes[0] = strdup("short");
    GVNames[1] = strdup("count_limit");
    GVTypes[1] = strdup("short");

    start_tokensValues = new short[NumExps];
    count_limitValues = new short[NumExps];

    SetValues_start_tokens();
    SetValues_count_limit();
}

exp_studyRangeStudy::~exp_studyRangeStudy() {
    delete[] start_tokensValues;
    delete[] count_limitValues;
    delete CurrentPVModel;
}

void exp_studyRangeStudy::SetValues_start_tokens() {
    static const short values[3] = {1, 0, 0};
    for (int n = 0; n < 3; n++)
        start_tokensValues[n] = values[n];
}

void exp_studyRangeStudy::SetValues_count_limit() {
    static const short values[3] = {0, 0, 2345};
    for (int n = 0; n < 3; n++)
        count_limitValues[n] = values[n];
}

PVModel* exp_studyRangeStudy::GetPVModel(bool expandTimeArrays) {
    if (CurrentPVModel != nullptr)
        delete CurrentPVModel;
    CurrentPVModel = new exp_rewardPVModel(expandTimeArrays);
    return CurrentPVModel;
}

void exp_studyRangeStudy::SetGVs(int expNum) {
    start_tokens = start_tokensValues[expNum];
    count_limit = count_limitValues[expNum];
}

void exp_studyRangeStudy::PrintGlobalValues(int expNum) {
    if (NumGVs == 0) {
        std::cout << "There are no global variables." << std::endl;
        return;
    }

    SetGVs(expNum);

    std::cout << "The Global Variable values for experiment " << GetExpName(expNum)
              << " are:" << std::endl;
    std::cout << "start_tokens\tshort\t" << start_tokens << std::endl;
    std::cout << "count_limit\tshort\t" << count_limit << std::endl;
}

void* exp_studyRangeStudy::GetGVValue(char* TheGVName) {
    if (strcmp("start_tokens", TheGVName) == 0)
        return &start_tokens;
    else if (strcmp("count_limit", TheGVName) == 0)
        return &count_limit;
    else {
        std::cerr << "!! exp_studyRangeStudy::GetGVValue: Global Variable " << TheGVName
                  << " does not exist." << std::endl;
        return nullptr;
    }
}

void exp_studyRangeStudy::OverrideGVValue(char* TheGVName, void* value) {
    if (strcmp("start_tokens", TheGVName) == 0)
        start_tokens = *(short*)value;
    else if (strcmp("count_limit", TheGVName) == 0)
        count_limit = *(short*)value;
    else {
        std::cerr << "!! exp_studyRangeStudy::OverrideGVValue: Global Variable " << TheGVName
                  << " does not exist." << std::endl;
    }
}
