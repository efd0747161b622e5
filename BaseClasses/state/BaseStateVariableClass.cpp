#include "BaseClasses/state/BaseStateVariableClass.h"

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/ProcessEnd.h"
#include "BaseClasses/StandardErrors.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

namespace {

// A variable must never live on without its name: a failed copy is reported and
// ends the run.
char* CopyString(const char* s) {
    if (s == nullptr)
        s = "";
    char* copy = new (std::nothrow) char[std::strlen(s) + 1];
    if (copy == nullptr)
        Fatal(std::cerr, "Not Enough Memory\n");
    std::strcpy(copy, s);
    return copy;
}

List<BaseActionClass>* NewActionList() {
    List<BaseActionClass>* l = new (std::nothrow) List<BaseActionClass>();
    if (l == nullptr)
        MemoryAllocationError();
    return l;
}

} // namespace

BaseStateVariableClass::BaseStateVariableClass() : BaseStateVariableClass("default", "") {}

BaseStateVariableClass::BaseStateVariableClass(const char* n, const char* p)
    : name(CopyString(n)), prefix(CopyString(p)), shared(false), stored(true),
      functionallyShared(false), sharingCount(0), affectingActions(NewActionList()),
      enabledActions(NewActionList()) {}

BaseStateVariableClass::~BaseStateVariableClass() {
    delete[] name;
    delete[] prefix;
    if (stored) {
        delete affectingActions;
        delete enabledActions;
    }
}

void BaseStateVariableClass::SetName(const char* n) {
    char* copy = CopyString(n);
    delete[] name;
    name = copy;
}

void BaseStateVariableClass::SetPrefix(const char* p) {
    char* copy = CopyString(p);
    delete[] prefix;
    prefix = copy;
}

void BaseStateVariableClass::printState(std::ostream*) {}

void BaseStateVariableClass::printState() {
    printState(&std::cout);
}

void BaseStateVariableClass::printStateVal(std::ostream*) {}

void BaseStateVariableClass::appendAffectingAction(BaseActionClass* a) {
    affectingActions->append(a);
}

void BaseStateVariableClass::removeAffectingAction(BaseActionClass* a) {
    affectingActions->remove(a);
}

void BaseStateVariableClass::replaceAffectingAction(BaseActionClass* oldA, BaseActionClass* newA) {
    affectingActions->replaceItem(oldA, newA);
}

void BaseStateVariableClass::addSelfAsEnablingSVToAction(BaseActionClass* a) {
    a->addEnablingSV(this);
}

void BaseStateVariableClass::addSelfAsAffectedSVToAction(BaseActionClass* a) {
    a->addAffectedSV(this);
}

void BaseStateVariableClass::removeSelfFromEnablingSVOfAction(BaseActionClass* a) {
    a->removeEnablingSV(this);
}

void BaseStateVariableClass::removeSelfFromAffectedSVOfAction(BaseActionClass* a) {
    a->removeAffectedSV(this);
}

List<BaseStateVariableClass>* BaseStateVariableClass::getLeafNodes() {
    List<BaseStateVariableClass>* leaves = new (std::nothrow) List<BaseStateVariableClass>();
    if (leaves == nullptr)
        MemoryAllocationError();
    leaves->append(this);
    return leaves;
}

int BaseStateVariableClass::getNumLeafNodes() {
    return 1;
}

bool BaseStateVariableClass::isLeafNode() {
    return true;
}

void BaseStateVariableClass::appendEnabledAction(BaseActionClass* a) {
    enabledActions->append(a);
}

void BaseStateVariableClass::removeEnabledAction(BaseActionClass* a) {
    enabledActions->remove(a);
}

void BaseStateVariableClass::replaceEnabledAction(BaseActionClass* oldA, BaseActionClass* newA) {
    enabledActions->replaceItem(oldA, newA);
}

void BaseStateVariableClass::copyAffectingActions(List<BaseActionClass>* l) {
    affectingActions->append(l);
}

void BaseStateVariableClass::copyEnabledActions(List<BaseActionClass>* l) {
    enabledActions->append(l);
}

int BaseStateVariableClass::getNumAffectingActions() const {
    return affectingActions->getNumItems();
}

int BaseStateVariableClass::getNumEnabledActions() const {
    return enabledActions->getNumItems();
}

BaseActionClass* BaseStateVariableClass::getAffectingAction(int i) {
    if (i >= affectingActions->getNumItems()) {
        // exact text, matched by callers (two blanks between the parts)
        std::cerr << "!! BaseStateVariableClass::getAffectingAction(int): "
                  << " AffectingAction index out of bounds" << std::endl;
        return nullptr;
    }
    return affectingActions->getItem(i);
}

BaseActionClass* BaseStateVariableClass::getEnabledAction(int i) {
    if (i >= enabledActions->getNumItems()) {
        // exact text, matched by callers (two blanks between the parts)
        std::cerr << "!! BaseStateVariableClass::getEnabledAction(int): "
                  << " EnabledAction index out of bounds" << std::endl;
        return nullptr;
    }
    return enabledActions->getItem(i);
}

void BaseStateVariableClass::printAffectingActions() {
    std::cout << "Affecting actions for " << name << ":" << std::endl;
    affectingActions->printList();
}

void BaseStateVariableClass::printEnabledActions() {
    std::cout << "Enabled actions for " << name << ":" << std::endl;
    enabledActions->printList();
}
