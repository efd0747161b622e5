#include "solver/MarkovChain.h"

#include "common/TextField.h"
#include "solver/LineReader.h"
#include "solver/RateMatrixBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

namespace {

std::string Quoted(std::string_view text) {
    constexpr size_t kShown = 40;
    std::string s(text.substr(0, kShown));
    if (text.size() > kShown)
        s += "...";
    return "\"" + s + "\"";
}

bool Blank(std::string_view line) {
    return TextField::Trim(line).empty();
}

} // namespace

MarkovChain MarkovChain::Read(const std::string& path) {
    LineReader in(path);
    std::string_view line;
    uint64_t number = 0;

    if (!in.Next(line))
        throw in.Error("empty file: expected the file type 1");
    if (!TextField::ParseUnsigned(line, number) || number != 1)
        throw in.Error("unknown state-space file type " + Quoted(line) + " (expected 1)");
    if (!in.Next(line))
        throw in.Error("unexpected end of file: expected the number of states");
    uint64_t count = 0;
    if (!TextField::ParseUnsigned(line, count))
        throw in.Error("the number of states is not a whole number: " + Quoted(line));
    if (count == 0)
        throw in.Error("the chain has no states");
    if (count > std::numeric_limits<uint32_t>::max())
        throw in.Error("too many states: " + std::to_string(count));

    MarkovChain chain;
    // Room for the states the file can hold, not for what its header claims: every
    // record takes at least four bytes ("s", "0" and their line ends), and a header
    // that declares more states than follow is found at the end of the file.
    const size_t n = static_cast<size_t>(std::min<uint64_t>(count, in.Size() / 4 + 1));
    chain.exitRate.reserve(n);
    // Every entry takes at least a short destination line and a rate line of about
    // seventeen characters: reserving for that avoids regrowing large arrays.
    RateMatrixBuilder m(n, static_cast<size_t>(in.Size() / 20));

    bool haveLine = in.Next(line);
    // The rest of the count's room, when there is one.
    if (haveLine && Blank(line))
        haveLine = in.Next(line);

    for (uint64_t s = 1; s <= count; s++) {
        // Built only for a message: a string per state would cost more than the reading.
        auto which = [s] { return "the record of state " + std::to_string(s); };
        if (!haveLine)
            throw in.Error("unexpected end of file: expected " + which() + " of " +
                           std::to_string(count));
        if (!TextField::ParseUnsigned(line, number) || number != s)
            throw in.Error("expected " + which() + ", found " + Quoted(line));
        double out = 0.0;
        uint64_t previous = 0;
        for (;;) {
            if (!in.Next(line))
                throw in.Error("unexpected end of file in " + which() +
                               ": expected a destination or the closing 0");
            if (!TextField::ParseUnsigned(line, number))
                throw in.Error("destination is not a state number: " + Quoted(line));
            if (number == 0)
                break;
            if (number > count)
                throw in.Error("destination state " + std::to_string(number) +
                               " is out of range 1 to " + std::to_string(count));
            // Ascending, each once: a destination twice would be two entries of one
            // matrix element.
            if (number <= previous)
                throw in.Error("destination " + std::to_string(number) + " follows destination " +
                               std::to_string(previous) + " in " + which() +
                               ": the destinations of a record are ascending, each once");
            previous = number;
            const uint64_t dest = number;
            if (!in.Next(line))
                throw in.Error("unexpected end of file in " + which() + ": expected the rate to " +
                               std::to_string(dest));
            double rate = 0.0;
            if (!TextField::ParseDouble(line, rate))
                throw in.Error("rate is not a number: " + Quoted(line));
            if (!std::isfinite(rate))
                throw in.Error("rate is not a finite number: " + Quoted(line));
            if (rate < 0.0)
                throw in.Error(
                    "the chain has deterministic delays (the entry " +
                    std::string(TextField::Trim(line)) +
                    " is a deterministic firing); it cannot be solved as a Markov "
                    "chain: use the simulator (<model>_sim; sim for the example) instead");
            chain.fileTransitions++;
            if (dest == s || rate == 0.0)
                continue;
            m.Add(static_cast<uint32_t>(dest - 1), rate);
            out += rate;
        }
        chain.exitRate.push_back(out);
        m.EndRow();
        haveLine = in.Next(line);
    }
    chain.outgoing = m.Finish();
    while (haveLine) {
        if (!Blank(line))
            throw in.Error("unexpected text after the record of the last state " +
                           std::to_string(count) + ": " + Quoted(line));
        haveLine = in.Next(line);
    }
    return chain;
}
