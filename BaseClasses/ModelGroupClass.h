#ifndef MODELGROUPCLASS_H
#define MODELGROUPCLASS_H

class BaseModelClass;

// The submodel instances one worker reads, one per model dependency.
class ModelGroupClass {
  public:
    BaseModelClass** Models;
    int NumModels;

    ModelGroupClass() : Models(nullptr), NumModels(0) {}
    ~ModelGroupClass() { delete[] Models; }
    ModelGroupClass(const ModelGroupClass&) = delete;
    ModelGroupClass& operator=(const ModelGroupClass&) = delete;

    void CreateModelList(int n);
    void SetModel(int i, BaseModelClass* m) { Models[i] = m; }
    bool IsDependentOnModel(BaseModelClass* m) const;
};

#endif
