#ifndef SANMODEL_H
#define SANMODEL_H

#include "BaseClasses/BaseModelClass.h"
#include "BaseClasses/State.h"

class Activity;
class Place;

// Table of the first 256 primes, used by LocalState::hash().
extern const unsigned int primes[256];

// An atomic stochastic activity network. Its part of the state vector is the
// concatenation of its unshared places' bytes in place order; shared places are
// written once by the composed model that stores them.
class SANModel : public BaseModelClass {
  public:
    BaseStateVariableClass** Places;
    BaseStateVariableClass** ReadOnlyPlaces;
    int NumReadOnlyPlaces;

    class LocalState : public State {
      public:
        unsigned char* data;
        int size;

        explicit LocalState(BaseModelClass* m);
        LocalState(const LocalState&) = delete;
        ~LocalState() override;
        unsigned int hash() override;
        int compare(State const& other) const override;
        void print() override;
        bool fwriteState(FILE* f) override;
        bool freadState(FILE* f) override;
        State& operator=(State const& other) override;
        // Copying between two local states of the same kind copies the bytes too.
        LocalState& operator=(LocalState const& other) {
            operator=(static_cast<State const&>(other));
            return *this;
        }
        void SetState(BaseModelClass const* m) override;
        void GetState(BaseModelClass const* m) override;
        void* GetStatePtr() override { return data; }

        // Byte-level operations shared by every local-state kind that stores a plain
        // byte buffer (Join::LocalState uses them too).
        static unsigned int hashBytes(const unsigned char* bytes, int n);
        static int compareBytes(const unsigned char* a, const unsigned char* b, int n);
        static void printBytes(const unsigned char* bytes, int n);
        static bool writeBytes(FILE* f, int n, const unsigned char* bytes);
        // Reads a stored size and that many bytes; the buffer is replaced when the
        // stored size differs from n, so a foreign size never overruns it.
        static bool readBytes(FILE* f, int& n, unsigned char*& bytes);
    };

    SANModel();
    SANModel(const char* name, int numPlaces, BaseStateVariableClass** places, int numReadOnly,
             BaseStateVariableClass** readOnly, int numActions, Activity** actions, int numGroups,
             BaseGroupClass** groups);
    ~SANModel() override;

    void initializeSANModelNow(const char* name, int numPlaces, BaseStateVariableClass** places,
                               int numReadOnly, BaseStateVariableClass** readOnly, int numActions,
                               Activity** actions, int numGroups, BaseGroupClass** groups);
    void SetPlaces(BaseStateVariableClass** places);
    void SetReadOnlyPlaces(BaseStateVariableClass** places);
    void SetActions(Activity** actions);
    void SetGroups(BaseGroupClass** groups);

    void listModels(const char* name, List<BaseModelClass>* l) override;
    void CurrentState(void* p) override;
    void listActions(List<BaseActionClass>* l) override;
    void listGroups(List<BaseGroupClass>* l) override;
    void SetState(void* p) override;
    int StateSize() override;
    bool CompareState(void* a, void* b) override;
    void listActions(const char* name, List<BaseActionClass>* l) override;
    void listSVs(const char* modelName, const char* varName, List<BaseStateVariableClass>* vars,
                 List<BaseModelClass>* models) override;
    void printState(std::ostream* out) override;
    using BaseModelClass::printState;
    BaseStateVariableClass** GetLocalStateVariables(std::ostream* out) override;
    int GetModelType() override;
    int GetNumberOfChildren() override;
    BaseModelClass* GetChild(int i) override;
    void GetLocalActions(slist& out) override;
    void GetGlobalActions(slist& out) override;
    bool HasLocalState() override;
    void GetLocalState(State* s) override;
    void SetLocalState(State const* s) override;
    void ConstructLocalState(State*& s) override;
    void DestructLocalState(State* s) override;

    void PrintSANModelInfo();
};

bool checkLocalSVs(SANModel* m, Place** places);
bool checkReadOnlyPlaces(SANModel* m, BaseStateVariableClass** places);
bool checkLocalActions(SANModel* m, Activity** actions);

#endif
