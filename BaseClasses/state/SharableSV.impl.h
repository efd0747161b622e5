// Bodies of the SharableSV template; included by SharableSV.h only.
//
// Equivalence classes. The members of a class read and write one storage cell and
// share one pair of action lists; both belong to the class's main variable, the
// member whose `stored` flag is true. The main variable also holds the class's
// reference list: one node for every pointer that must follow the storage cell
// (each member's `Value`, each place's `Mark`, activities' cached pointers). A merge
// walks that list once, so no lookup is needed while the generator runs.

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/StandardErrors.h"

#include <cstring>
#include <new>

template <class T> SharableSV<T>::SharableSV() : SharableSV("default", "") {}

template <class T>
SharableSV<T>::SharableSV(const char* n, const char* p)
    : BaseStateVariableClass(n, p), Value(nullptr), Head(nullptr), MainSV(this) {
    Value = new (std::nothrow) T(0);
    if (Value == nullptr)
        MemoryAllocationError();
    addReference(&Value, this);
    SVReference<T>* NextElement = Head;
    assert(NextElement->getOwner());
    (void)NextElement;
}

template <class T> SharableSV<T>::~SharableSV() {
    if (stored)
        delete Value;
    while (Head != nullptr) {
        SVReference<T>* next = Head->Next;
        delete Head;
        Head = next;
    }
}

template <class T> void SharableSV<T>::addReference(T** where, BaseStateVariableClass* owner) {
    SVReference<T>* node = new (std::nothrow) SVReference<T>(where, owner, Head);
    if (node == nullptr)
        MemoryAllocationError();
    Head = node;
    sharingCount++;
}

template <class T> int SharableSV<T>::StateSize() {
    return static_cast<int>(sizeof(T));
}

template <class T> void SharableSV<T>::SetState(void* p) {
    std::memcpy(Value, p, sizeof(T));
}

template <class T> void SharableSV<T>::CurrentState(void* p) {
    std::memcpy(p, Value, sizeof(T));
}

template <class T> void SharableSV<T>::printState(std::ostream* s) {
    // Unary plus prints character types as numbers.
    *s << name << " = " << +*Value << std::endl;
}

template <class T> void SharableSV<T>::printStateVal(std::ostream* s) {
    *s << +*Value;
}

template <class T> void SharableSV<T>::share(BaseStateVariableClass* other) {
    SharableSV<T>* otherSV = dynamic_cast<SharableSV<T>*>(other);
    assert(otherSV);
    ShareWith(otherSV);
}

template <class T> void SharableSV<T>::appendAffectingAction(BaseActionClass* a) {
    // Only the main variable knows every member; all members share its list.
    if (MainSV != this || Head == nullptr)
        return;
    for (SVReference<T>* r = Head; r != nullptr; r = r->Next)
        if (r->getOwner() != nullptr)
            r->getOwner()->BaseStateVariableClass::appendAffectingAction(a);
}

template <class T> void SharableSV<T>::ShareWith(SharableSV<T>* other) {
    if (stored && other->stored) {
        // The class keeps the value of the variable being shared in.
        shared = true;
        *Value = *other->Value;
        MergeInto(this, other);
    } else if (!stored && other->stored) {
        MergeInto(static_cast<SharableSV<T>*>(MainSV), other);
    } else if (stored && !other->stored) {
        MergeInto(static_cast<SharableSV<T>*>(other->MainSV), this);
    } else {
        SharableSV<T>* thisMain = static_cast<SharableSV<T>*>(MainSV);
        SharableSV<T>* otherMain = static_cast<SharableSV<T>*>(other->MainSV);
        if (sharingCount <= otherMain->sharingCount)
            MergeInto(otherMain, thisMain);
        else
            MergeInto(thisMain, otherMain);
    }

    // The actions name the class by its main variable from now on.
    List<BaseActionClass>* affecting = other->affectingActions;
    for (int i = 0; i < affecting->getNumItems(); i++)
        affecting->getItem(i)->AffectedSVs.replaceItem(other, MainSV);
    List<BaseActionClass>* enabled = other->enabledActions;
    for (int i = 0; i < enabled->getNumItems(); i++)
        enabled->getItem(i)->EnablingSVs.replaceItem(other, MainSV);
}

template <class T> void SharableSV<T>::MergeInto(SharableSV<T>* S, SharableSV<T>* TheOtherPointer) {
    // 1. O gives up its cell.
    delete TheOtherPointer->Value;
    TheOtherPointer->MainSV = S;
    TheOtherPointer->Value = S->Value;

    // 2. Every pointer registered in O's class follows S's cell. Every member of O's
    // class also takes S as its main variable, so that MainSV always names the
    // variable that holds the class's storage, lists and references.
    for (SVReference<T>* r = TheOtherPointer->getHead(); r != nullptr; r = r->Next) {
        *r->Where = S->Value;
        SharableSV<T>* member = dynamic_cast<SharableSV<T>*>(r->getOwner());
        if (member != nullptr)
            member->MainSV = S;
    }

    // 3.
    TheOtherPointer->shared = true;
    TheOtherPointer->stored = false;

    // 4. Union of the action lists, O's order kept.
    List<BaseActionClass>* SVAffectingActions = S->affectingActions;
    List<BaseActionClass>* SVEnabledActions = S->enabledActions;
    assert(SVAffectingActions);
    assert(SVEnabledActions);
    SVAffectingActions->append(TheOtherPointer->affectingActions);
    SVEnabledActions->append(TheOtherPointer->enabledActions);
    delete TheOtherPointer->affectingActions;
    delete TheOtherPointer->enabledActions;

    // 5. The whole of O's class shares S's lists.
    assert(TheOtherPointer->getHead());
    TheOtherPointer->affectingActions = SVAffectingActions;
    TheOtherPointer->enabledActions = SVEnabledActions;
    for (SVReference<T>* r = TheOtherPointer->getHead(); r != nullptr; r = r->Next) {
        if (r->getOwner() != nullptr) {
            r->getOwner()->setAffectingActions(SVAffectingActions);
            r->getOwner()->setEnabledActions(SVEnabledActions);
        }
    }

    // 6. S takes over O's references, O's nodes first.
    SVReference<T>* tail = TheOtherPointer->Head;
    while (tail->Next != nullptr)
        tail = tail->Next;
    tail->Next = S->Head;
    S->Head = TheOtherPointer->Head;
    S->sharingCount += TheOtherPointer->sharingCount;
    TheOtherPointer->Head = nullptr;
}
