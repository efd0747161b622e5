#ifndef VARMODELPAIRCLASS_H
#define VARMODELPAIRCLASS_H

// A (model name, state variable name) pair that a performance variable reads.
// Copies are made with strdup and freed with free.
class VarModelPairClass {
  public:
    char* ModelName;
    char* VariableName;

    VarModelPairClass() : ModelName(nullptr), VariableName(nullptr) {}
    ~VarModelPairClass();
    VarModelPairClass(const VarModelPairClass&) = delete;
    VarModelPairClass& operator=(const VarModelPairClass&) = delete;
    // Variable name first, model name second.
    void SetPair(const char* variable, const char* model);
};

#endif
