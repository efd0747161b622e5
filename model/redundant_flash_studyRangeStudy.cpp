#include "model/redundant_flash_studyRangeStudy.h"

#include "model/redundant_flash_rewardPVModel.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

// Global variables, zero until the study sets them.
float flash_size = 0;
short num_replicas = 0;
float power_cycle_rate = 0;
float ram_size = 0;
float random_failure_rate = 0;

BaseStudyClass* GlobalStudyPtr = nullptr;

BaseStudyClass* GenerateStudy() {
    if (GlobalStudyPtr == nullptr)
        GlobalStudyPtr = new redundant_flash_studyRangeStudy();
    return GlobalStudyPtr;
}

void DestructStudy() {
    delete GlobalStudyPtr;
    GlobalStudyPtr = nullptr;
}

redundant_flash_studyRangeStudy::redundant_flash_studyRangeStudy() {
    NumGVs = 5;
    NumExps = 36;

    GVNames = new char*[NumGVs];
    GVTypes = new char*[NumGVs];
    GVNames[0] = strdup("flash_size");
    GVTypes[0] = strdup("float");
    GVNames[1] = strdup("num_replicas");
    GVTypes[1] = strdup("short");
    GVNames[2] = strdup("power_cycle_rate");
    GVTypes[2] = strdup("float");
    GVNames[3] = strdup("ram_size");
    GVTypes[3] = strdup("float");
    GVNames[4] = strdup("random_failure_rate");
    GVTypes[4] = strdup("float");

    flash_sizeValues = new float[NumExps];
    num_replicasValues = new short[NumExps];
    power_cycle_rateValues = new float[NumExps];
    ram_sizeValues = new float[NumExps];
    random_failure_rateValues = new float[NumExps];

    SetValues_flash_size();
    SetValues_num_replicas();
    SetValues_power_cycle_rate();
    SetValues_ram_size();
    SetValues_random_failure_rate();
}

redundant_flash_studyRangeStudy::~redundant_flash_studyRangeStudy() {
    delete[] flash_sizeValues;
    delete[] num_replicasValues;
    delete[] power_cycle_rateValues;
    delete[] ram_sizeValues;
    delete[] random_failure_rateValues;
    delete CurrentPVModel;
}

void redundant_flash_studyRangeStudy::SetValues_flash_size() {
    static const float values[36] = {64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64,
                                     64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64,
                                     64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 64};
    for (int n = 0; n < 36; n++)
        flash_sizeValues[n] = values[n];
}

void redundant_flash_studyRangeStudy::SetValues_num_replicas() {
    static const short values[36] = {1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2,
                                     3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4};
    for (int n = 0; n < 36; n++)
        num_replicasValues[n] = values[n];
}

void redundant_flash_studyRangeStudy::SetValues_power_cycle_rate() {
    static const float values[36] = {
        0.03125, 0.03125, 0.03125, 0.03125, 0.0625, 0.0625, 0.0625, 0.0625, 0.125,
        0.125,   0.125,   0.125,   0.25,    0.25,   0.25,   0.25,   0.5,    0.5,
        0.5,     0.5,     1,       1,       1,      1,      2,      2,      2,
        2,       4,       4,       4,       4,      8,      8,      8,      8};
    for (int n = 0; n < 36; n++)
        power_cycle_rateValues[n] = values[n];
}

void redundant_flash_studyRangeStudy::SetValues_ram_size() {
    static const float values[36] = {128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128,
                                     128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128,
                                     128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128, 128};
    for (int n = 0; n < 36; n++)
        ram_sizeValues[n] = values[n];
}

void redundant_flash_studyRangeStudy::SetValues_random_failure_rate() {
    static const float values[36] = {0.005, 0.005, 0.005, 0.005, 0.005, 0.005, 0.005, 0.005, 0.005,
                                     0.005, 0.005, 0.005, 0.005, 0.005, 0.005, 0.005, 0.005, 0.005,
                                     0.005, 0.005, 0.005, 0.005, 0.005, 0.005, 0.005, 0.005, 0.005,
                                     0.005, 0.005, 0.005, 0.005, 0.005, 0.005, 0.005, 0.005, 0.005};
    for (int n = 0; n < 36; n++)
        random_failure_rateValues[n] = values[n];
}

PVModel* redundant_flash_studyRangeStudy::GetPVModel(bool expandTimeArrays) {
    if (CurrentPVModel != nullptr)
        delete CurrentPVModel;
    CurrentPVModel = new redundant_flash_rewardPVModel(expandTimeArrays);
    return CurrentPVModel;
}

void redundant_flash_studyRangeStudy::SetGVs(int expNum) {
    flash_size = flash_sizeValues[expNum];
    num_replicas = num_replicasValues[expNum];
    power_cycle_rate = power_cycle_rateValues[expNum];
    ram_size = ram_sizeValues[expNum];
    random_failure_rate = random_failure_rateValues[expNum];
}

void redundant_flash_studyRangeStudy::PrintGlobalValues(int expNum) {
    if (NumGVs == 0) {
        std::cout << "There are no global variables." << std::endl;
        return;
    }

    SetGVs(expNum);

    std::cout << "The Global Variable values for experiment " << GetExpName(expNum)
              << " are:" << std::endl;
    std::cout << "flash_size\tfloat\t" << double(flash_size) << std::endl;
    std::cout << "num_replicas\tshort\t" << num_replicas << std::endl;
    std::cout << "power_cycle_rate\tfloat\t" << double(power_cycle_rate) << std::endl;
    std::cout << "ram_size\tfloat\t" << double(ram_size) << std::endl;
    std::cout << "random_failure_rate\tfloat\t" << double(random_failure_rate) << std::endl;
}

void* redundant_flash_studyRangeStudy::GetGVValue(char* TheGVName) {
    if (strcmp("flash_size", TheGVName) == 0)
        return &flash_size;
    else if (strcmp("num_replicas", TheGVName) == 0)
        return &num_replicas;
    else if (strcmp("power_cycle_rate", TheGVName) == 0)
        return &power_cycle_rate;
    else if (strcmp("ram_size", TheGVName) == 0)
        return &ram_size;
    else if (strcmp("random_failure_rate", TheGVName) == 0)
        return &random_failure_rate;
    else
        std::cerr << "!! redundant_flash_studyRangeStudy::GetGVValue: Global Variable " << TheGVName
                  << " does not exist." << std::endl;
    return nullptr;
}

void redundant_flash_studyRangeStudy::OverrideGVValue(char* TheGVName, void* TheGVValue) {
    if (strcmp("flash_size", TheGVName) == 0)
        std::memcpy(&flash_size, TheGVValue, sizeof(float));
    else if (strcmp("num_replicas", TheGVName) == 0)
        std::memcpy(&num_replicas, TheGVValue, sizeof(short));
    else if (strcmp("power_cycle_rate", TheGVName) == 0)
        std::memcpy(&power_cycle_rate, TheGVValue, sizeof(float));
    else if (strcmp("ram_size", TheGVName) == 0)
        std::memcpy(&ram_size, TheGVValue, sizeof(float));
    else if (strcmp("random_failure_rate", TheGVName) == 0)
        std::memcpy(&random_failure_rate, TheGVValue, sizeof(float));
    else
        std::cerr << "!! redundant_flash_studyRangeStudy::OverrideGVValue: Global Variable "
                  << TheGVName << " does not exist." << std::endl;
}
