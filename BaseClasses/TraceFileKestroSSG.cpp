#include "BaseClasses/TraceFileKestroSSG.h"

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/PVModel.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/BaseStateVariableClass.h"

namespace {

const char* const kStars = "**************************************";

const char* NameOf(const char* name) {
    return name != nullptr ? name : "";
}

// Entries of the local state-variable array of a model: an atomic model's places
// (its read-only places are not in the array), otherwise its state-variable count.
int LocalVariableCount(BaseModelClass* m) {
    int n = m->getNumStateVariables();
    if (const SANModel* san = dynamic_cast<const SANModel*>(m))
        n -= san->NumReadOnlyPlaces;
    return n;
}

} // namespace

TraceFileKestroSSG::TraceFileKestroSSG() : TraceFile() {}
TraceFileKestroSSG::TraceFileKestroSSG(const char* fileName) : TraceFile(fileName) {}
TraceFileKestroSSG::TraceFileKestroSSG(std::ostream* stream) : TraceFile(stream) {}

void TraceFileKestroSSG::Line(const char* text) {
    if (traceStream != nullptr)
        *traceStream << text << std::endl;
}

void TraceFileKestroSSG::Line(const char* prefix, const char* text) {
    if (traceStream != nullptr)
        *traceStream << prefix << text << std::endl;
}

void TraceFileKestroSSG::printHeader(PVModel*) {
    Line(kStars);
    Line("\t\tTRACE");
    Line(kStars);
}

void TraceFileKestroSSG::printFooter() {}

void TraceFileKestroSSG::printInitialState(BaseModelClass* m) {
    Line("Initial Model State:");
    printState(m);
}

void TraceFileKestroSSG::printState(BaseModelClass* m) {
    if (m == nullptr || traceStream == nullptr)
        return;
    std::ostream& out = *traceStream;
    out << "  Model: (" << m->ModelId << ")" << NameOf(m->Name) << std::endl;
    if (BaseStateVariableClass** vars = m->GetLocalStateVariables(traceStream)) {
        const int n = LocalVariableCount(m);
        for (int i = 0; i < n; i++) {
            if (vars[i] == nullptr)
                continue;
            out << "    " << NameOf(vars[i]->name) << " = ";
            vars[i]->printStateVal(traceStream);
            out << std::endl;
        }
    }
    const int children = m->GetNumberOfChildren();
    for (int i = 0; i < children; i++)
        printState(m->GetChild(i));
}

void TraceFileKestroSSG::printState(PVModel* m) {
    if (m != nullptr)
        printState(m->TopModel);
}

void TraceFileKestroSSG::printFireAction(BaseActionClass* a, double) {
    if (traceLevel >= 1 && a != nullptr)
        Line("Firing Action: ", NameOf(a->Name));
}

void TraceFileKestroSSG::printPreFireAction(BaseActionClass* a) {
    if (traceLevel < 2 || a == nullptr || traceStream == nullptr)
        return;
    Line("Enabling state before action firing:");
    BaseActionClass* shown = a->getPrintedAction();
    if (shown == nullptr)
        return;
    std::ostream& out = *traceStream;
    const List<BaseStateVariableClass>& svs = shown->EnablingSVs;
    for (int i = 0; i < svs.numItems; i++) {
        BaseStateVariableClass* v = svs.items[i];
        out << "  " << NameOf(v->name) << " = ";
        v->printStateVal(traceStream);
        out << std::endl;
    }
}

void TraceFileKestroSSG::printPostFireAction(BaseActionClass* a, BaseActionClass*) {
    if (a != nullptr)
        Line("State after firing action: ", NameOf(a->Name));
}

void TraceFileKestroSSG::newBatch() {
    Line("##### NEW BATCH #####");
}

void TraceFileKestroSSG::printStr(int level, const char* text) {
    if (level <= traceLevel && text != nullptr)
        Line(text);
}
