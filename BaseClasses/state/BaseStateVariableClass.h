#ifndef BASESTATEVARIABLECLASS_H
#define BASESTATEVARIABLECLASS_H

#include "BaseClasses/List.h"

#include <ostream>

class BaseActionClass;

// One named component of a model's state. Keeps the variable's name, its sharing
// flags and the two lists of connected actions. After equivalence sharing every
// member of a class points at the same two list objects, which belong to the
// stored member; a variable frees its lists only while `stored` is true.
class BaseStateVariableClass {
  public:
    char* name;
    char* prefix;
    bool shared;
    bool stored;
    bool functionallyShared;
    int sharingCount;
    List<BaseActionClass>* affectingActions;
    List<BaseActionClass>* enabledActions;

    BaseStateVariableClass();
    BaseStateVariableClass(const char* name, const char* prefix);
    virtual ~BaseStateVariableClass();
    BaseStateVariableClass(const BaseStateVariableClass&) = delete;
    BaseStateVariableClass& operator=(const BaseStateVariableClass&) = delete;

    // Virtual slots, in their fixed order.
    virtual int StateSize() = 0;
    virtual void SetState(void* p) = 0;
    virtual void CurrentState(void* p) = 0;
    virtual void printState(std::ostream* s);
    virtual void printState();
    virtual void printStateVal(std::ostream* s);
    virtual void share(BaseStateVariableClass* other) = 0;
    virtual void appendAffectingAction(BaseActionClass* a);
    virtual void removeAffectingAction(BaseActionClass* a);
    virtual void replaceAffectingAction(BaseActionClass* oldA, BaseActionClass* newA);
    virtual void addSelfAsEnablingSVToAction(BaseActionClass* a);
    virtual void addSelfAsAffectedSVToAction(BaseActionClass* a);
    virtual void removeSelfFromEnablingSVOfAction(BaseActionClass* a);
    virtual void removeSelfFromAffectedSVOfAction(BaseActionClass* a);
    // The caller owns the returned list.
    virtual List<BaseStateVariableClass>* getLeafNodes();
    virtual int getNumLeafNodes();
    virtual bool isLeafNode();
    virtual void appendEnabledAction(BaseActionClass* a);
    virtual void removeEnabledAction(BaseActionClass* a);
    virtual void replaceEnabledAction(BaseActionClass* oldA, BaseActionClass* newA);

    void SetName(const char* n);
    void SetPrefix(const char* p);
    char* getName() const { return name; }
    bool getShared() const { return shared; }
    void setShared(bool b) { shared = b; }
    bool getStored() const { return stored; }
    void setStored(bool b) { stored = b; }
    int getSharingCount() const { return sharingCount; }
    bool getFunctionallyShared() const { return functionallyShared; }
    void setFunctionallyShared(bool b) { functionallyShared = b; }
    List<BaseActionClass>* getAffectingActions() const { return affectingActions; }
    List<BaseActionClass>* getEnabledActions() const { return enabledActions; }
    void setAffectingActions(List<BaseActionClass>* l) { affectingActions = l; }
    void setEnabledActions(List<BaseActionClass>* l) { enabledActions = l; }
    void copyAffectingActions(List<BaseActionClass>* l);
    void copyEnabledActions(List<BaseActionClass>* l);
    int getNumAffectingActions() const;
    int getNumEnabledActions() const;
    // An index not below the count is reported on standard error and yields null.
    BaseActionClass* getAffectingAction(int i);
    BaseActionClass* getEnabledAction(int i);
    void printAffectingActions();
    void printEnabledActions();
};

#endif
