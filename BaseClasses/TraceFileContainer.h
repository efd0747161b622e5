#ifndef TRACEFILECONTAINER_H
#define TRACEFILECONTAINER_H

#include "BaseClasses/TraceFile.h"

#include <vector>

// Fan-out to every sink added, in the order added (duplicates allowed, sinks not
// owned). The level test is the sinks' business: the container forwards every call
// and only formats printf texts once.
class TraceFileContainer : public TraceFile {
  public:
    PVModel* thePVModel;
    std::vector<TraceFile*> traceFiles;

    TraceFileContainer();

    void AddTraceFile(TraceFile* t) { traceFiles.push_back(t); }
    void RemoveTraceFile(TraceFile*) {}
    void addPVModel(PVModel* m) { thePVModel = m; }

    // True when some sink's level admits an entry of this level. Callers in a hot
    // loop may test it to spare the formatting of entries that nobody writes.
    bool wants(int level) const {
        for (const TraceFile* t : traceFiles)
            if (level <= t->traceLevel)
                return true;
        return false;
    }

    // These three dump `thePVModel` (set by addPVModel) on every sink.
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
    // Formats as vsnprintf into a buffer of 1024 characters (a longer text is cut to
    // its first 1023), then hands the text to printStr of every sink.
    void printf(int level, const char* format, ...) override;
    void printStr(int level, const char* text) override;
};

#endif
