#include "BaseClasses/TraceFile.h"

#include "BaseClasses/PVModel.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

std::ostream* TraceFile::OpenTraceFile(const char* fileName) {
    // Trace files live to the end of the process; keeping them here closes them at
    // exit instead of leaking them.
    static std::vector<std::unique_ptr<std::ofstream>> files;
    auto file = std::make_unique<std::ofstream>();
    if (fileName != nullptr)
        file->open(fileName, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!file->is_open()) {
        // The run goes on, but the user asked for a trace and must know there is none.
        std::cerr << "Warning: Could not open trace file " << (fileName != nullptr ? fileName : "")
                  << "; no trace is written" << std::endl;
        file->setstate(std::ios::failbit);
    }
    files.push_back(std::move(file));
    return files.back().get();
}

TraceFile::TraceFile() : traceLevel(1), traceStream(nullptr) {}

TraceFile::TraceFile(const char* fileName) : traceLevel(1), traceStream(OpenTraceFile(fileName)) {}

TraceFile::TraceFile(std::ostream* stream) : traceLevel(1), traceStream(stream) {}

void TraceFile::printHeader(PVModel*) {}
void TraceFile::printFooter() {}
void TraceFile::printInitialState(BaseModelClass*) {}
void TraceFile::printState(BaseModelClass*) {}

void TraceFile::printState(PVModel* m) {
    if (m != nullptr)
        printState(m->TopModel);
}

void TraceFile::printFireAction(BaseActionClass*, double) {}
void TraceFile::printPreFireAction(BaseActionClass*) {}
void TraceFile::printPostFireAction(BaseActionClass*, BaseActionClass*) {}
void TraceFile::newBatch() {}
void TraceFile::printf(int, const char*, ...) {}
void TraceFile::printStr(int, const char*) {}
