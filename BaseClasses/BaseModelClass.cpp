#include "BaseClasses/BaseModelClass.h"

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/StandardErrors.h"
#include "BaseClasses/state/BaseStateVariableClass.h"

#include <cassert>
#include <cstring>
#include <iostream>
#include <new>

// Models are numbered in construction order, starting at 1, across all kinds.
static int globalModelId = 0;

double BaseModelClass::LastActionTime = 0;

void BaseModelClass::ResetModelIdCounter() {
    globalModelId = 0;
}

BaseModelClass::BaseModelClass()
    : NumStateVariables(0), NumSharedStateVariables(0), NumActions(0), NumGroups(0),
      Groups(nullptr), Name(nullptr), ModelId(0), ParentId(0), Actions(nullptr) {
    globalModelId++;
    ModelId = globalModelId;
    ParentId = globalModelId;
}

// The arrays belong to the derived kinds, which know how they were built.
BaseModelClass::~BaseModelClass() {
    delete[] Name;
}

void BaseModelClass::DefineName(const char* name) {
    size_t len = std::strlen(name);
    char* copy = new (std::nothrow) char[len + 1];
    if (copy == nullptr)
        MemoryAllocationError();
    std::memcpy(copy, name, len + 1);
    delete[] Name;
    Name = copy;
}

int BaseModelClass::getNumStateVariables() {
    return NumStateVariables;
}

void BaseModelClass::printState(std::ostream*) {}

void BaseModelClass::printState() {
    printState(&std::cout);
}

BaseStateVariableClass** BaseModelClass::GetLocalStateVariables(std::ostream*) {
    return nullptr;
}

BaseStateVariableClass** BaseModelClass::GetSharedStateVariables() {
    return nullptr;
}

BaseStateVariableClass* BaseModelClass::getMainSharedVariable(BaseStateVariableClass*) {
    return nullptr;
}

SharedStateVarLink* BaseModelClass::getListOfSharedVariables(BaseStateVariableClass*) {
    return nullptr;
}

void BaseModelClass::AddAffectArc(BaseStateVariableClass* v, BaseActionClass* a) {
    v->appendAffectingAction(a);
    a->addAffectedSV(v);
}

void BaseModelClass::AddEnableArc(BaseStateVariableClass* v, BaseActionClass* a) {
    v->appendEnabledAction(a);
    a->addEnablingSV(v);
}

// The structural operations below have no meaning for an abstract model: every
// concrete kind overrides them, so reaching one is a programming error.

int BaseModelClass::GetModelType() {
    assert(false);
    return 0;
}

int BaseModelClass::GetNumberOfChildren() {
    assert(false);
    return 0;
}

BaseModelClass* BaseModelClass::GetChild(int) {
    assert(false);
    return nullptr;
}

void BaseModelClass::GetLocalActions(slist&) {
    assert(false);
}

void BaseModelClass::GetGlobalActions(slist&) {
    assert(false);
}

bool BaseModelClass::HasLocalState() {
    assert(false);
    return false;
}

void BaseModelClass::GetLocalState(State*) {
    assert(false);
}

void BaseModelClass::SetLocalState(State const*) {
    assert(false);
}

void BaseModelClass::ConstructLocalState(State*&) {
    assert(false);
}

void BaseModelClass::DestructLocalState(State*) {
    assert(false);
}
