#ifndef DETERLANG_STUDYRANGESTUDY_H
#define DETERLANG_STUDYRANGESTUDY_H

#include "BaseClasses/BaseStudyClass.h"

// Global variables of the model, zero until the first SetGVs.
extern double delay_value;

extern BaseStudyClass* GlobalStudyPtr;

// Range study of deterlang_model: one experiment.
class deterlang_studyRangeStudy : public BaseStudyClass {
  public:
    double* delay_valueValues;

    deterlang_studyRangeStudy();
    ~deterlang_studyRangeStudy() override;

    PVModel* GetPVModel(bool expandTimeArrays) override;
    void SetGVs(int expNum) override;
    void PrintGlobalValues(int expNum) override;
    void* GetGVValue(char* TheGVName) override;
    void OverrideGVValue(char* TheGVName, void* value) override;

    void SetValues_delay_value();
};

#endif
