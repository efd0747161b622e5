#ifndef UNIFORM_STUDYRANGESTUDY_H
#define UNIFORM_STUDYRANGESTUDY_H

#include "BaseClasses/BaseStudyClass.h"

// Global variables of the model, zero until the first SetGVs.
extern double lower_bound;

extern BaseStudyClass* GlobalStudyPtr;

// Range study of uniform_model: one experiment.
class uniform_studyRangeStudy : public BaseStudyClass {
  public:
    double* lower_boundValues;

    uniform_studyRangeStudy();
    ~uniform_studyRangeStudy() override;

    PVModel* GetPVModel(bool expandTimeArrays) override;
    void SetGVs(int expNum) override;
    void PrintGlobalValues(int expNum) override;
    void* GetGVValue(char* TheGVName) override;
    void OverrideGVValue(char* TheGVName, void* value) override;

    void SetValues_lower_bound();
};

#endif
