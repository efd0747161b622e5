#ifndef EXP_STUDYRANGESTUDY_H
#define EXP_STUDYRANGESTUDY_H

#include "BaseClasses/BaseStudyClass.h"

// Global variables of exp_model: the initial marking of a, and the bound of the
// counter. Zero until the first SetGVs.
extern short start_tokens;
extern short count_limit;

extern BaseStudyClass* GlobalStudyPtr;

// Range study of exp_model: experiment 1 is the small chain, experiment 2 a single
// dead state, experiment 3 a counter of 2346 states.
class exp_studyRangeStudy : public BaseStudyClass {
  public:
    short* start_tokensValues;
    short* count_limitValues;

    exp_studyRangeStudy();
    ~exp_studyRangeStudy() override;

    PVModel* GetPVModel(bool expandTimeArrays) override;
    void SetGVs(int expNum) override;
    void PrintGlobalValues(int expNum) override;
    void* GetGVValue(char* TheGVName) override;
    void OverrideGVValue(char* TheGVName, void* value) override;

    void SetValues_start_tokens();
    void SetValues_count_limit();
};

#endif
