// The extended state table (gen -x) and the binary state-space file (gen -b): both
// give the very chains and files of the default run, the binary file is read by solve
// to the same numbers, and -x crosses the default table's limit of 12,799,999 states.
#include "common/ChainFormat.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using testsupport::BenchProgram;
using testsupport::GenProgram;
using testsupport::RunResult;
using testsupport::ScratchTest;
using testsupport::TestModel;

std::string Solve() {
    return std::string(GEN_BINARY_DIR) + "/solve";
}

class StorageTest : public ScratchTest {
  protected:
    StorageTest() : ScratchTest("storage") {}

    // Runs `program` for `experiment` under `name` with `options`, expecting success.
    void Generate(const std::string& program, const std::string& experiment,
                  const std::string& name, const std::string& options) {
        const RunResult r = Run(program, "-P./ -N" + name + " -B" + experiment + " " + options);
        ASSERT_EQ(r.status, 0) << program << " " << options << "\n" << r.out << r.err;
    }

    // A binary state-space file of the given header fields and body, written as
    // `name`.armb.
    void WriteBinary(const std::string& name, chainformat::Header h, const std::string& body) {
        std::ofstream out(work / (name + ".armb"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(&h), sizeof h);
        out << body;
    }
};

// Every kind of exploration: plain, with instantaneous activities (recursive and
// -z), with deterministic delays, Erlang phases, the compiled models.
TEST_F(StorageTest, TheExtendedTableAndTheBinaryFileChangeNoFile) {
    const struct {
        std::string program, experiment, options;
        bool markov;
    } runs[] = {
        {GenProgram(), "0", "", false},
        {GenProgram(), "5", "", false},
        {BenchProgram("gen_kanban"), "0", "", true},
        {BenchProgram("gen_kanban"), "2", "", true},
        {BenchProgram("gen_fms"), "1", "", true},
        {BenchProgram("gen_kanban_san"), "1", "", true},
        {BenchProgram("gen_fms_san"), "0", "-z", true},
        {TestModel("storage_counter"), "0", "-Oi:top:70000", true},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.program + " -B" + r.experiment + " " + r.options);
        // With the states file, which reads every state back from the table.
        Generate(r.program, r.experiment, "plain", r.options + " -m");
        Generate(r.program, r.experiment, "extended", r.options + " -x -b -m");
        for (const char* suffix : {".arm", ".var", ".pvtype", ".det", ".rates", ".states"}) {
            EXPECT_EQ(Exists(std::string("plain") + suffix),
                      Exists(std::string("extended") + suffix))
                << suffix;
            EXPECT_TRUE(Output(std::string("plain") + suffix) ==
                        Output(std::string("extended") + suffix))
                << suffix;
        }
        EXPECT_FALSE(Exists("plain.armb"));
        ASSERT_TRUE(Exists("extended.armb"));
        if (!r.markov)
            continue;
        // solve reads the binary form where it stands, to the same numbers.
        const RunResult text = Run(Solve(), "-P./ -Nplain");
        const RunResult binary = Run(Solve(), "-P./ -Nextended");
        ASSERT_EQ(text.status, binary.status) << text.err << binary.err;
        EXPECT_NE(binary.out.find("extended.armb read in"), std::string::npos) << binary.out;
        EXPECT_EQ(Output("plain.csv"), Output("extended.csv"));
    }
}

TEST_F(StorageTest, TheFormsARunDidNotWriteAreRemoved) {
    const std::string kanban = BenchProgram("gen_kanban");
    Generate(kanban, "0", "k", "-b");
    EXPECT_TRUE(Exists("k.arm") && Exists("k.armb"));
    // A later run without -b: a binary file left beside would be read as its chain.
    Generate(kanban, "1", "k", "");
    EXPECT_TRUE(Exists("k.arm"));
    EXPECT_FALSE(Exists("k.armb"));
    Generate(kanban, "1", "k", "-b only");
    EXPECT_FALSE(Exists("k.arm"));
    EXPECT_TRUE(Exists("k.armb"));
    const RunResult r = Run(Solve(), "-P./ -Nk");
    EXPECT_EQ(r.status, 0) << r.err;
    const RunResult bad = Run(kanban, "-P./ -Nk -B0 -bsome");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("ERROR: -b takes no value, or \"only\" (the binary state-space file "
                           "instead of the text one): -bsome"),
              std::string::npos)
        << bad.out;
}

// One fault family: a binary file solve must not read as a chain. Each is refused
// with what is wrong and where, and status 1.
TEST_F(StorageTest, ABrokenBinaryFileIsRefused) {
    // The rewards and types of a chain of two states, whose binary file is replaced
    // below by one of 1 -> 2 at rate 2 and 2 -> 1 at rate 3, then by broken ones.
    Generate(TestModel("storage_counter"), "0", "k", "-bonly -Oi:top:1");
    auto entry = [](uint32_t dest, uint32_t rate) {
        std::string s(8, '\0');
        std::memcpy(&s[0], &dest, 4);
        std::memcpy(&s[4], &rate, 4);
        return s;
    };
    auto count = [](uint32_t n) { return std::string(reinterpret_cast<const char*>(&n), 4); };
    auto rates = [](std::vector<double> r) {
        return std::string(reinterpret_cast<const char*>(r.data()), r.size() * 8);
    };
    auto header = [](uint64_t states, uint64_t entries, uint32_t distinct) {
        chainformat::Header h;
        std::memcpy(h.magic, chainformat::kMagic, 8);
        h.version = chainformat::kVersion;
        h.fileType = 1;
        h.states = states;
        h.entries = entries;
        h.rateTableOffset = sizeof h + states * 4 + entries * 8;
        h.rates = distinct;
        h.reserved = 0;
        return h;
    };
    const std::string good = count(1) + entry(2, 0) + count(1) + entry(1, 1) + rates({2.0, 3.0});
    chainformat::Header badMagic = header(2, 2, 2);
    badMagic.magic[0] = 'X';
    chainformat::Header badVersion = header(2, 2, 2);
    badVersion.version = 7;
    chainformat::Header tooMany = header(3, 2, 2);
    const struct {
        chainformat::Header h;
        std::string body, message;
    } cases[] = {
        {header(2, 2, 2), good, ""},
        {badMagic, good, "not a binary state-space file (no \"GENCHAIN\" at its start) (byte 0)"},
        {badVersion, good,
         "binary state-space format version 7 is not known (this solver reads version 1)"},
        {tooMany, good, "the header's counts (3 states, 2 entries, 2 rates) do not match"},
        {header(2, 2, 2), good.substr(0, good.size() - 8),
         "the header's counts (2 states, 2 entries, 2 rates) do not match the file's size of 80 "
         "bytes (byte 16)"},
        {header(2, 2, 2), count(1) + entry(3, 0) + count(1) + entry(1, 1) + rates({2.0, 3.0}),
         "destination state 3 is out of range 1 to 2 (byte 52)"},
        {header(2, 2, 2), count(1) + entry(2, 5) + count(1) + entry(1, 1) + rates({2.0, 3.0}),
         "rate index 5 is outside the table of 2 rates (byte 56)"},
        {header(2, 2, 2), count(1) + entry(2, 0) + count(1) + entry(1, 1) + rates({2.0, -0.5}),
         "the chain has deterministic delays (the entry -5.0000000000e-01 is a deterministic "
         "firing); it cannot be solved as a Markov chain"},
        {header(2, 2, 2),
         count(1) + entry(2, 0) + count(1) + entry(1, 1) + rates({2.0, 1e308 * 10}),
         "rate 1 of the table is not a finite number"},
        {header(2, 2, 2), count(2) + entry(2, 0) + entry(1, 1) + count(0) + rates({2.0, 3.0}),
         "destination 1 follows destination 2 in the record of state 1: the destinations of a "
         "record are ascending, each once (byte 60)"},
        {header(2, 2, 2), count(3) + entry(2, 0) + entry(1, 1) + count(0) + rates({2.0, 3.0}),
         "the record of state 1 has 3 destinations, more than the file holds (byte 48)"},
        {header(2, 2, 2),
         count(0) + count(1) + entry(1, 1) + count(0) + count(0) + rates({2.0, 3.0}),
         "unexpected bytes after the record of the last state 2 (byte 64)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        WriteBinary("k", c.h, c.body);
        const RunResult r = Run(Solve(), "-P./ -Nk");
        if (c.message.empty()) {
            EXPECT_EQ(r.status, 0) << r.err;
            continue;
        }
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("./k.armb: " + c.message), std::string::npos) << r.err;
    }
}

// Past the default table's limit: a counter up to 13,000,000 has 13,000,001 states
// in a row. The default table stops at 12,799,999 (its own tests show how); the
// extended one numbers them all, in the breadth-first order of the default.
TEST_F(StorageTest, TheExtendedTableCrossesTheDefaultLimit) {
    if (testsupport::kSanitized)
        GTEST_SKIP() << "13 million states take minutes under the sanitizers; the small runs "
                        "above cover the extended table there";
    const RunResult r = Run(TestModel("storage_counter"), "-P./ -Ncounter -B0 -x -bonly",
                            "export GEN_TEST_THREADS=1 && ");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Generated: 13000001 states"), std::string::npos);
    const std::string chain = Output("counter.armb");
    ASSERT_GE(chain.size(), sizeof(chainformat::Header));
    chainformat::Header h;
    std::memcpy(&h, chain.data(), sizeof h);
    EXPECT_EQ(h.states, 13000001u);
    EXPECT_EQ(h.entries, 13000000u);
    // The last state counts to the top and has no way on; the one before leads to it.
    const size_t last = static_cast<size_t>(h.rateTableOffset) - 4;
    uint32_t n = 1;
    std::memcpy(&n, chain.data() + last, 4);
    EXPECT_EQ(n, 0u);
    uint32_t dest = 0;
    std::memcpy(&dest, chain.data() + last - 8, 4);
    EXPECT_EQ(dest, 13000001u);
}

} // namespace
