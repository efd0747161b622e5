#ifndef INST_STUDYRANGESTUDY_H
#define INST_STUDYRANGESTUDY_H

#include "BaseClasses/BaseStudyClass.h"

// Global variables of the model, zero until the first SetGVs.
extern short split_tokens;
extern short chain_length;
extern double left_weight;
extern double right_weight;
extern short left_rank;
extern short right_rank;
extern short merge;
extern short back;
extern short initial_vanish;

extern BaseStudyClass* GlobalStudyPtr;

// Range study of inst_model, one experiment per situation of the elimination: 1
// weights 1 and 3, 2 and 3 one side outranks the other, 4 both paths end in one
// state, 5 a path returns to the explored state, 6 and 7 chains of 23 and 24
// firings, 8 an unstable initial state, 9 weights that sum to 0.
class inst_studyRangeStudy : public BaseStudyClass {
  public:
    short* split_tokensValues;
    short* chain_lengthValues;
    double* left_weightValues;
    double* right_weightValues;
    short* left_rankValues;
    short* right_rankValues;
    short* mergeValues;
    short* backValues;
    short* initial_vanishValues;

    inst_studyRangeStudy();
    ~inst_studyRangeStudy() override;

    PVModel* GetPVModel(bool expandTimeArrays) override;
    void SetGVs(int expNum) override;
    void PrintGlobalValues(int expNum) override;
    void* GetGVValue(char* TheGVName) override;
    void OverrideGVValue(char* TheGVName, void* value) override;

    void SetValues_split_tokens();
    void SetValues_chain_length();
    void SetValues_left_weight();
    void SetValues_right_weight();
    void SetValues_left_rank();
    void SetValues_right_rank();
    void SetValues_merge();
    void SetValues_back();
    void SetValues_initial_vanish();
};

#endif
