#include "generator/Reward.h"

#include "BaseClasses/ProcessEnd.h"
#include "BaseClasses/PVModel.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "generator/RewardRates.h"

#include <charconv>
#include <cstdlib>
#include <iostream>

std::fstream rewfile;

namespace {

template <class T> void WriteRaw(std::ostream& out, T value) {
    out.write(reinterpret_cast<const char*>(&value), sizeof(value));
}

} // namespace

Reward::Reward(PVModel* m, short type, const char* fileName)
    : model(m), fileType(type), index(0), values(NumberText::Form::Default6) {
    if (rewfile.is_open())
        rewfile.close();
    rewfile.clear();
    rewfile.open(fileName, std::ios::in | std::ios::out | std::ios::trunc | std::ios::binary);
    if (!rewfile.is_open())
        Fatal(std::cerr, "Could not open file dude\n"); // exact text, matched by callers
    // Default formatting, whatever an earlier run in this process left on the stream.
    rewfile.flags(std::ios::fmtflags());
    rewfile.precision(6);
    for (index = 0; index < model->NumPVs; index++) {
        const char* name = model->PVNodes[index]->Name;
        rewfile << (name != nullptr ? name : "") << '\n';
    }
}

void Reward::Capture(const PVModel* m, double* out) {
    for (int i = 0; i < m->NumPVs; i++) {
        const PerformanceVariableNode* pv = m->PVNodes[i];
        out[2 * i] = pv->ImpulseValue;
        out[2 * i + 1] = pv->RateValue;
    }
}

void Reward::Calculate(uint32_t stateNumber) {
    current.resize(ValuesPerRecord());
    Capture(current.data());
    Calculate(stateNumber, current.data());
}

void Reward::Calculate(uint32_t stateNumber, const double* captured) {
    const size_t count = ValuesPerRecord();
    if (rates != nullptr)
        rates->NewState(stateNumber, captured);
    if (IsText()) {
        const size_t room = 11 + count * (NumberText::MaxLength + 1);
        if (record.size() < room)
            record.resize(room);
        char* at = std::to_chars(record.data(), record.data() + 10, stateNumber).ptr;
        *at++ = '\n';
        for (size_t i = 0; i < count; i++) {
            at = values.Append(at, captured[i]);
            *at++ = '\n';
        }
        rewfile.write(record.data(), at - record.data());
    } else {
        WriteRaw(rewfile, stateNumber);
        for (size_t i = 0; i < count; i++)
            WriteRaw(rewfile, captured[i]);
    }
    index = model->NumPVs > 0 ? model->NumPVs : 0;
}
