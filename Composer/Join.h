#ifndef JOIN_H
#define JOIN_H

#include "BaseClasses/State.h"
#include "Composer/BaseComposerClass.h"

#include <vector>

// A composition whose state is its children's states, child after child, followed
// by the shared variables it stores. Sizes are fixed by Setup() and never asked
// again on the per-state path.
class Join : public BaseComposerClass {
  public:
    int* ChildStateSizes;
    int ActionNameTableSize;
    char** ActionNames;
    int* ActionNameCounts;

    class LocalState : public State {
      public:
        unsigned char* data;
        int size;

        explicit LocalState(Join* j);
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
    };

    Join(const char* name, int numChildren, int numShared, char** sharedNames);
    ~Join() override;

    void Setup();
    void HashActions();
    void CurrentSharedState(void* p);
    void SetSharedState(void* p);
    // Loads the state `to` into the model, which holds the state `held` (the bytes
    // CurrentState would write now): the same as SetState(to), but with the flat
    // layout below only the cells whose bytes differ are written. Restoring the
    // explored state after a firing changes a few places of many.
    void RestoreState(const void* to, const void* held);

  private:
    // The whole composed state as a list of marking cells, two bytes each, in state
    // order: built on the first state copy, once every sharing is done, when every
    // variable of the tree is a plain short place. Each entry is the storage cell a
    // place reads and writes; like the choice of which places are shared, it is fixed
    // from then on. It spares the per-state path one virtual call per place.
    enum class Layout { Unknown, Flat, General };
    Layout layout = Layout::Unknown;
    std::vector<short*> cells;
    bool Flatten(BaseModelClass* m);
    bool FlatLayout();

  public:
    void CurrentState(void* p) override;
    void SetState(void* p) override;
    int StateSize() override;
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
};

#endif
