#ifndef BASESTUDYCLASS_H
#define BASESTUDYCLASS_H

class PVModel;

// Base of generated studies: a fixed number of experiments, each a complete
// assignment of values to the model's global variables. Names and type names are
// strdup'ed strings in new[]'ed arrays; the subclass deletes CurrentPVModel.
class BaseStudyClass {
  public:
    char** GVNames;
    char** GVTypes;
    PVModel* CurrentPVModel;
    int NumGVs;
    int NumExps;

    BaseStudyClass();
    BaseStudyClass(const BaseStudyClass&) = delete;
    BaseStudyClass& operator=(const BaseStudyClass&) = delete;

    virtual ~BaseStudyClass();
    virtual PVModel* GetPVModel(bool expandTimes);
    virtual void SetGVs(int experiment);
    virtual void PrintGlobalValues(int experiment);
    virtual void* GetGVValue(char* name);
    virtual void OverrideGVValue(char* name, void* value);

    int GetNumGVs() const { return NumGVs; }
    char* GetGVName(int i) const { return GVNames[i]; }
    char* GetGVType(int i) const { return GVTypes[i]; }
    int GetNumExps() const { return NumExps; }
    // One static buffer shared by all calls; each call overwrites it.
    char* GetExpName(int i);
    // Applies "type:name:value" triples through OverrideGVValue. A triple with an
    // unknown letter, a letter that contradicts the variable's declared type
    // (GVTypes), an unknown name, or a value text that is not wholly a number of the
    // type (or does not fit it) is reported and not applied; too few tokens end the
    // parse. Returns false when any of these happened.
    bool overrideGVs(char* text);

  private:
    // Converts `value` as the letter says and applies it; false if it does not convert.
    bool ApplyOverride(char letter, char* name, const char* value);
};

// Provided by the linked model's study source.
BaseStudyClass* GenerateStudy();
void DestructStudy();

#endif
