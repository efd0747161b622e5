#ifndef EMPTY_STUDYRANGESTUDY_H
#define EMPTY_STUDYRANGESTUDY_H

#include "BaseClasses/BaseStudyClass.h"

extern BaseStudyClass* GlobalStudyPtr;

// Range study of empty_model: one experiment, no global variables.
class empty_studyRangeStudy : public BaseStudyClass {
  public:
    empty_studyRangeStudy();
    ~empty_studyRangeStudy() override;

    PVModel* GetPVModel(bool expandTimeArrays) override;
    void SetGVs(int expNum) override;
    void PrintGlobalValues(int expNum) override;
    void* GetGVValue(char* TheGVName) override;
    void OverrideGVValue(char* TheGVName, void* value) override;
};

#endif
