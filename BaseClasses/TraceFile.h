#ifndef TRACEFILE_H
#define TRACEFILE_H

#include <ostream>

class BaseActionClass;
class BaseModelClass;
class PVModel;

// Abstract trace sink with a trace level and an output stream. An entry of level
// 1 to 4 is written only when its level is at most the sink's level.
//
// Every operation of this base writes nothing, except printState(PVModel*), which
// dumps the reward model's top-level model through printState(BaseModelClass*).
// A sink without a stream, or whose file could not be opened, drops every write.
class TraceFile {
  public:
    int traceLevel;
    std::ostream* traceStream;

    TraceFile();
    // Opens its own file (truncating) and keeps it to the end of the process.
    explicit TraceFile(const char* fileName);
    // Writes to a stream it does not own.
    explicit TraceFile(std::ostream* stream);

    void setTraceLevel(int l) { traceLevel = l; }
    int getTraceLevel() const { return traceLevel; }

    virtual void printHeader(PVModel* m);
    virtual void printFooter();
    virtual void printInitialState(BaseModelClass* m);
    virtual void printState(BaseModelClass* m);
    virtual void printState(PVModel* m);
    virtual void printFireAction(BaseActionClass* a, double t);
    virtual void printPreFireAction(BaseActionClass* a);
    virtual void printPostFireAction(BaseActionClass* a, BaseActionClass* b);
    virtual void newBatch();
    virtual void printf(int level, const char* format, ...);
    virtual void printStr(int level, const char* text);

  protected:
    // A stream of the process's lifetime on the named file (failed if it cannot be
    // opened); closed at process exit.
    static std::ostream* OpenTraceFile(const char* fileName);
};

#endif
