#ifndef SHAREDSTATEVARLINK_H
#define SHAREDSTATEVARLINK_H

class BaseStateVariableClass;
class BaseModelClass;

// One element of the chain that lists, for a composer's shared variable, every
// equivalent variable below it and the model holding it. Chains of inner composers
// are linked (not copied) into the chains of enclosing ones.
class SharedStateVarLink {
  public:
    BaseStateVariableClass* StateVar;
    BaseModelClass* Model;
    SharedStateVarLink* Next;

    SharedStateVarLink();
    explicit SharedStateVarLink(BaseStateVariableClass* v);
    SharedStateVarLink(BaseStateVariableClass* v, BaseModelClass* m);

    bool hasStateVar(BaseStateVariableClass* v);
    void addStateVarLink(SharedStateVarLink* link);
    static void clearStateVarList(SharedStateVarLink* link);
    void printAllStateVariables();
};

#endif
