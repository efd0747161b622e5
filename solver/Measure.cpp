#include "solver/Measure.h"

#include "common/TextField.h"
#include "solver/LineReader.h"

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <string_view>

namespace {

// The value of a "Key:value" line; fails unless the line starts with the key.
std::string_view Field(LineReader& in, const char* key) {
    std::string_view line;
    const std::string k = std::string(key) + ":";
    if (!in.Next(line))
        throw in.Error("unexpected end of file: expected " + k);
    if (line.substr(0, k.size()) != k)
        throw in.Error("expected " + k + ", found \"" + std::string(line.substr(0, 40)) + "\"");
    return line.substr(k.size());
}

uint64_t Count(LineReader& in, const char* key) {
    const std::string_view text = Field(in, key);
    uint64_t n = 0;
    if (!TextField::ParseUnsigned(text, n) || n > 100000000)
        throw in.Error(std::string(key) + " is not a whole number: \"" + std::string(text) + "\"");
    return n;
}

double Time(LineReader& in, const char* key) {
    const std::string_view text = Field(in, key);
    double t = 0.0;
    if (!TextField::ParseDouble(text, t) || std::isnan(t))
        throw in.Error("time point is not a number: \"" + std::string(text) + "\"");
    if (t < 0.0)
        throw in.Error("time point is negative: " + std::string(TextField::Trim(text)));
    if (!std::isfinite(t))
        throw in.Error("time point is not finite: " + std::string(TextField::Trim(text)));
    return t;
}

std::string Shown(double t) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", t);
    return text;
}

} // namespace

std::vector<Measure> Measure::ReadAll(const std::string& path) {
    LineReader in(path);
    const uint64_t version = Count(in, "Version");
    if (version != 1)
        throw in.Error("unknown type-file version " + std::to_string(version) + " (expected 1)");
    const uint64_t count = Count(in, "NumPV");
    std::vector<Measure> all;
    for (uint64_t p = 0; p < count; p++) {
        Measure m;
        m.name = std::string(Field(in, "Name"));
        const std::string_view kindText = Field(in, "Type");
        uint64_t kind = 0;
        if (!TextField::ParseUnsigned(kindText, kind) ||
            kind > static_cast<uint64_t>(MeasureKind::ReachWithin))
            throw in.Error("unknown performance-variable kind \"" + std::string(kindText) +
                           "\" of " + m.name + " (expected 0 to 6)");
        m.kind = MeasureKindOf(static_cast<int>(kind));
        const uint64_t times = Count(in, "NumTimes");
        for (uint64_t j = 0; j < times; j++) {
            TimePoint t;
            t.start = Time(in, "Start");
            t.stop = Time(in, "Stop");
            if ((m.kind == MeasureKind::InstantOfTime || m.kind == MeasureKind::ReachWithin) &&
                t.start != t.stop)
                throw in.Error(std::string(m.kind == MeasureKind::InstantOfTime
                                               ? "an instant-of-time point"
                                               : "a reach-within time") +
                               " has Start " + Shown(t.start) + " and Stop " + Shown(t.stop) +
                               "; they must be equal");
            if ((m.kind == MeasureKind::IntervalOfTime ||
                 m.kind == MeasureKind::TimeAveragedInterval) &&
                t.start > t.stop)
                throw in.Error("interval ends at " + Shown(t.stop) + " before its start " +
                               Shown(t.start));
            if (m.kind == MeasureKind::TimeAveragedInterval && t.start == t.stop)
                throw in.Error("a time-averaged interval needs Start < Stop, found both " +
                               Shown(t.start));
            m.times.push_back(t);
        }
        all.push_back(std::move(m));
    }
    std::string_view line;
    while (in.Next(line)) {
        if (!TextField::Trim(line).empty())
            throw in.Error("unexpected text after the last of " + std::to_string(count) +
                           " variables: \"" + std::string(line.substr(0, 40)) + "\"");
    }
    return all;
}
