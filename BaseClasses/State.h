#ifndef STATE_H
#define STATE_H

#include <cstdio>

class BaseModelClass;

// A model's local state as a free-standing value.
class State {
  public:
    virtual unsigned int hash() { return 1; }
    virtual int compare(State const&) const { return 1; }
    virtual void print() = 0;
    // Both return true when fewer bytes than the state holds were transferred.
    virtual bool fwriteState(FILE* f) = 0;
    virtual bool freadState(FILE* f) = 0;
    virtual State& operator=(State const& other) = 0;
    virtual ~State() {}
    virtual void SetState(BaseModelClass const* m) = 0;
    virtual void GetState(BaseModelClass const* m) = 0;
    virtual void* GetStatePtr() = 0;
};

#endif
