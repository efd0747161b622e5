#include "generator/RewardRates.h"

#include "BaseClasses/PVModel.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "BaseClasses/ProcessEnd.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <iostream>
#include <string>

namespace {

// Direct-mapped: a power of two.
const size_t VerdictSlots = 512;

// "I 4294967295 2147483647 " and the longest shortest double, with room to spare.
const size_t LineRoom = 80;

} // namespace

RewardRates::RewardRates(const PVModel* model, const char* fileName)
    : variables(model->NumPVs > 0 ? static_cast<size_t>(model->NumPVs) : 0), anyImpulse(false),
      anyCondition(false), line(LineRoom), verdicts(VerdictSlots, Verdict{0, false, false}) {
    out.open(fileName, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!out.is_open())
        Fatal(std::cerr, "Error: Could not open reward rate file\n");
    std::string header = "Version:1\nNumPV:" + std::to_string(variables) + "\n";
    for (size_t i = 0; i < variables; i++) {
        const PerformanceVariableNode* pv = model->PVNodes[i];
        const bool impulse = pv->NumImpulses > 0;
        anyImpulse = anyImpulse || impulse;
        anyCondition = anyCondition || pv->HasCondition();
        header += std::string("Name:") + (pv->Name != nullptr ? pv->Name : "") + "\n";
        header += impulse ? "Impulse:1\n" : "Impulse:0\n";
    }
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
}

bool RewardRates::ReadsBack(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    Verdict& slot = verdicts[(bits * 0x9E3779B97F4A7C15ULL) >> 55];
    static_assert(VerdictSlots == (size_t{1} << (64 - 55)), "the shift picks one of the slots");
    if (slot.known && slot.bits == bits)
        return slot.readsBack;
    // The very conversion the reward file's text is made with, and the reading a
    // reader would do.
    char text[32];
    char* end = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 6).ptr;
    double back = 0.0;
    std::from_chars(text, end, back);
    slot = Verdict{bits, true, back == v};
    return slot.readsBack;
}

void RewardRates::Line(char kind, uint32_t number, size_t variable, const double* value) {
    char* at = line.data();
    char* end = at + line.size();
    *at++ = kind;
    *at++ = ' ';
    at = std::to_chars(at, end, number).ptr;
    *at++ = ' ';
    at = std::to_chars(at, end, variable + 1).ptr;
    *at++ = ' ';
    if (value != nullptr) {
        // Without a precision: the shortest text that reads back as the same double.
        at = std::to_chars(at, end, *value).ptr;
    } else {
        static const char unavailable[] = "unavailable";
        std::memcpy(at, unavailable, sizeof unavailable - 1);
        at += sizeof unavailable - 1;
    }
    *at++ = '\n';
    out.write(line.data(), at - line.data());
}

void RewardRates::NewState(uint32_t number, const double* captured) {
    for (size_t i = 0; i < variables; i++) {
        const double rate = captured[2 * i + 1];
        // A value that is no number is refused by every reader of the reward file.
        if (std::isfinite(rate) && !ReadsBack(rate))
            Line('R', number, i, &rate);
    }
}

void RewardRates::Explored(uint32_t number, const double* impulseRates,
                           const unsigned char* unavailable) {
    for (size_t i = 0; i < variables; i++) {
        if (unavailable[i] != 0)
            Line('I', number, i, nullptr);
        else if (impulseRates[i] != 0.0)
            Line('I', number, i, &impulseRates[i]);
    }
}

void RewardRates::Conditions(uint32_t number, const unsigned char* holds) {
    for (size_t i = 0; i < variables; i++) {
        if (holds[i] == 0)
            continue;
        char* at = line.data();
        char* end = at + line.size();
        *at++ = 'C';
        *at++ = ' ';
        at = std::to_chars(at, end, number).ptr;
        *at++ = ' ';
        at = std::to_chars(at, end, i + 1).ptr;
        *at++ = '\n';
        out.write(line.data(), at - line.data());
    }
}

bool RewardRates::Finish(uint32_t states) {
    const std::string end = "End:" + std::to_string(states) + "\n";
    out.write(end.data(), static_cast<std::streamsize>(end.size()));
    out.flush();
    bool ok = !out.fail();
    out.close();
    ok = ok && !out.fail();
    if (!ok)
        std::cerr << "Error: Could not write reward rate file" << std::endl;
    return ok;
}
