#ifndef BASEMODELCLASS_H
#define BASEMODELCLASS_H

#include "BaseClasses/List.h"

#include <forward_list>
#include <ostream>

class BaseActionClass;
class BaseGroupClass;
class BaseStateVariableClass;
class State;

typedef std::forward_list<BaseActionClass*> slist;

// Abstract base of every model (atomic SAN, composed model, reward model).
//
// The generator meets the model in one cycle per explored transition:
// SetState(bytes) loads a composed state into every place; the actions are then
// asked Enabled()/Rate()/Weight() and fired with Fire(), which changes markings
// through the places' pointers; CurrentState(bytes) writes the resulting state
// back. Sizes and layouts are fixed once a model is set up, so these calls never
// allocate.
class BaseModelClass {
  public:
    static double LastActionTime;

    int NumStateVariables;
    int NumSharedStateVariables;
    int NumActions;
    int NumGroups;
    BaseGroupClass** Groups;
    char* Name;
    int ModelId;
    int ParentId;
    BaseActionClass** Actions;

    BaseModelClass();
    BaseModelClass(const BaseModelClass&) = delete;
    BaseModelClass& operator=(const BaseModelClass&) = delete;

    // Virtual slots, in their fixed order.
    virtual ~BaseModelClass();
    virtual int getNumStateVariables();
    virtual void listModels(const char* name, List<BaseModelClass>* l) = 0;
    virtual void CurrentState(void* p) = 0;
    virtual void listActions(List<BaseActionClass>* l) = 0;
    virtual void listGroups(List<BaseGroupClass>* l) = 0;
    // Contract the generator relies on (checked by it in debug builds): after
    // SetState(p), CurrentState(q) writes the same StateSize() bytes that p holds, so
    // that SetState(CurrentState()) changes nothing.
    virtual void SetState(void* p) = 0;
    virtual int StateSize() = 0;
    // Byte equality of the two StateSize()-byte state vectors, nothing looser: the
    // generator's state table finds states by digests of their bytes.
    virtual bool CompareState(void* a, void* b) = 0;
    virtual void listActions(const char* name, List<BaseActionClass>* l) = 0;
    virtual void listSVs(const char* modelName, const char* varName,
                         List<BaseStateVariableClass>* vars, List<BaseModelClass>* models) = 0;
    virtual void printState(std::ostream* out);
    virtual void printState();
    virtual BaseStateVariableClass** GetLocalStateVariables(std::ostream* out);
    virtual BaseStateVariableClass** GetSharedStateVariables();
    virtual BaseStateVariableClass* getMainSharedVariable(BaseStateVariableClass* v);
    virtual class SharedStateVarLink* getListOfSharedVariables(BaseStateVariableClass* v);
    virtual void AddAffectArc(BaseStateVariableClass* v, BaseActionClass* a);
    virtual void AddEnableArc(BaseStateVariableClass* v, BaseActionClass* a);
    virtual int GetModelType();
    virtual int GetNumberOfChildren();
    virtual BaseModelClass* GetChild(int i);
    virtual void GetLocalActions(slist& out);
    virtual void GetGlobalActions(slist& out);
    virtual bool HasLocalState();
    virtual void GetLocalState(State* s);
    virtual void SetLocalState(State const* s);
    virtual void ConstructLocalState(State*& s);
    virtual void DestructLocalState(State* s);

    void DefineName(const char* name);
    void SetParentId(int id) { ParentId = id; }
    char* getName() const { return Name; }

    // Test support: restarts model numbering at 1.
    static void ResetModelIdCounter();
};

#endif
