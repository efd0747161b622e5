#include "BaseClasses/TraceFileContainer.h"

#include "BaseClasses/PVModel.h"

#include <cstdarg>
#include <cstdio>

TraceFileContainer::TraceFileContainer() : TraceFile(), thePVModel(nullptr) {}

void TraceFileContainer::printHeader() {
    for (TraceFile* t : traceFiles)
        t->printHeader(thePVModel);
}

void TraceFileContainer::printInitialState() {
    BaseModelClass* top = thePVModel != nullptr ? thePVModel->TopModel : nullptr;
    for (TraceFile* t : traceFiles)
        t->printInitialState(top);
}

void TraceFileContainer::printState() {
    for (TraceFile* t : traceFiles)
        t->printState(thePVModel);
}

void TraceFileContainer::printHeader(PVModel*) {}
void TraceFileContainer::printInitialState(BaseModelClass*) {}
void TraceFileContainer::printState(BaseModelClass*) {}
void TraceFileContainer::printState(PVModel*) {}

void TraceFileContainer::printFooter() {
    for (TraceFile* t : traceFiles)
        t->printFooter();
}

void TraceFileContainer::printFireAction(BaseActionClass* a, double time) {
    for (TraceFile* t : traceFiles)
        t->printFireAction(a, time);
}

void TraceFileContainer::printPreFireAction(BaseActionClass* a) {
    for (TraceFile* t : traceFiles)
        t->printPreFireAction(a);
}

void TraceFileContainer::printPostFireAction(BaseActionClass* a, BaseActionClass* b) {
    for (TraceFile* t : traceFiles)
        t->printPostFireAction(a, b);
}

void TraceFileContainer::newBatch() {
    for (TraceFile* t : traceFiles)
        t->newBatch();
}

void TraceFileContainer::printf(int level, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    for (TraceFile* t : traceFiles)
        t->printStr(level, text);
}

void TraceFileContainer::printStr(int level, const char* text) {
    for (TraceFile* t : traceFiles)
        t->printStr(level, text);
}
