#ifndef STRUCTSTATEVARIABLE_H
#define STRUCTSTATEVARIABLE_H

#include "BaseClasses/state/BaseStateVariableClass.h"

#include <vector>

// A state variable made of an ordered list of fields, each itself a state variable
// (a SharableSV of an element type, or another structured variable). Its bytes in
// the state vector are the fields' bytes back to back, without padding, in
// declaration order. A field of code 0 to 4 advances the offset by the fixed size
// of its code whatever its variable writes; a field of any code above 4 is a nested
// variable whose size is its own StateSize().
//
// A derived class supplies the field variables by overriding field(). Field
// records made while the base constructor runs come from the base field(), which
// makes a record without a variable: a derived class therefore adds its fields
// with makeArrays() from its own constructor.
//
// The structured variable owns its field records, not the field variables. A field
// without a variable contributes its size but writes, reads and shares nothing.
class BaseStructStateVariable : public BaseStateVariableClass {
  public:
    // Element codes 0..4 are 2, 4, 1, 8 and 4 bytes wide; codes above 4 name
    // nested variables.
    typedef int ArrayType;

    struct fieldType {
        BaseStateVariableClass* variable;
        ArrayType type;
    };

    int stateSize; // cached StateSize(); -1 until computed
    std::vector<fieldType> fields;

    BaseStructStateVariable();
    BaseStructStateVariable(const char* name, const char* prefix);
    BaseStructStateVariable(const char* name, const char* prefix, ArrayType const* types, int n);
    ~BaseStructStateVariable() override;

    int StateSize() override;
    void SetState(void* p) override;
    void CurrentState(void* p) override;
    void printState(std::ostream* s) override;
    using BaseStateVariableClass::printState;
    void share(BaseStateVariableClass* other) override;
    void appendAffectingAction(BaseActionClass* a) override;
    void addSelfAsEnablingSVToAction(BaseActionClass* a) override;
    void addSelfAsAffectedSVToAction(BaseActionClass* a) override;
    void removeSelfFromEnablingSVOfAction(BaseActionClass* a) override;
    void removeSelfFromAffectedSVOfAction(BaseActionClass* a) override;
    // The caller owns the returned list.
    List<BaseStateVariableClass>* getLeafNodes() override;
    int getNumLeafNodes() override;
    bool isLeafNode() override;
    void appendEnabledAction(BaseActionClass* a) override;

    // Slots added after the state-variable slots.
    // Shares field i with the other's field i; the other then belongs to this
    // variable's class (not stored) and uses this variable's action lists.
    virtual void ShareWith(BaseStructStateVariable* otherStruct);
    // Makes the record of one field; the base keeps the given variable and code.
    virtual fieldType field(ArrayType type, BaseStateVariableClass* variable) const;

    // Appends one field per code, each made by field(code, nullptr).
    void makeArrays(ArrayType const* types, int n);
    int getSize() const { return static_cast<int>(fields.size()); }
    ArrayType getType(int i) const { return fields[static_cast<size_t>(i)].type; }
    // The sum of the fields' sizes, always recomputed and not cached.
    int calculateStateSize();

  private:
    // Bytes of one field in the state vector.
    static int FieldSize(const fieldType& f);
};

#endif
