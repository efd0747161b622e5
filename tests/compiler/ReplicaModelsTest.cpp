// Replicas whose number the study sets, and which read their own index: the polling
// system of docs/examples/polling, one model file for N = 3, 5 and 10 stations, against
// the published sizes of its chain and against the same chain written out by hand.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using testsupport::Lines;

using testsupport::ReadFile;

class ReplicaModelsTest : public testsupport::ScratchTest {
  protected:
    ReplicaModelsTest() : ScratchTest("replicatest") {}
};

// Per state of an .arm file, its (destination, rate) records in file order.
using Chain = std::vector<std::vector<std::pair<int, std::string>>>;

Chain ReadChain(const std::string& arm) {
    const std::vector<std::string> lines = Lines(arm);
    Chain chain;
    if (lines.size() < 3)
        return chain;
    const int states = std::stoi(lines[1]);
    size_t k = 3;
    for (int s = 1; s <= states && k < lines.size(); s++) {
        EXPECT_EQ(std::stoi(lines[k]), s);
        k++;
        chain.emplace_back();
        while (k + 1 < lines.size() && lines[k] != "0") {
            chain.back().emplace_back(std::stoi(lines[k]), lines[k + 1]);
            k += 2;
        }
        k++;
    }
    return chain;
}

size_t Transitions(const Chain& chain) {
    size_t n = 0;
    for (const auto& records : chain)
        n += records.size();
    return n;
}

// The marking of each state of a `-mall` states file, with every place renamed by
// `rename` to a name both models give it.
template <class F> std::vector<std::string> Markings(const std::string& states, F rename) {
    std::vector<std::string> markings;
    for (const std::string& line : Lines(states)) {
        std::istringstream in(line);
        std::string number;
        in >> number;
        std::map<std::string, std::string> places;
        for (std::string item; in >> item;) {
            const size_t eq = item.find('=');
            places[rename(item.substr(0, eq))] = item.substr(eq + 1);
        }
        std::string marking;
        for (const auto& [name, value] : places)
            marking += name + "=" + value + " ";
        markings.push_back(marking);
    }
    return markings;
}

// Per state of a .var file, its values, with the number of variables from its head.
std::vector<std::vector<std::string>> ReadRewards(const std::string& var, size_t variables) {
    const std::vector<std::string> lines = Lines(var);
    std::vector<std::vector<std::string>> values;
    for (size_t k = variables; k + 2 * variables < lines.size(); k += 1 + 2 * variables)
        values.emplace_back(lines.begin() + static_cast<long>(k) + 1,
                            lines.begin() + static_cast<long>(k + 1 + 2 * variables));
    return values;
}

// Both ways of writing the system, replicas of a station and activity families over
// an array of buffers, each one file for every N.
TEST_F(ReplicaModelsTest, OneModelFileGivesThePublishedChainsForEveryNumberOfStations) {
    const struct {
        int experiment;
        int stations;
        size_t states;
        size_t transitions;
    } kSizes[] = {{0, 3, 36, 84}, {1, 5, 240, 800}, {2, 10, 15360, 89600}};
    for (const char* model : {"polling_replica", "polling_family"}) {
        for (const auto& size : kSizes) {
            SCOPED_TRACE(std::string(model) + " " + std::to_string(size.stations));
            const std::string name = std::string(model) + std::to_string(size.stations);
            testsupport::RunResult r =
                Run(testsupport::TestModel(model),
                    "-P./ -N" + name + " -B" + std::to_string(size.experiment));
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_NE(r.out.find("N\tint\t" + std::to_string(size.stations) + "\n"),
                      std::string::npos);
            const Chain chain = ReadChain(Output(name + ".arm"));
            EXPECT_EQ(chain.size(), size.states);
            EXPECT_EQ(Transitions(chain), size.transitions);
        }
    }
}

// A family fires its activities element by element, in the order the hand-written
// model lists arrive0, arrive1, ...: the states are numbered alike and every file is
// the same, byte for byte.
TEST_F(ReplicaModelsTest, AFamilyWritesTheFilesOfTheModelWrittenOutByHand) {
    ASSERT_EQ(Run(testsupport::TestModel("polling_family"), "-P./ -Nf -B0").status, 0);
    ASSERT_EQ(Run(testsupport::TestModel("polling_unrolled"), "-P./ -Nu -B0").status, 0);
    for (const char* suffix : {".arm", ".var", ".rates", ".pvtype"}) {
        SCOPED_TRACE(suffix);
        const std::string f = Output(std::string("f") + suffix);
        ASSERT_FALSE(f.empty());
        EXPECT_TRUE(f == Output(std::string("u") + suffix)) << "differs";
    }
}

// The two models number their states differently (the replicated one fires station
// by station, the hand-written one arrival by arrival), so the chains are compared
// through the states' markings: the states must correspond one to one, and each
// pair must have the same transitions, at the same rates, to corresponding states,
// and the same rewards.
TEST_F(ReplicaModelsTest, ReplicasGiveTheChainOfTheModelWrittenOutByHand) {
    ASSERT_EQ(Run(testsupport::TestModel("polling_replica"), "-P./ -Nr -B0 -mall").status, 0);
    ASSERT_EQ(Run(testsupport::TestModel("polling_unrolled"), "-P./ -Nu -B0 -mall").status, 0);
    // station[k].buffer is the hand-written model's bk; at and serving are shared.
    const std::vector<std::string> r = Markings(Output("r.states"), [](const std::string& n) {
        if (n.rfind("station[", 0) == 0 && n.size() > 9)
            return "b" + n.substr(8, n.find(']') - 8);
        return n;
    });
    const std::vector<std::string> u =
        Markings(Output("u.states"), [](const std::string& n) { return n; });
    ASSERT_EQ(r.size(), 36u);
    ASSERT_EQ(u.size(), r.size());
    EXPECT_EQ(r.front(), "at=0 b0=0 b1=0 b2=0 serving=0 ");
    std::map<std::string, int> unrolled;
    for (size_t k = 0; k < u.size(); k++)
        unrolled[u[k]] = static_cast<int>(k);
    ASSERT_EQ(unrolled.size(), u.size()) << "two states of one marking";
    std::vector<int> image; // state k of the replicas is state image[k] of the other
    for (const std::string& m : r) {
        auto found = unrolled.find(m);
        ASSERT_NE(found, unrolled.end()) << m;
        image.push_back(found->second);
    }
    EXPECT_EQ(std::set<int>(image.begin(), image.end()).size(), image.size());

    const Chain cr = ReadChain(Output("r.arm"));
    const Chain cu = ReadChain(Output("u.arm"));
    ASSERT_EQ(cr.size(), r.size());
    ASSERT_EQ(cu.size(), u.size());
    const auto rr = ReadRewards(Output("r.var"), 2);
    const auto ru = ReadRewards(Output("u.var"), 2);
    ASSERT_EQ(rr.size(), r.size());
    ASSERT_EQ(ru.size(), u.size());
    for (size_t k = 0; k < cr.size(); k++) {
        std::set<std::pair<int, std::string>> mapped;
        for (const auto& [to, rate] : cr[k])
            mapped.emplace(image[static_cast<size_t>(to - 1)] + 1, rate);
        const auto& other = cu[static_cast<size_t>(image[k])];
        EXPECT_EQ(mapped, (std::set<std::pair<int, std::string>>(other.begin(), other.end())))
            << "state " << k + 1 << ": " << r[k];
        EXPECT_EQ(rr[k], ru[static_cast<size_t>(image[k])]) << "state " << k + 1 << ": " << r[k];
    }
}

// A family with cases: its activities and their cases fire in the order of the
// activities written out by hand (work0_case1, work0_case2, work1_case1, ...), with
// each element's rate and case probabilities.
TEST_F(ReplicaModelsTest, AFamilyWithCasesWritesTheFilesOfItsActivitiesWrittenOutByHand) {
    testsupport::RunResult r = Run(testsupport::TestModel("cases_family"), "-P./ -Nf -B0 -l1");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Firing Action: work[2]_case1\n"), std::string::npos);
    ASSERT_EQ(Run(testsupport::TestModel("cases_unrolled"), "-P./ -Nu -B0").status, 0);
    for (const char* suffix : {".arm", ".var", ".rates", ".pvtype"}) {
        SCOPED_TRACE(suffix);
        const std::string f = Output(std::string("f") + suffix);
        ASSERT_FALSE(f.empty());
        EXPECT_TRUE(f == Output(std::string("u") + suffix)) << "differs";
    }
    EXPECT_EQ(ReadChain(Output("f.arm")).size(), 20u);
}

// Each replica reads its own index: cell k starts with k + 1 tokens, drains at rate
// 1 + k, into the pool with probability 1 for k = 0 and 0.5 otherwise, and only probe 1
// looks (rate 3). The cells of the pairs take the index of their pair. The reward sums
// the tokens of every cell: 1 + ... + K and 1 + 2 from the pairs.
TEST_F(ReplicaModelsTest, EachReplicaReadsItsIndexInEveryKindOfExpression) {
    const struct {
        int experiment;
        const char* initial;
        std::vector<std::pair<int, std::string>> first;
        const char* total;
    } kRuns[] = {
        {0,
         "1 cell[0].tokens=1 cell[1].tokens=2 pair[0].cell.tokens=1 pair[0].probe.seen=0 "
         "pair[1].cell.tokens=2 pair[1].probe.seen=0 pool=0",
         {{2, "1.0000000000e+00"},
          {3, "1.0000000000e+00"},
          {4, "1.0000000000e+00"},
          {5, "1.0000000000e+00"},
          {6, "1.0000000000e+00"},
          {7, "1.0000000000e+00"},
          {8, "3.0000000000e+00"}},
         "6"},
        {1,
         "1 cell[0].tokens=1 cell[1].tokens=2 cell[2].tokens=3 cell[3].tokens=4 "
         "pair[0].cell.tokens=1 pair[0].probe.seen=0 pair[1].cell.tokens=2 "
         "pair[1].probe.seen=0 pool=0",
         {{2, "1.0000000000e+00"},
          {3, "1.0000000000e+00"},
          {4, "1.0000000000e+00"},
          {5, "1.5000000000e+00"},
          {6, "1.5000000000e+00"},
          {7, "2.0000000000e+00"},
          {8, "2.0000000000e+00"},
          {9, "1.0000000000e+00"},
          {10, "1.0000000000e+00"},
          {11, "1.0000000000e+00"},
          {12, "3.0000000000e+00"}},
         "13"},
    };
    for (const auto& run : kRuns) {
        SCOPED_TRACE(run.experiment);
        const std::string name = "q" + std::to_string(run.experiment);
        testsupport::RunResult r =
            Run(testsupport::TestModel("replica_features"),
                "-P./ -N" + name + " -mall -B" + std::to_string(run.experiment));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(Lines(Output(name + ".states")).front(), run.initial);
        const Chain chain = ReadChain(Output(name + ".arm"));
        ASSERT_FALSE(chain.empty());
        EXPECT_EQ(chain.front(), run.first);
        const std::vector<std::string> var = Lines(Output(name + ".var"));
        ASSERT_GE(var.size(), 4u);
        EXPECT_EQ(var[1], "1");
        EXPECT_EQ(var[3], run.total);
    }
}

// K = 2 blocks of two cells each: the cells of a block are replicas 0 and 1 and fill
// each slot at rates 1 and 2 from the block's spare, so from the start each of the six
// (block, slot) moves has rate 3. Two tokens in five places: 15 states.
TEST_F(ReplicaModelsTest, NestedReplicasShareAnArrayAndTheirFamiliesReadTheirIndex) {
    testsupport::RunResult r = Run(testsupport::TestModel("replica_nested"), "-P./ -Nn -mall -B0");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(Output("n.states")).front(),
              "1 block[0].spare=1 block[1].spare=1 slots[0]=0 slots[1]=0 slots[2]=0");
    const Chain chain = ReadChain(Output("n.arm"));
    ASSERT_EQ(chain.size(), 15u);
    EXPECT_EQ(Transitions(chain), 60u);
    const std::vector<std::pair<int, std::string>> first = {
        {2, "3.0000000000e+00"}, {3, "3.0000000000e+00"}, {4, "3.0000000000e+00"},
        {5, "3.0000000000e+00"}, {6, "3.0000000000e+00"}, {7, "3.0000000000e+00"}};
    EXPECT_EQ(chain.front(), first);
}

// A count is checked when the model is built, for the experiment's values: a gen run
// overriding N with a count no join can have stops before it explores or writes.
TEST_F(ReplicaModelsTest, ACountBelowOneStopsTheBuildOfTheModel) {
    for (const char* n : {"0", "-3"}) {
        SCOPED_TRACE(n);
        testsupport::RunResult r = Run(testsupport::TestModel("polling_replica"),
                                       std::string("-P./ -Nbad -B0 -Oi:N:") + n);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(std::string("Error: join polling cannot be built: its number of "
                                         "instances of station, N, is ") +
                             n + ", not a whole number from 1 to 1000000\n"),
                  std::string::npos)
            << r.err;
        EXPECT_FALSE(Exists("bad.arm"));
    }
}

} // namespace
