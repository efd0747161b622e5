#include "tests/models/det_model/det_studyRangeStudy.h"

#include "tests/models/det_model/det_rewardPVModel.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

short use_slow = 0;
double second_delay = 0;

BaseStudyClass* GlobalStudyPtr = nullptr;

BaseStudyClass* GenerateStudy() {
    if (GlobalStudyPtr == nullptr)
        GlobalStudyPtr = new det_studyRangeStudy();
    return GlobalStudyPtr;
}

void DestructStudy() {
    delete GlobalStudyPtr;
    GlobalStudyPtr = nullptr;
}

det_studyRangeStudy::det_studyRangeStudy() {
    NumGVs = 2;
    NumExps = 3;

    GVNames = new char*[NumGVs];
    GVTypes = new char*[NumGVs];
    GVNames[0] = strdup("use_slow");
    GVTypes[0] = strdup("short");
    GVNames[1] = strdup("second_delay");
    GVTypes[1] = strdup("double");

    use_slowValues = new short[NumExps];
    second_delayValues = new double[NumExps];

    SetValues_use_slow();
    SetValues_second_delay();
}

det_studyRangeStudy::~det_studyRangeStudy() {
    delete[] use_slowValues;
    delete[] second_delayValues;
    delete CurrentPVModel;
}

void det_studyRangeStudy::SetValues_use_slow() {
    static const short values[3] = {0, 1, 1};
    for (int n = 0; n < 3; n++)
        use_slowValues[n] = values[n];
}

void det_studyRangeStudy::SetValues_second_delay() {
    static const double values[3] = {0.5, 0.5, 0.00347};
    for (int n = 0; n < 3; n++)
        second_delayValues[n] = values[n];
}

PVModel* det_studyRangeStudy::GetPVModel(bool expandTimeArrays) {
    if (CurrentPVModel != nullptr)
        delete CurrentPVModel;
    CurrentPVModel = new det_rewardPVModel(expandTimeArrays);
    return CurrentPVModel;
}

void det_studyRangeStudy::SetGVs(int expNum) {
    use_slow = use_slowValues[expNum];
    second_delay = second_delayValues[expNum];
}

void det_studyRangeStudy::PrintGlobalValues(int expNum) {
    if (NumGVs == 0) {
        std::cout << "There are no global variables." << std::endl;
        return;
    }

    SetGVs(expNum);

    std::cout << "The Global Variable values for experiment " << GetExpName(expNum)
              << " are:" << std::endl;
    std::cout << "use_slow\tshort\t" << use_slow << std::endl;
    std::cout << "second_delay\tdouble\t" << second_delay << std::endl;
}

void* det_studyRangeStudy::GetGVValue(char* TheGVName) {
    if (strcmp("use_slow", TheGVName) == 0)
        return &use_slow;
    else if (strcmp("second_delay", TheGVName) == 0)
        return &second_delay;
    else {
        std::cerr << "!! det_studyRangeStudy::GetGVValue: Global Variable " << TheGVName
                  << " does not exist." << std::endl;
        return nullptr;
    }
}

void det_studyRangeStudy::OverrideGVValue(char* TheGVName, void* value) {
    if (strcmp("use_slow", TheGVName) == 0)
        use_slow = *(short*)value;
    else if (strcmp("second_delay", TheGVName) == 0)
        second_delay = *(double*)value;
    else {
        std::cerr << "!! det_studyRangeStudy::OverrideGVValue: Global Variable " << TheGVName
                  << " does not exist." << std::endl;
    }
}
