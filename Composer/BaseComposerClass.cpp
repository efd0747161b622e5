#include "Composer/BaseComposerClass.h"

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/BaseGroupClass.h"
#include "BaseClasses/StandardErrors.h"
#include "BaseClasses/state/BaseStateVariableClass.h"

#include <cassert>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <new>

namespace {

template <class T> T* allocateArray(int n) {
    T* a = new (std::nothrow) T[n > 0 ? n : 1]();
    if (a == nullptr)
        MemoryAllocationError();
    return a;
}

char* copyName(const char* s) {
    size_t len = std::strlen(s);
    char* copy = allocateArray<char>(static_cast<int>(len + 1));
    std::memcpy(copy, s, len + 1);
    return copy;
}

} // namespace

BaseComposerClass::BaseComposerClass(const char* name, int numChildren, int numShared,
                                     char** sharedNames)
    : Children(nullptr), NumChildren(numChildren), SharedStateVariables(nullptr),
      SharedLinks(nullptr), SharedWith(nullptr), SharedStateNames(nullptr), AddedSharedPtrs(0),
      TotalStateSize(0), NumSharedNames(numShared > 0 ? numShared : 0) {
    DefineName(name);
    // Without children there is nothing to share.
    NumSharedStateVariables = numChildren > 0 ? numShared : 0;
    NumActions = 0;
    NumGroups = 0;

    Children = allocateArray<BaseModelClass*>(NumChildren);
    SharedStateVariables = allocateArray<BaseStateVariableClass*>(NumSharedNames);
    SharedLinks = allocateArray<SharedStateVarLink*>(NumSharedNames);
    SharedWith = allocateArray<List<BaseStateVariableClass>*>(NumSharedNames);
    SharedStateNames = allocateArray<char*>(NumSharedNames);
    for (int i = 0; i < NumSharedNames; i++) {
        SharedWith[i] = new (std::nothrow) List<BaseStateVariableClass>();
        if (SharedWith[i] == nullptr)
            MemoryAllocationError();
        SharedStateNames[i] = copyName(sharedNames[i]);
    }
}

BaseComposerClass::~BaseComposerClass() {
    delete[] Children;
    for (int i = 0; i < NumSharedNames; i++) {
        delete[] SharedStateNames[i];
        delete SharedWith[i];
    }
    delete[] SharedStateNames;
    delete[] SharedWith;
    delete[] SharedLinks;
    delete[] SharedStateVariables;
    delete[] Actions;
    delete[] Groups;
    for (SharedStateVarLink* link : OwnLinks)
        delete link;
}

// Group numbers run over the whole composed model: a child's group k becomes the
// group at its position in the concatenated array, and setGroupId passes the new
// number down to every case.
void BaseComposerClass::SetupActions() {
    for (int c = 0; c < NumChildren; c++) {
        NumActions += Children[c]->NumActions;
        NumGroups += Children[c]->NumGroups;
    }
    delete[] Actions;
    delete[] Groups;
    Actions = allocateArray<BaseActionClass*>(NumActions);
    Groups = allocateArray<BaseGroupClass*>(NumGroups);

    int a = 0;
    int g = 0;
    for (int c = 0; c < NumChildren; c++) {
        BaseModelClass* child = Children[c];
        for (int i = 0; i < child->NumActions; i++)
            Actions[a++] = child->Actions[i];
        for (int i = 0; i < child->NumGroups; i++) {
            Groups[g] = child->Groups[i];
            Groups[g]->setGroupId(g);
            g++;
        }
    }
}

void BaseComposerClass::addSharedPtr(BaseStateVariableClass* v, const char* VarName) {
    assert(AddedSharedPtrs < NumSharedStateVariables);
    assert(0 == strcmp(VarName, SharedStateNames[AddedSharedPtrs]));
    (void)VarName; // read only by the assertion
    SharedStateVariables[AddedSharedPtrs] = v;
    AddedSharedPtrs++;
}

// The chain of a shared variable ends up listing every equivalent variable at every
// depth: the child's own variable, then whatever chain an inner composer already
// keeps for it (linked, not copied).
void BaseComposerClass::addSharingInfo(BaseStateVariableClass* childVar,
                                       BaseStateVariableClass* sharedVar, BaseModelClass* child) {
    int VarIndex = -1;
    for (int i = 0; i < AddedSharedPtrs; i++)
        if (SharedStateVariables[i] == sharedVar)
            VarIndex = i;
    assert(VarIndex != -1);

    SharedWith[VarIndex]->append(childVar);

    SharedStateVarLink* link = new (std::nothrow) SharedStateVarLink(childVar, child);
    if (link == nullptr)
        MemoryAllocationError();
    OwnLinks.push_back(link);
    if (SharedLinks[VarIndex] == nullptr)
        SharedLinks[VarIndex] = link;
    else
        SharedLinks[VarIndex]->addStateVarLink(link);

    for (int c = 0; c < NumChildren; c++) {
        SharedStateVarLink* inner = Children[c]->getListOfSharedVariables(childVar);
        if (inner != nullptr)
            SharedLinks[VarIndex]->addStateVarLink(inner);
    }
}

void BaseComposerClass::GeneralSetup() {
    int count = 0;
    for (int c = 0; c < NumChildren; c++)
        count += Children[c]->NumStateVariables;
    for (int i = 0; i < NumSharedStateVariables; i++)
        count -= SharedWith[i]->getNumItems();
    NumStateVariables = count + NumSharedStateVariables;
    TotalStateSize = StateSize();
}

int BaseComposerClass::SharedStateSize() {
    int size = 0;
    for (int i = 0; i < NumSharedStateVariables; i++) {
        BaseStateVariableClass* v = SharedStateVariables[i];
        if (v != nullptr && v->stored)
            size += v->StateSize();
    }
    return size;
}

// Characters are added as signed values (h = h * 32 + c), wrapping in 32 bits.
unsigned int BaseComposerClass::Hash(char const* s, int n) {
    uint32_t h = 0;
    for (; *s != '\0'; s++)
        h = h * 32u + static_cast<uint32_t>(static_cast<int>(static_cast<signed char>(*s)));
    if (n == 0)
        return 0;
    return h % static_cast<uint32_t>(n);
}

bool BaseComposerClass::AllChildrenEmpty() {
    for (int c = 0; c < NumChildren; c++)
        if (Children[c]->NumStateVariables >= 1)
            return false;
    return true;
}

BaseStateVariableClass** BaseComposerClass::GetSharedStateVariables() {
    return SharedStateVariables;
}

SharedStateVarLink* BaseComposerClass::getListOfSharedVariables(BaseStateVariableClass* v) {
    for (int i = 0; i < AddedSharedPtrs; i++)
        if (SharedStateVariables[i] == v)
            return SharedLinks[i];
    for (int c = 0; c < NumChildren; c++) {
        SharedStateVarLink* chain = Children[c]->getListOfSharedVariables(v);
        if (chain != nullptr)
            return chain;
    }
    return nullptr;
}

BaseStateVariableClass* BaseComposerClass::getMainSharedVariable(BaseStateVariableClass* v) {
    for (int i = 0; i < AddedSharedPtrs; i++)
        if (SharedLinks[i] != nullptr && SharedLinks[i]->hasStateVar(v))
            return SharedStateVariables[i];
    for (int c = 0; c < NumChildren; c++) {
        BaseStateVariableClass* main = Children[c]->getMainSharedVariable(v);
        if (main != nullptr)
            return main;
    }
    return nullptr;
}

bool BaseComposerClass::CompareState(void* a, void* b) {
    return std::memcmp(a, b, TotalStateSize) == 0;
}

void BaseComposerClass::listModels(const char* name, List<BaseModelClass>* l) {
    for (int c = 0; c < NumChildren; c++)
        Children[c]->listModels(name, l);
}

void BaseComposerClass::listActions(const char* name, List<BaseActionClass>* l) {
    for (int c = 0; c < NumChildren; c++)
        Children[c]->listActions(name, l);
}

void BaseComposerClass::listSVs(const char* modelName, const char* varName,
                                List<BaseStateVariableClass>* vars, List<BaseModelClass>* models) {
    for (int c = 0; c < NumChildren; c++)
        Children[c]->listSVs(modelName, varName, vars, models);
}

void BaseComposerClass::listActions(List<BaseActionClass>* l) {
    l->append(Actions, NumActions);
}

void BaseComposerClass::listGroups(List<BaseGroupClass>* l) {
    l->append(Groups, NumGroups);
}

void BaseComposerClass::printState(std::ostream* out) {
    *out << "Model: (" << ModelId << ")" << (Name != nullptr ? Name : "") << "\n";
    for (int c = 0; c < NumChildren; c++)
        Children[c]->printState(out);
    *out << "Shared Variables:\n";
    for (int i = 0; i < NumSharedStateVariables; i++) {
        BaseStateVariableClass* v = SharedStateVariables[i];
        if (v == nullptr || !v->stored)
            continue;
        *out << "  ";
        v->printState(out);
    }
    out->flush();
}

void BaseComposerClass::printAllSharedVariables() {
    std::cout << "Shared Variables for composer node " << (Name != nullptr ? Name : "")
              << std::endl;
    for (int i = 0; i < AddedSharedPtrs; i++) {
        BaseStateVariableClass* v = SharedStateVariables[i];
        std::cout << "  Shared Variable " << i << " has name " << v->name << " and address "
                  << static_cast<const void*>(v) << std::endl;
        std::cout << "    And here is its list of equivalent variables:" << std::endl;
        if (SharedLinks[i] != nullptr)
            SharedLinks[i]->printAllStateVariables();
    }
    std::cout << std::endl;
}
