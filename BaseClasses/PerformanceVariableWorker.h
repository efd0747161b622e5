#ifndef PERFORMANCEVARIABLEWORKER_H
#define PERFORMANCEVARIABLEWORKER_H

class BaseModelClass;

// Evaluates a performance variable's reward function for one combination of
// submodel instances. ModelSlots[j] points at the generated worker's member that
// receives its instance of model dependency j.
//
// Name is an array-allocated copy made by DefineName; the generated node frees it
// (delete[]) before it deletes the worker, so the base destructor leaves it alone.
// The generated worker owns and frees ModelSlots.
class PerformanceVariableWorker {
  public:
    BaseModelClass*** ModelSlots;
    int NumModelSlots;
    int Reserved;
    char* Name;
    int WorkerIndex;
    int PVID;
    double Value;
    double ValueSquare;
    double Weight;
    double StartTime;
    double StopTime;

    PerformanceVariableWorker();
    PerformanceVariableWorker(const PerformanceVariableWorker&) = delete;
    PerformanceVariableWorker& operator=(const PerformanceVariableWorker&) = delete;

    // Virtual slots, in their fixed order.
    virtual ~PerformanceVariableWorker();
    virtual double Reward_Function() = 0;
    virtual void Accumulate(double now, double last) = 0;
    virtual void CurrentReward();
    virtual void Reset();

    void DefineName(const char* name, int i);
};

#endif
