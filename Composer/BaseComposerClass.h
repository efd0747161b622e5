#ifndef BASECOMPOSERCLASS_H
#define BASECOMPOSERCLASS_H

#include "BaseClasses/BaseModelClass.h"
#include "Composer/SharedStateVarLink.h"

#include <vector>

// Base of composed models: children, the composer's own shared variables and the
// record of which child variables are equivalent to each of them. The composer owns
// its arrays, names and lists, but neither the children nor the shared variables
// (the generated subclass deletes those). Link chains of inner composers are linked
// into this composer's chains, so each composer frees only the links it made itself.
class BaseComposerClass : public BaseModelClass {
  public:
    BaseModelClass** Children;
    int NumChildren;
    BaseStateVariableClass** SharedStateVariables;
    SharedStateVarLink** SharedLinks;
    List<BaseStateVariableClass>** SharedWith;
    char** SharedStateNames;
    int AddedSharedPtrs;
    int TotalStateSize;

    BaseComposerClass(const char* name, int numChildren, int numShared, char** sharedNames);
    ~BaseComposerClass() override;

    void SetupActions();
    void addSharedPtr(BaseStateVariableClass* v, const char* VarName);
    void addSharingInfo(BaseStateVariableClass* childVar, BaseStateVariableClass* sharedVar,
                        BaseModelClass* child);
    void GeneralSetup();
    int SharedStateSize();
    static unsigned int Hash(char const* s, int n);
    bool AllChildrenEmpty();
    void printAllSharedVariables();

    void listModels(const char* name, List<BaseModelClass>* l) override;
    void listActions(List<BaseActionClass>* l) override;
    void listGroups(List<BaseGroupClass>* l) override;
    bool CompareState(void* a, void* b) override;
    void listActions(const char* name, List<BaseActionClass>* l) override;
    void listSVs(const char* modelName, const char* varName, List<BaseStateVariableClass>* vars,
                 List<BaseModelClass>* models) override;
    void printState(std::ostream* out) override;
    using BaseModelClass::printState;
    BaseStateVariableClass** GetSharedStateVariables() override;
    BaseStateVariableClass* getMainSharedVariable(BaseStateVariableClass* v) override;
    SharedStateVarLink* getListOfSharedVariables(BaseStateVariableClass* v) override;

  private:
    // Number of entries of the name, variable, link and SharedWith arrays; it stays
    // fixed while NumSharedStateVariables may drop to 0 for empty children.
    int NumSharedNames;
    // Links created by addSharingInfo, freed by the destructor without walking any
    // chain (inner composers' links may already be gone by then).
    std::vector<SharedStateVarLink*> OwnLinks;
};

#endif
