#ifndef DET_STUDYRANGESTUDY_H
#define DET_STUDYRANGESTUDY_H

#include "BaseClasses/BaseStudyClass.h"

// Global variables of the model, zero until the first SetGVs.
extern short use_slow;
extern double second_delay;

extern BaseStudyClass* GlobalStudyPtr;

// Range study of det_model: 1 one deterministic delay, 2 two distinct delays, 3
// the same delay in two states.
class det_studyRangeStudy : public BaseStudyClass {
  public:
    short* use_slowValues;
    double* second_delayValues;

    det_studyRangeStudy();
    ~det_studyRangeStudy() override;

    PVModel* GetPVModel(bool expandTimeArrays) override;
    void SetGVs(int expNum) override;
    void PrintGlobalValues(int expNum) override;
    void* GetGVValue(char* TheGVName) override;
    void OverrideGVValue(char* TheGVName, void* value) override;

    void SetValues_use_slow();
    void SetValues_second_delay();
};

#endif
