#include "tests/models/inst_model/inst_studyRangeStudy.h"

#include "tests/models/inst_model/inst_rewardPVModel.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

short split_tokens = 0;
short chain_length = 0;
double left_weight = 0;
double right_weight = 0;
short left_rank = 0;
short right_rank = 0;
short merge = 0;
short back = 0;
short initial_vanish = 0;

BaseStudyClass* GlobalStudyPtr = nullptr;

BaseStudyClass* GenerateStudy() {
    if (GlobalStudyPtr == nullptr)
        GlobalStudyPtr = new inst_studyRangeStudy();
    return GlobalStudyPtr;
}

void DestructStudy() {
    delete GlobalStudyPtr;
    GlobalStudyPtr = nullptr;
}

inst_studyRangeStudy::inst_studyRangeStudy() {
    NumGVs = 9;
    NumExps = 9;

    GVNames = new char*[NumGVs];
    GVTypes = new char*[NumGVs];
    GVNames[0] = strdup("split_tokens");
    GVTypes[0] = strdup("short");
    GVNames[1] = strdup("chain_length");
    GVTypes[1] = strdup("short");
    GVNames[2] = strdup("left_weight");
    GVTypes[2] = strdup("double");
    GVNames[3] = strdup("right_weight");
    GVTypes[3] = strdup("double");
    GVNames[4] = strdup("left_rank");
    GVTypes[4] = strdup("short");
    GVNames[5] = strdup("right_rank");
    GVTypes[5] = strdup("short");
    GVNames[6] = strdup("merge");
    GVTypes[6] = strdup("short");
    GVNames[7] = strdup("back");
    GVTypes[7] = strdup("short");
    GVNames[8] = strdup("initial_vanish");
    GVTypes[8] = strdup("short");

    split_tokensValues = new short[NumExps];
    chain_lengthValues = new short[NumExps];
    left_weightValues = new double[NumExps];
    right_weightValues = new double[NumExps];
    left_rankValues = new short[NumExps];
    right_rankValues = new short[NumExps];
    mergeValues = new short[NumExps];
    backValues = new short[NumExps];
    initial_vanishValues = new short[NumExps];

    SetValues_split_tokens();
    SetValues_chain_length();
    SetValues_left_weight();
    SetValues_right_weight();
    SetValues_left_rank();
    SetValues_right_rank();
    SetValues_merge();
    SetValues_back();
    SetValues_initial_vanish();
}

inst_studyRangeStudy::~inst_studyRangeStudy() {
    delete[] split_tokensValues;
    delete[] chain_lengthValues;
    delete[] left_weightValues;
    delete[] right_weightValues;
    delete[] left_rankValues;
    delete[] right_rankValues;
    delete[] mergeValues;
    delete[] backValues;
    delete[] initial_vanishValues;
    delete CurrentPVModel;
}

void inst_studyRangeStudy::SetValues_split_tokens() {
    static const short values[9] = {1, 1, 1, 1, 1, 0, 0, 1, 1};
    for (int n = 0; n < 9; n++)
        split_tokensValues[n] = values[n];
}

void inst_studyRangeStudy::SetValues_chain_length() {
    static const short values[9] = {0, 0, 0, 0, 0, 23, 24, 0, 0};
    for (int n = 0; n < 9; n++)
        chain_lengthValues[n] = values[n];
}

void inst_studyRangeStudy::SetValues_left_weight() {
    static const double values[9] = {1, 1, 1, 1, 1, 1, 1, 1, 0};
    for (int n = 0; n < 9; n++)
        left_weightValues[n] = values[n];
}

void inst_studyRangeStudy::SetValues_right_weight() {
    static const double values[9] = {3, 3, 3, 3, 3, 3, 3, 3, 0};
    for (int n = 0; n < 9; n++)
        right_weightValues[n] = values[n];
}

void inst_studyRangeStudy::SetValues_left_rank() {
    static const short values[9] = {1, 1, 2, 1, 1, 1, 1, 1, 1};
    for (int n = 0; n < 9; n++)
        left_rankValues[n] = values[n];
}

void inst_studyRangeStudy::SetValues_right_rank() {
    static const short values[9] = {1, 2, 1, 1, 1, 1, 1, 1, 1};
    for (int n = 0; n < 9; n++)
        right_rankValues[n] = values[n];
}

void inst_studyRangeStudy::SetValues_merge() {
    static const short values[9] = {0, 0, 0, 1, 0, 0, 0, 0, 0};
    for (int n = 0; n < 9; n++)
        mergeValues[n] = values[n];
}

void inst_studyRangeStudy::SetValues_back() {
    static const short values[9] = {0, 0, 0, 0, 1, 0, 0, 0, 0};
    for (int n = 0; n < 9; n++)
        backValues[n] = values[n];
}

void inst_studyRangeStudy::SetValues_initial_vanish() {
    static const short values[9] = {0, 0, 0, 0, 0, 0, 0, 1, 0};
    for (int n = 0; n < 9; n++)
        initial_vanishValues[n] = values[n];
}

PVModel* inst_studyRangeStudy::GetPVModel(bool expandTimeArrays) {
    if (CurrentPVModel != nullptr)
        delete CurrentPVModel;
    CurrentPVModel = new inst_rewardPVModel(expandTimeArrays);
    return CurrentPVModel;
}

void inst_studyRangeStudy::SetGVs(int expNum) {
    split_tokens = split_tokensValues[expNum];
    chain_length = chain_lengthValues[expNum];
    left_weight = left_weightValues[expNum];
    right_weight = right_weightValues[expNum];
    left_rank = left_rankValues[expNum];
    right_rank = right_rankValues[expNum];
    merge = mergeValues[expNum];
    back = backValues[expNum];
    initial_vanish = initial_vanishValues[expNum];
}

void inst_studyRangeStudy::PrintGlobalValues(int expNum) {
    if (NumGVs == 0) {
        std::cout << "There are no global variables." << std::endl;
        return;
    }

    SetGVs(expNum);

    std::cout << "The Global Variable values for experiment " << GetExpName(expNum)
              << " are:" << std::endl;
    std::cout << "split_tokens\tshort\t" << split_tokens << std::endl;
    std::cout << "chain_length\tshort\t" << chain_length << std::endl;
    std::cout << "left_weight\tdouble\t" << left_weight << std::endl;
    std::cout << "right_weight\tdouble\t" << right_weight << std::endl;
    std::cout << "left_rank\tshort\t" << left_rank << std::endl;
    std::cout << "right_rank\tshort\t" << right_rank << std::endl;
    std::cout << "merge\tshort\t" << merge << std::endl;
    std::cout << "back\tshort\t" << back << std::endl;
    std::cout << "initial_vanish\tshort\t" << initial_vanish << std::endl;
}

void* inst_studyRangeStudy::GetGVValue(char* TheGVName) {
    if (strcmp("split_tokens", TheGVName) == 0)
        return &split_tokens;
    else if (strcmp("chain_length", TheGVName) == 0)
        return &chain_length;
    else if (strcmp("left_weight", TheGVName) == 0)
        return &left_weight;
    else if (strcmp("right_weight", TheGVName) == 0)
        return &right_weight;
    else if (strcmp("left_rank", TheGVName) == 0)
        return &left_rank;
    else if (strcmp("right_rank", TheGVName) == 0)
        return &right_rank;
    else if (strcmp("merge", TheGVName) == 0)
        return &merge;
    else if (strcmp("back", TheGVName) == 0)
        return &back;
    else if (strcmp("initial_vanish", TheGVName) == 0)
        return &initial_vanish;
    else {
        std::cerr << "!! inst_studyRangeStudy::GetGVValue: Global Variable " << TheGVName
                  << " does not exist." << std::endl;
        return nullptr;
    }
}

void inst_studyRangeStudy::OverrideGVValue(char* TheGVName, void* value) {
    if (strcmp("split_tokens", TheGVName) == 0)
        split_tokens = *(short*)value;
    else if (strcmp("chain_length", TheGVName) == 0)
        chain_length = *(short*)value;
    else if (strcmp("left_weight", TheGVName) == 0)
        left_weight = *(double*)value;
    else if (strcmp("right_weight", TheGVName) == 0)
        right_weight = *(double*)value;
    else if (strcmp("left_rank", TheGVName) == 0)
        left_rank = *(short*)value;
    else if (strcmp("right_rank", TheGVName) == 0)
        right_rank = *(short*)value;
    else if (strcmp("merge", TheGVName) == 0)
        merge = *(short*)value;
    else if (strcmp("back", TheGVName) == 0)
        back = *(short*)value;
    else if (strcmp("initial_vanish", TheGVName) == 0)
        initial_vanish = *(short*)value;
    else {
        std::cerr << "!! inst_studyRangeStudy::OverrideGVValue: Global Variable " << TheGVName
                  << " does not exist." << std::endl;
    }
}
