#ifndef ACTIONMODELPAIRCLASS_H
#define ACTIONMODELPAIRCLASS_H

// The (model name, action name) pair of an impulse reward; owned copies.
class ActionModelPairClass {
  public:
    char* ModelName;
    char* ActionName;

    ActionModelPairClass() : ModelName(nullptr), ActionName(nullptr) {}
    ~ActionModelPairClass();
    ActionModelPairClass(const ActionModelPairClass&) = delete;
    ActionModelPairClass& operator=(const ActionModelPairClass&) = delete;
    // Action name first, model name second.
    void SetPair(const char* action, const char* model);
};

#endif
