#ifndef SHARABLESV_H
#define SHARABLESV_H

#include "BaseClasses/state/BaseStateVariableClass.h"

#include <cassert>

// A node of a variable's reference list: the address of a T* that must always point
// at the storage cell of the variable's equivalence class. `Owner` is the variable
// that registered it (null for a plain cached pointer, such as an activity's cached
// marking pointer).
template <class T> class SVReference {
  public:
    T** Where;
    BaseStateVariableClass* Owner;
    SVReference<T>* Next;

    SVReference(T** where, BaseStateVariableClass* owner, SVReference<T>* next)
        : Where(where), Owner(owner), Next(next) {}
    BaseStateVariableClass* getOwner() const { return Owner; }
};

// A state variable holding one value of type T with equivalence sharing: after
// ShareWith, every member of a class reads and writes one storage cell, every
// registered pointer (places' Mark, activities' cached pointers) is redirected to
// it, and the members share one pair of action lists.
template <class T> class SharableSV : public BaseStateVariableClass {
  public:
    T* Value;
    SVReference<T>* Head;
    BaseStateVariableClass* MainSV;

    SharableSV();
    SharableSV(const char* name, const char* prefix);
    ~SharableSV() override;

    // Registers a pointer that must keep pointing at this variable's storage; the
    // caller sets *where = Value first.
    void addReference(T** where, BaseStateVariableClass* owner);
    SVReference<T>* getHead() const { return Head; }

    int StateSize() override;
    void SetState(void* p) override;
    void CurrentState(void* p) override;
    void printState(std::ostream* s) override;
    using BaseStateVariableClass::printState;
    void printStateVal(std::ostream* s) override;
    void share(BaseStateVariableClass* other) override;
    void appendAffectingAction(BaseActionClass* a) override;

    void ShareWith(SharableSV<T>* other);

  private:
    // Merges the class whose reference list belongs to `other` into main variable S.
    void MergeInto(SharableSV<T>* S, SharableSV<T>* other);
};

// Template bodies follow in the implementation header.
#include "BaseClasses/state/SharableSV.impl.h"

#endif
