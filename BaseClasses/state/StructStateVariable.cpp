#include "BaseClasses/state/StructStateVariable.h"

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/StandardErrors.h"

#include <cassert>
#include <new>

BaseStructStateVariable::BaseStructStateVariable() : BaseStateVariableClass(), stateSize(0) {}

BaseStructStateVariable::BaseStructStateVariable(const char* name, const char* prefix)
    : BaseStateVariableClass(name, prefix), stateSize(-1) {}

BaseStructStateVariable::BaseStructStateVariable(const char* name, const char* prefix,
                                                 ArrayType const* types, int n)
    : BaseStateVariableClass(name, prefix), stateSize(-1) {
    makeArrays(types, n);
}

BaseStructStateVariable::~BaseStructStateVariable() {}

BaseStructStateVariable::fieldType
BaseStructStateVariable::field(ArrayType type, BaseStateVariableClass* variable) const {
    fieldType f;
    f.variable = variable;
    f.type = type;
    return f;
}

void BaseStructStateVariable::makeArrays(ArrayType const* types, int n) {
    for (int i = 0; i < n; i++)
        fields.push_back(field(types[i], nullptr));
    stateSize = -1;
}

int BaseStructStateVariable::FieldSize(const fieldType& f) {
    switch (f.type) {
    case 0:
        return 2;
    case 1:
        return 4;
    case 2:
        return 1;
    case 3:
        return 8;
    case 4:
        return 4;
    default:
        break;
    }
    if (f.type < 0) {
        InvalidArrayType();
        return 0;
    }
    return f.variable != nullptr ? f.variable->StateSize() : 0;
}

int BaseStructStateVariable::calculateStateSize() {
    int size = 0;
    for (const fieldType& f : fields)
        size += FieldSize(f);
    return size;
}

int BaseStructStateVariable::StateSize() {
    if (stateSize < 0)
        stateSize = calculateStateSize();
    return stateSize;
}

void BaseStructStateVariable::CurrentState(void* p) {
    char* base = static_cast<char*>(p);
    int offset = 0;
    for (const fieldType& f : fields) {
        if (f.variable != nullptr)
            f.variable->CurrentState(base + offset);
        offset += FieldSize(f);
    }
}

void BaseStructStateVariable::SetState(void* p) {
    char* base = static_cast<char*>(p);
    int offset = 0;
    for (const fieldType& f : fields) {
        if (f.variable != nullptr)
            f.variable->SetState(base + offset);
        offset += FieldSize(f);
    }
}

void BaseStructStateVariable::printState(std::ostream* s) {
    *s << name << " = {" << std::endl;
    for (const fieldType& f : fields) {
        *s << ".";
        if (f.variable != nullptr)
            f.variable->printState(s);
    }
    *s << "}" << std::endl;
}

void BaseStructStateVariable::share(BaseStateVariableClass* other) {
    BaseStructStateVariable* otherStruct = dynamic_cast<BaseStructStateVariable*>(other);
    assert(otherStruct);
    ShareWith(otherStruct);
}

void BaseStructStateVariable::ShareWith(BaseStructStateVariable* otherStruct) {
    std::vector<fieldType>::iterator otheri = otherStruct->fields.begin();
    for (const fieldType& f : fields) {
        // clang-format off
        assert(otheri!=otherStruct->fields.end());
        // clang-format on
        if (f.variable != nullptr && otheri->variable != nullptr)
            f.variable->share(otheri->variable);
        ++otheri;
    }

    List<BaseActionClass>* otherAffecting = otherStruct->affectingActions;
    List<BaseActionClass>* otherEnabled = otherStruct->enabledActions;
    affectingActions->append(otherAffecting);
    enabledActions->append(otherEnabled);
    // Lists belong to the stored member of a class only.
    if (otherStruct->stored) {
        if (otherAffecting != affectingActions)
            delete otherAffecting;
        if (otherEnabled != enabledActions)
            delete otherEnabled;
    }
    otherStruct->affectingActions = affectingActions;
    otherStruct->enabledActions = enabledActions;

    otherStruct->shared = true;
    otherStruct->stored = false;

    for (int i = 0; i < affectingActions->getNumItems(); i++)
        affectingActions->getItem(i)->AffectedSVs.replaceItem(otherStruct, this);
    for (int i = 0; i < enabledActions->getNumItems(); i++)
        enabledActions->getItem(i)->EnablingSVs.replaceItem(otherStruct, this);
}

void BaseStructStateVariable::appendAffectingAction(BaseActionClass* a) {
    for (const fieldType& f : fields)
        if (f.variable != nullptr)
            f.variable->appendAffectingAction(a);
    BaseStateVariableClass::appendAffectingAction(a);
}

void BaseStructStateVariable::appendEnabledAction(BaseActionClass* a) {
    BaseStateVariableClass::appendEnabledAction(a);
    for (const fieldType& f : fields)
        if (f.variable != nullptr)
            f.variable->appendEnabledAction(a);
}

void BaseStructStateVariable::addSelfAsEnablingSVToAction(BaseActionClass* a) {
    for (const fieldType& f : fields)
        if (f.variable != nullptr)
            f.variable->addSelfAsEnablingSVToAction(a);
}

void BaseStructStateVariable::addSelfAsAffectedSVToAction(BaseActionClass* a) {
    for (const fieldType& f : fields)
        if (f.variable != nullptr)
            f.variable->addSelfAsAffectedSVToAction(a);
}

void BaseStructStateVariable::removeSelfFromEnablingSVOfAction(BaseActionClass* a) {
    for (const fieldType& f : fields)
        if (f.variable != nullptr)
            f.variable->removeSelfFromEnablingSVOfAction(a);
}

void BaseStructStateVariable::removeSelfFromAffectedSVOfAction(BaseActionClass* a) {
    for (const fieldType& f : fields)
        if (f.variable != nullptr)
            f.variable->removeSelfFromAffectedSVOfAction(a);
}

List<BaseStateVariableClass>* BaseStructStateVariable::getLeafNodes() {
    List<BaseStateVariableClass>* leaves = new (std::nothrow) List<BaseStateVariableClass>(10);
    if (leaves == nullptr)
        MemoryAllocationError();
    for (const fieldType& f : fields) {
        if (f.variable == nullptr)
            continue;
        List<BaseStateVariableClass>* childTemp = f.variable->getLeafNodes();
        assert(childTemp);
        leaves->append(childTemp);
        delete childTemp;
    }
    return leaves;
}

int BaseStructStateVariable::getNumLeafNodes() {
    int n = 0;
    for (const fieldType& f : fields)
        if (f.variable != nullptr)
            n += f.variable->getNumLeafNodes();
    return n == 0 ? 1 : n;
}

bool BaseStructStateVariable::isLeafNode() {
    return fields.empty();
}
