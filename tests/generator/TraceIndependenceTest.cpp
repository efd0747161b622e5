// Without a trace the generator records the stable states reached from a state only
// once all of that state's firings are done; with a trace it records each as it is
// reached, so that the trace entries come in firing order. The files must not tell
// the two apart. Runs the Kanban and FMS programs (FMS has instantaneous activities)
// untraced and traced at level 1 and compares the state-space, reward and type
// files byte for byte.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void ExpectSameFilesTracedOrNot(const std::string& program, const std::string& name,
                                int experiment) {
    char dir[] = "/tmp/traceindependenceXXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    const std::string base = std::string(GEN_BINARY_DIR) + "/bench/" + program + " -P" + dir +
                             "/ -B" + std::to_string(experiment);
    const std::string plain = base + " -Nplain > " + dir + "/plain.out";
    const std::string traced =
        base + " -Ntraced -l1 -t" + dir + "/traced.trace > " + dir + "/traced.out";
    ASSERT_EQ(0, std::system(plain.c_str())) << plain;
    ASSERT_EQ(0, std::system(traced.c_str())) << traced;
    const std::string d(dir);
    for (const char* suffix : {".arm", ".var", ".pvtype"}) {
        const std::string a = ReadFile(d + "/plain" + suffix);
        EXPECT_FALSE(a.empty()) << suffix;
        EXPECT_EQ(a, ReadFile(d + "/traced" + suffix)) << name << suffix;
    }
    EXPECT_FALSE(ReadFile(d + "/traced.trace").empty());
    std::system(("rm -rf " + d).c_str());
}

TEST(TraceIndependenceTest, KanbanFilesAreTheSameTracedOrNot) {
    ExpectSameFilesTracedOrNot("gen_kanban", "kanban", 1);
}

TEST(TraceIndependenceTest, FmsFilesAreTheSameTracedOrNot) {
    ExpectSameFilesTracedOrNot("gen_fms", "fms", 1);
}

} // namespace
