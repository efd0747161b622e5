// Runs the Kanban and FMS programs for small N and checks their state spaces against the
// published sizes and, record by record, against an independent exploration of the same
// nets written here without the model framework.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Marking = std::vector<int>;

struct Timed {
    std::function<bool(const Marking&)> enabled;
    std::function<double(const Marking&)> rate;
    std::function<void(Marking&)> fire;
};

struct Immediate {
    std::function<bool(const Marking&)> enabled;
    double weight;
    std::function<void(Marking&)> fire;
};

struct Net {
    Marking initial;
    std::vector<Timed> timed;         // in the composed model's action order
    std::vector<Immediate> immediate; // likewise
};

// One record of a state-space file: destination -> rate.
using Record = std::map<unsigned, double>;

// Breadth-first exploration in the generator's order: timed actions in model order,
// instantaneous choices resolved depth first in action order, destinations numbered
// when first reached.
std::vector<Record> Explore(const Net& net) {
    std::map<Marking, unsigned> number;
    std::deque<Marking> queue;
    std::vector<Record> records;
    number[net.initial] = 1;
    queue.push_back(net.initial);
    while (!queue.empty()) {
        Marking s = queue.front();
        queue.pop_front();
        Record rec;
        std::function<void(const Marking&, double, double)> resolve = [&](const Marking& m,
                                                                          double p, double rate) {
            std::vector<const Immediate*> on;
            for (const Immediate& i : net.immediate)
                if (i.enabled(m))
                    on.push_back(&i);
            if (on.empty()) {
                auto it = number.find(m);
                unsigned n;
                if (it == number.end()) {
                    n = static_cast<unsigned>(number.size()) + 1;
                    number[m] = n;
                    queue.push_back(m);
                } else {
                    n = it->second;
                }
                rec[n] += p * rate;
                return;
            }
            double total = 0;
            for (const Immediate* i : on)
                total += i->weight;
            for (const Immediate* i : on) {
                Marking next = m;
                i->fire(next);
                resolve(next, on.size() == 1 ? p : (i->weight / total) * p, rate);
            }
        };
        for (const Timed& t : net.timed) {
            if (!t.enabled(s))
                continue;
            Marking next = s;
            t.fire(next);
            resolve(next, 1.0, t.rate(s));
        }
        records.push_back(rec);
    }
    return records;
}

std::vector<Record> ReadArm(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ("1", line);
    std::getline(in, line);
    unsigned count = static_cast<unsigned>(std::stoul(line));
    std::getline(in, line); // the rest of the placeholder
    std::vector<Record> records;
    for (unsigned s = 1; s <= count; s++) {
        std::getline(in, line);
        EXPECT_EQ(std::to_string(s), line) << "record of state " << s;
        Record rec;
        unsigned last = 0;
        while (std::getline(in, line) && line != "0") {
            unsigned dest = static_cast<unsigned>(std::stoul(line));
            EXPECT_GT(dest, last) << "destinations of state " << s << " not ascending";
            last = dest;
            std::getline(in, line);
            rec[dest] = std::stod(line);
        }
        records.push_back(rec);
    }
    return records;
}

std::vector<Record> RunProgram(const std::string& program, const std::string& name,
                               int experiment) {
    testsupport::ScratchDir dir("benchmodels");
    EXPECT_TRUE(dir.Ready()) << "cannot create a temporary directory";
    const std::string path = testsupport::BenchProgram(program);
    const std::string args =
        "-P" + dir.Work().string() + "/ -N" + name + " -B" + std::to_string(experiment);
    EXPECT_EQ(0, dir.Run(path, args).status) << path << " " << args;
    return ReadArm((dir.Work() / (name + ".arm")).string());
}

size_t Transitions(const std::vector<Record>& records) {
    size_t n = 0;
    for (const Record& r : records)
        n += r.size();
    return n;
}

void ExpectSameRecords(const std::vector<Record>& expected, const std::vector<Record>& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t s = 0; s < expected.size(); s++) {
        ASSERT_EQ(expected[s].size(), actual[s].size()) << "state " << s + 1;
        double outExpected = 0, outActual = 0;
        for (const auto& [dest, rate] : expected[s]) {
            auto it = actual[s].find(dest);
            ASSERT_NE(actual[s].end(), it) << "state " << s + 1 << " lacks destination " << dest;
            EXPECT_NEAR(rate, it->second, 1e-10 * rate) << "state " << s + 1 << " to " << dest;
            outExpected += rate;
            outActual += it->second;
        }
        EXPECT_NEAR(outExpected, outActual, 1e-10 * outExpected) << "total rate of " << s + 1;
    }
}

Net Kanban(int n) {
    // Places: pm, pback, pkan, pout of cells 1..4.
    auto pm = [](int i) { return 4 * (i - 1); };
    auto pback = [](int i) { return 4 * (i - 1) + 1; };
    auto pkan = [](int i) { return 4 * (i - 1) + 2; };
    auto pout = [](int i) { return 4 * (i - 1) + 3; };
    auto move = [](std::vector<int> in, std::vector<int> out, double rate) {
        return Timed{[in](const Marking& m) {
                         return std::all_of(in.begin(), in.end(), [&](int p) { return m[p] > 0; });
                     },
                     [rate](const Marking&) { return rate; },
                     [in, out](Marking& m) {
                         for (int p : in)
                             m[p]--;
                         for (int p : out)
                             m[p]++;
                     }};
    };
    Net net;
    net.initial = Marking(16, 0);
    for (int i = 1; i <= 4; i++)
        net.initial[pkan(i)] = n;
    const double redo[5] = {0, 0.36, 0.42, 0.39, 0.33}, ok[5] = {0, 0.84, 0.98, 0.91, 0.77};
    // The composed model's action order: cell 1 to cell 4, each in its own order.
    net.timed.push_back(move({pkan(1)}, {pm(1)}, 1.0));
    for (int i = 1; i <= 4; i++) {
        net.timed.push_back(move({pm(i)}, {pback(i)}, redo[i]));
        net.timed.push_back(move({pm(i)}, {pout(i)}, ok[i]));
        net.timed.push_back(move({pback(i)}, {pm(i)}, 0.3));
        if (i == 1)
            net.timed.push_back(move({pout(1), pkan(2), pkan(3)}, {pkan(1), pm(2), pm(3)}, 0.4));
        if (i == 2)
            net.timed.push_back(move({pout(2), pout(3), pkan(4)}, {pkan(2), pkan(3), pm(4)}, 0.5));
        if (i == 4)
            net.timed.push_back(move({pout(4)}, {pkan(4)}, 0.9));
    }
    return net;
}

Net Fms(int n) {
    enum {
        P1,
        P1wM1,
        P1M1,
        M1,
        P1d,
        P1s,
        P1wP2,
        P2,
        P2wM2,
        P2M2,
        M2,
        P2d,
        P2s,
        P2wP1,
        P3,
        P3M2,
        P3s,
        P12,
        P12wM3,
        P12M3,
        M3,
        P12s,
        COUNT
    };
    const int np = (3 * n) / 2;
    auto has = [](std::vector<int> in) {
        return [in](const Marking& m) {
            return std::all_of(in.begin(), in.end(), [&](int p) { return m[p] > 0; });
        };
    };
    auto mv = [](std::vector<int> in, std::vector<int> out) {
        return [in, out](Marking& m) {
            for (int p : in)
                m[p]--;
            for (int p : out)
                m[p]++;
        };
    };
    auto f = [np](int x) {
        return [np, x](const Marking& m) {
            int r = m[P1] + m[P2] + m[P3] + m[P12];
            return r > 0 ? std::min(1.0, static_cast<double>(np) / r) * m[x] : 0.0;
        };
    };
    auto konst = [](double r) { return [r](const Marking&) { return r; }; };
    auto drain = [](int from, std::vector<int> to) {
        return [from, to](Marking& m) {
            for (int p : to)
                m[p] += m[from];
            m[from] = 0;
        };
    };
    Net net;
    net.initial = Marking(COUNT, 0);
    net.initial[P1] = net.initial[P2] = net.initial[P3] = n;
    net.initial[M1] = 3;
    net.initial[M2] = 1;
    net.initial[M3] = 2;
    net.timed = {
        {has({P1}), f(P1), mv({P1}, {P1wM1})},
        {has({P1M1}), [](const Marking& m) { return m[P1M1] / 4.0; }, mv({P1M1}, {M1, P1d})},
        {has({P1s}), konst(1.0 / 60), drain(P1s, {P1})},
        {has({P2}), f(P2), mv({P2}, {P2wM2})},
        {has({P2M2}), konst(1.0 / 6), mv({P2M2}, {M2, P2d})},
        {has({P2s}), konst(1.0 / 60), drain(P2s, {P2})},
        {has({P3}), f(P3), mv({P3}, {P3M2})},
        {has({P3M2, M2}), konst(0.5), mv({P3M2}, {P3s})},
        {has({P3s}), konst(1.0 / 60), drain(P3s, {P3})},
        {has({P12}), f(P12), mv({P12}, {P12wM3})},
        {has({P12M3}), [](const Marking& m) { return double(m[P12M3]); }, mv({P12M3}, {P12s, M3})},
        {has({P12s}), konst(1.0 / 60), drain(P12s, {P1, P2})},
    };
    net.immediate = {
        {has({P1wM1, M1}), 1, mv({P1wM1, M1}, {P1M1})},
        {has({P1d}), 80, mv({P1d}, {P1s})},
        {has({P1d}), 20, mv({P1d}, {P1wP2})},
        {has({P2wM2, M2}), 1, mv({P2wM2, M2}, {P2M2})},
        {has({P2d}), 60, mv({P2d}, {P2s})},
        {has({P2d}), 40, mv({P2d}, {P2wP1})},
        {has({P2wP1, P1wP2}), 1, mv({P2wP1, P1wP2}, {P12})},
        {has({P12wM3, M3}), 1, mv({P12wM3, M3}, {P12M3})},
    };
    return net;
}

struct Published {
    int n;
    size_t states;
    size_t transitions;
};

TEST(BenchModelsTest, KanbanMatchesPublishedSizesAndAnIndependentExploration) {
    for (Published p :
         {Published{1, 160, 616}, Published{2, 4600, 28120}, Published{3, 58400, 446400}}) {
        SCOPED_TRACE("Kanban N=" + std::to_string(p.n));
        std::vector<Record> actual = RunProgram("gen_kanban", "kanban", p.n - 1);
        EXPECT_EQ(p.states, actual.size());
        EXPECT_EQ(p.transitions, Transitions(actual));
        ExpectSameRecords(Explore(Kanban(p.n)), actual);
    }
}

TEST(BenchModelsTest, FmsMatchesPublishedSizesAndAnIndependentExploration) {
    for (Published p : {Published{1, 54, 155}, Published{2, 810, 3699}, Published{3, 6520, 37394},
                        Published{4, 35910, 237120}}) {
        SCOPED_TRACE("FMS N=" + std::to_string(p.n));
        std::vector<Record> actual = RunProgram("gen_fms", "fms", p.n - 1);
        EXPECT_EQ(p.states, actual.size());
        EXPECT_EQ(p.transitions, Transitions(actual));
        if (p.n <= 3)
            ExpectSameRecords(Explore(Fms(p.n)), actual);
    }
}

} // namespace
