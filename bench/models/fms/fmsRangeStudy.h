#ifndef KANBANRANGESTUDY_H
#define KANBANRANGESTUDY_H

#include "BaseClasses/BaseStudyClass.h"

#include <algorithm>

// Global variables of the model.
extern short N;

// User function of the model: the marking-dependent rate of a part entering the
// system, min(1, floor(3N/2) / r) times the marking x, r being the parts present.
inline double f(int x, int r) {
    return r > 0 ? std::min(1.0, static_cast<double>((3 * N) / 2) / r) * x : 0.0;
}

// Range study of the Kanban system: experiment k has N = k + 1 fms cards per cell.
class fmsRangeStudy : public BaseStudyClass {
  public:
    short* NValues;

    fmsRangeStudy();
    ~fmsRangeStudy() override;

    PVModel* GetPVModel(bool expandTimes) override;
    void SetGVs(int experiment) override;
    void PrintGlobalValues(int experiment) override;
    void* GetGVValue(char* name) override;
    void OverrideGVValue(char* name, void* value) override;

    void SetValues_N();
};

#endif
