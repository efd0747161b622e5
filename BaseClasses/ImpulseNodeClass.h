#ifndef IMPULSENODECLASS_H
#define IMPULSENODECLASS_H

class BaseModelClass;

// Both an impulse definition (registered with PerformanceVariableNode::AddImpulse)
// and, through its generated subclass, an impulse worker. Each worker belongs to one
// instance of the action's submodel (ActionModel); ModelSlots[l] points at the
// generated member that receives the worker's instance of model dependency l.
// Name is made with strdup and freed with free (by the base destructor). The
// generated class owns and frees ModelSlots. The workers that CreateWorkers returns
// belong to the node that asked for them, which deletes them.
class ImpulseNodeClass {
  public:
    BaseModelClass*** ModelSlots;
    BaseModelClass* ActionModel;
    char* Name;
    int WorkerIndex;
    int ImpulseNumber;
    int NumModelSlots;
    int PVID;
    double Value;
    double ValueSquare;
    double StartTime;
    double StopTime;

    ImpulseNodeClass();
    ImpulseNodeClass(const ImpulseNodeClass&) = delete;
    ImpulseNodeClass& operator=(const ImpulseNodeClass&) = delete;
    virtual ~ImpulseNodeClass();

    // End-of-interval step, given the current time.
    virtual void ImpulseEndAccumulate(double now) = 0;
    // Not called by this system.
    virtual void ImpulseUpdate(double now) = 0;
    // Accumulation step, given the current time and the time of the last action.
    virtual void ImpulseAccumulate(double now, double last) = 0;
    // Evaluates the impulse on the current marking: sets Value and ValueSquare.
    virtual void ImpulseCurrentReward() = 0;
    virtual void ImpulseReset() = 0;
    // Returns a new array of `count` new workers of the generated class.
    virtual ImpulseNodeClass** CreateWorkers(int count) = 0;

    void Reset() { Value = ValueSquare = 0; }
    void DefineName(const char* name, int impulseNumber, int workerIndex);
    static double min(double a, double b) { return b > a ? a : b; }
    static double max(double a, double b) { return a > b ? a : b; }
};

#endif
