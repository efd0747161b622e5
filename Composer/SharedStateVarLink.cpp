#include "Composer/SharedStateVarLink.h"

#include "BaseClasses/state/BaseStateVariableClass.h"

#include <iostream>

SharedStateVarLink::SharedStateVarLink() : StateVar(nullptr), Model(nullptr), Next(nullptr) {}

SharedStateVarLink::SharedStateVarLink(BaseStateVariableClass* v)
    : StateVar(v), Model(nullptr), Next(nullptr) {}

SharedStateVarLink::SharedStateVarLink(BaseStateVariableClass* v, BaseModelClass* m)
    : StateVar(v), Model(m), Next(nullptr) {}

bool SharedStateVarLink::hasStateVar(BaseStateVariableClass* v) {
    for (SharedStateVarLink* link = this; link != nullptr; link = link->Next)
        if (link->StateVar == v)
            return true;
    return false;
}

void SharedStateVarLink::addStateVarLink(SharedStateVarLink* link) {
    SharedStateVarLink* last = this;
    while (last->Next != nullptr)
        last = last->Next;
    last->Next = link;
}

void SharedStateVarLink::clearStateVarList(SharedStateVarLink* link) {
    while (link != nullptr) {
        SharedStateVarLink* next = link->Next;
        delete link;
        link = next;
    }
}

void SharedStateVarLink::printAllStateVariables() {
    for (SharedStateVarLink* link = this; link != nullptr; link = link->Next) {
        const char* name = link->StateVar != nullptr ? link->StateVar->name : "";
        std::cout << "      This link holds state var " << name << " at address "
                  << static_cast<const void*>(link->StateVar) << std::endl;
    }
}
