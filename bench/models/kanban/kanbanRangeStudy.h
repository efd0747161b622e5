#ifndef KANBANRANGESTUDY_H
#define KANBANRANGESTUDY_H

#include "BaseClasses/BaseStudyClass.h"

// Global variables of the model.
extern short N;

// Range study of the Kanban system: experiment k has N = k + 1 kanban cards per cell.
class kanbanRangeStudy : public BaseStudyClass {
  public:
    short* NValues;

    kanbanRangeStudy();
    ~kanbanRangeStudy() override;

    PVModel* GetPVModel(bool expandTimes) override;
    void SetGVs(int experiment) override;
    void PrintGlobalValues(int experiment) override;
    void* GetGVValue(char* name) override;
    void OverrideGVValue(char* name, void* value) override;

    void SetValues_N();
};

#endif
