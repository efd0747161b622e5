#include "solver/RewardTable.h"

#include "common/TextField.h"
#include "solver/LineReader.h"

#include <cmath>
#include <cstdint>
#include <string_view>

namespace {

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text.substr(0, 40)) + (text.size() > 40 ? "...\"" : "\"");
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
