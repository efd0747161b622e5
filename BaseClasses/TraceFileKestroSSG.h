#ifndef TRACEFILEKESTROSSG_H
#define TRACEFILEKESTROSSG_H

#include "BaseClasses/TraceFile.h"

// The generator's text trace sink. Every line ends with a newline and a flush, so a
// trace file is complete at every moment.
//
// Level-tested entries: printFireAction (level ≥ 1), printPreFireAction (level ≥ 2)
// and printStr (its level argument ≤ the sink's level). Headers, state dumps,
// post-fire and new-batch lines are written whatever the level.
//
// State dump of a model: "  Model: (" id ")" name, then for an atomic model one line
// per place, "    " name " = " value; then the children, depth first.
class TraceFileKestroSSG : public TraceFile {
  public:
    TraceFileKestroSSG();
    explicit TraceFileKestroSSG(const char* fileName);
    explicit TraceFileKestroSSG(std::ostream* stream);

    void printHeader(PVModel* m) override;
    void printFooter() override;
    void printInitialState(BaseModelClass* m) override;
    void printState(BaseModelClass* m) override;
    void printState(PVModel* m) override;
    void printFireAction(BaseActionClass* a, double t) override;
    void printPreFireAction(BaseActionClass* a) override;
    void printPostFireAction(BaseActionClass* a, BaseActionClass* b) override;
    void newBatch() override;
    void printStr(int level, const char* text) override;

  private:
    void Line(const char* text);
    void Line(const char* prefix, const char* text);
};

#endif
