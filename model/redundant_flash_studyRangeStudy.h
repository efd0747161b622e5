#ifndef REDUNDANT_FLASH_STUDYRANGESTUDY_H
#define REDUNDANT_FLASH_STUDYRANGESTUDY_H

#include "BaseClasses/BaseStudyClass.h"

// The model's global variables. The study writes them (SetGVs, overrides) before
// the reward model is built; the atomic models read them on every evaluation of a
// rate, weight, enabling condition, firing and initial marking. All are zero until
// the first SetGVs.
extern float flash_size;
extern short num_replicas;
extern float power_cycle_rate;
extern float ram_size;
extern float random_failure_rate;

// The study of the one linked model; GenerateStudy() creates it on first use.
extern BaseStudyClass* GlobalStudyPtr;

// Range study of redundant_flash: 36 experiments over five global variables, of
// which num_replicas (1..4) and power_cycle_rate (2^-5 .. 2^3) vary. Each variable
// has one table of NumExps values of its own type, indexed by experiment number.
class redundant_flash_studyRangeStudy : public BaseStudyClass {
  public:
    float* flash_sizeValues;
    short* num_replicasValues;
    float* power_cycle_rateValues;
    float* ram_sizeValues;
    float* random_failure_rateValues;

    redundant_flash_studyRangeStudy();
    ~redundant_flash_studyRangeStudy() override;

    // Replaces the previous reward model (if any) by a new one; the study owns it.
    PVModel* GetPVModel(bool expandTimeArrays) override;
    // Copies experiment k's values into the global variables. k is not checked.
    void SetGVs(int expNum) override;
    // Sets experiment k's values, then lists them on standard output.
    void PrintGlobalValues(int expNum) override;
    // Address of the named variable (exact, case-sensitive name), or null.
    void* GetGVValue(char* TheGVName) override;
    // Copies a value of the named variable's own type from `value`.
    void OverrideGVValue(char* TheGVName, void* value) override;

    void SetValues_flash_size();
    void SetValues_num_replicas();
    void SetValues_power_cycle_rate();
    void SetValues_ram_size();
    void SetValues_random_failure_rate();
};

#endif
