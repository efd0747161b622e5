#include "solver/RewardTable.h"

#include "common/TextField.h"
#include "solver/LineReader.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace {

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text.substr(0, 40)) + (text.size() > 40 ? "...\"" : "\"");
}

// The value of a "Key:value" line.
std::string_view Field(LineReader& in, const std::string& key) {
    std::string_view line;
    if (!in.Next(line))
        throw in.Error("unexpected end of file: expected " + key + ":");
    if (line.substr(0, key.size() + 1) != key + ":")
        throw in.Error("expected " + key + ":, found " + Quoted(line));
    return line.substr(key.size() + 1);
}

uint64_t Whole(LineReader& in, std::string_view text, const char* what) {
    uint64_t n = 0;
    if (!TextField::ParseUnsigned(text, n))
        throw in.Error(std::string(what) + " is not a whole number: " + Quoted(text));
    return n;
}

std::string Text(double v) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

// The text the reward file holds for v: 6 significant digits, as gen writes it.
double Rounded(double v) {
    char text[32];
    char* end = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 6).ptr;
    double back = 0.0;
    std::from_chars(text, end, back);
    return back;
}

} // namespace

RewardTable RewardTable::Read(const std::string& path, const std::vector<std::string>& names,
                              size_t states) {
    LineReader in(path);
    std::string_view line;
    RewardTable table;
    for (const std::string& name : names) {
        if (!in.Next(line))
            throw in.Error("unexpected end of file: expected the variable name " + name);
        if (line != name)
            throw in.Error("variable name " + Quoted(line) + " differs from " + Quoted(name) +
                           " of the type file");
        Variable v;
        v.name = name;
        v.rate.assign(states, 0.0);
        table.variables.push_back(std::move(v));
    }
    const auto count = [](size_t n) { return std::to_string(n) + (n == 1 ? " state" : " states"); };
    for (size_t s = 1; s <= states; s++) {
        if (!in.Next(line))
            throw in.Error("the rewards cover " + count(s - 1) + " but the chain has " +
                           count(states));
        uint64_t number = 0;
        if (!TextField::ParseUnsigned(line, number) || number != s)
            throw in.Error("expected the record of state " + std::to_string(s) + ", found " +
                           Quoted(line));
        for (Variable& v : table.variables) {
            double value[2];
            for (int k = 0; k < 2; k++) {
                if (!in.Next(line))
                    throw in.Error("unexpected end of file in the record of state " +
                                   std::to_string(s));
                if (!TextField::ParseDouble(line, value[k]))
                    throw in.Error("reward value is not a number: " + Quoted(line));
                if (!std::isfinite(value[k]))
                    throw in.Error("reward value is not a finite number: " + Quoted(line));
            }
            if (value[0] != 0.0 && !v.hasImpulse) {
                v.hasImpulse = true;
                v.impulseState = s;
                v.impulseValue = value[0];
            }
            v.rate[s - 1] = value[1];
        }
    }
    while (in.Next(line)) {
        if (!TextField::Trim(line).empty())
            throw in.Error("the rewards cover more states than the chain's " + count(states) +
                           ": " + Quoted(line));
    }
    return table;
}

void RewardTable::ReadRates(const std::string& path, size_t states) {
    LineReader in(path);
    if (Whole(in, Field(in, "Version"), "Version") != 1)
        throw in.Error("unknown reward-rate file version (expected 1)");
    const uint64_t count = Whole(in, Field(in, "NumPV"), "NumPV");
    if (count != variables.size())
        throw in.Error("the reward-rate file has " + std::to_string(count) +
                       " variables, the type file " + std::to_string(variables.size()));
    for (Variable& v : variables) {
        const std::string_view name = Field(in, "Name");
        if (name != v.name)
            throw in.Error("variable name " + Quoted(name) + " differs from " + Quoted(v.name) +
                           " of the type file");
        const std::string_view impulse = Field(in, "Impulse");
        if (impulse != "0" && impulse != "1")
            throw in.Error("Impulse: must be 0 or 1, found " + Quoted(impulse));
        v.declaresImpulse = impulse == "1";
    }
    // The last (state, variable) of each kind of line: each kind ascends.
    uint64_t last[3] = {0, 0, 0};
    std::string_view line;
    for (;;) {
        if (!in.Next(line))
            throw in.Error("unexpected end of file: expected End:");
        if (line.substr(0, 4) == "End:")
            break;
        std::string_view f[4];
        size_t n = 0, at = 0;
        while (at < line.size() && n < 4) {
            const size_t blank = line.find(' ', at);
            const size_t stop = blank == std::string_view::npos ? line.size() : blank;
            f[n++] = line.substr(at, stop - at);
            at = stop + 1;
        }
        const bool condition = n == 3 && f[0] == "C";
        if (!condition && (n != 4 || at < line.size() || (f[0] != "R" && f[0] != "I")))
            throw in.Error("expected \"R <state> <variable> <rate reward>\", \"I <state> "
                           "<variable> <impulse rate>\", \"C <state> <variable>\" or End:, "
                           "found " +
                           Quoted(line));
        const uint64_t s = Whole(in, f[1], "the state");
        const uint64_t p = Whole(in, f[2], "the variable");
        if (s < 1 || s > states)
            throw in.Error("state " + std::string(f[1]) + " is not one of the chain's " +
                           std::to_string(states));
        if (p < 1 || p > variables.size())
            throw in.Error("variable " + std::string(f[2]) + " is not one of the " +
                           std::to_string(variables.size()));
        const int kind = f[0] == "R" ? 0 : f[0] == "I" ? 1 : 2;
        const uint64_t key = s * (variables.size() + 1) + p;
        if (key <= last[kind])
            throw in.Error("the " + std::string(f[0]) +
                           " lines are not in ascending order of state and variable");
        last[kind] = key;
        Variable& v = variables[p - 1];
        if (kind == 2) {
            if (v.condition.empty())
                v.condition.assign(states, 0);
            v.condition[s - 1] = 1;
            continue;
        }
        if (kind == 1 && f[3] == "unavailable") {
            if (v.unavailableState == 0)
                v.unavailableState = s;
            continue;
        }
        double value = 0.0;
        if (!TextField::ParseDouble(f[3], value) || !std::isfinite(value))
            throw in.Error("value is not a finite number: " + Quoted(f[3]));
        if (kind == 0) {
            // The same run's files: the full value rounds to what the reward file has.
            if (Rounded(value) != v.rate[s - 1])
                throw in.Error("rate reward " + std::string(f[3]) + " of state " +
                               std::to_string(s) + " does not round to the reward file's " +
                               Text(v.rate[s - 1]) + ": the files are not of one run");
            v.rate[s - 1] = value;
        } else {
            if (v.impulseRate.empty())
                v.impulseRate.assign(states, 0.0);
            v.impulseRate[s - 1] = value;
        }
    }
    const uint64_t end = Whole(in, line.substr(4), "End:");
    if (end != states)
        throw in.Error("the reward-rate file covers " + std::to_string(end) +
                       " states but the chain has " + std::to_string(states));
    while (in.Next(line)) {
        if (!TextField::Trim(line).empty())
            throw in.Error("unexpected text after End: " + Quoted(line));
    }
    exact = true;
}
