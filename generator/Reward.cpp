#include "generator/Reward.h"

#include "BaseClasses/PVModel.h"
#include "BaseClasses/PerformanceVariableNode.h"

#include <cstdlib>
#include <iostream>

std::fstream rewfile;

namespace {

template <class T> void WriteRaw(std::ostream& out, T value) {
    out.write(reinterpret_cast<const char*>(&value), sizeof(value));
}

} // namespace

Reward::Reward(PVModel* m, short type, const char* fileName) : model(m), fileType(type), index(0) {
    if (rewfile.is_open())
        rewfile.close();
    rewfile.clear();
    rewfile.open(fileName, std::ios::in | std::ios::out | std::ios::trunc | std::ios::binary);
    if (!rewfile.is_open()) {
        std::cerr << "Could not open file dude" << std::endl; // exact text, matched by callers
        std::exit(1);
    }
    // Default formatting, whatever an earlier run in this process left on the stream.
    rewfile.flags(std::ios::fmtflags());
    rewfile.precision(6);
    for (index = 0; index < model->NumPVs; index++) {
        const char* name = model->PVNodes[index]->Name;
        rewfile << (name != nullptr ? name : "") << '\n';
    }
}

void Reward::Calculate(uint32_t stateNumber) {
    if (IsText()) {
        rewfile << stateNumber << '\n';
        for (index = 0; index < model->NumPVs; index++) {
            const PerformanceVariableNode* pv = model->PVNodes[index];
            rewfile << pv->ImpulseValue << '\n' << pv->RateValue << '\n';
        }
    } else {
        WriteRaw(rewfile, stateNumber);
        for (index = 0; index < model->NumPVs; index++) {
            const PerformanceVariableNode* pv = model->PVNodes[index];
            WriteRaw(rewfile, pv->ImpulseValue);
            WriteRaw(rewfile, pv->RateValue);
        }
    }
}
