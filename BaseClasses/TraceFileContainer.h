#ifndef TRACEFILECONTAINER_H
#define TRACEFILECONTAINER_H

#include "BaseClasses/TraceFile.h"

#include <vector>

// Fan-out to every sink added, in the order added (duplicates allowed). The level
// test is the sinks' business; the container only formats printf texts once.
class TraceFileContainer : public TraceFile {
  public:
    PVModel* thePVModel;
    std::vector<TraceFile*> traceFiles;

    TraceFileContainer();

    void AddTraceFile(TraceFile* t) { traceFiles.push_back(t); }
    void RemoveTraceFile(TraceFile*) {}
    void addPVModel(PVModel* m) { thePVModel = m; }

    void printHeader();
    void printInitialState();
    void printState();

    void printHeader(PVModel* m) override;
    void printFooter() override;
    void printInitialState(BaseModelClass* m) override;
    void printState(BaseModelClass* m) override;
    void printState(PVModel* m) override;
    void printFireAction(BaseActionClass* a, double t) override;
    void printPreFireAction(BaseActionClass* a) override;
    void printPostFireAction(BaseActionClass* a, BaseActionClass* b) override;
    void newBatch() override;
    void printf(int level, const char* format, ...) override;
    void printStr(int level, const char* text) override;
};

#endif
