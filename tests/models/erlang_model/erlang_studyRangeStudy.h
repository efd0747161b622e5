#ifndef ERLANG_STUDYRANGESTUDY_H
#define ERLANG_STUDYRANGESTUDY_H

#include "BaseClasses/BaseStudyClass.h"

// Global variables of the model, zero until the first SetGVs.
extern double repair_rate;

extern BaseStudyClass* GlobalStudyPtr;

// Range study of erlang_model: one experiment.
class erlang_studyRangeStudy : public BaseStudyClass {
  public:
    double* repair_rateValues;

    erlang_studyRangeStudy();
    ~erlang_studyRangeStudy() override;

    PVModel* GetPVModel(bool expandTimeArrays) override;
    void SetGVs(int expNum) override;
    void PrintGlobalValues(int expNum) override;
    void* GetGVValue(char* TheGVName) override;
    void OverrideGVValue(char* TheGVName, void* value) override;

    void SetValues_repair_rate();
};

#endif
