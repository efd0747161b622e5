// Without a trace the generator records the stable states reached from a state only
// once all of that state's firings are done, on another thread; with a trace it
// records each as it is reached, so that the trace entries come in firing order. The
// files must not tell the two apart. Runs the Kanban and FMS programs (FMS has
// instantaneous activities) untraced and traced at level 1 and compares the
// state-space, reward and type files byte for byte.

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

// Runs `program` twice, once with `options`, and compares the files of the two runs.
void ExpectSameFiles(const std::string& program, const std::string& name, int experiment,
                     const std::string& options) {
    char dir[] = "/tmp/traceindependenceXXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    const std::string base = std::string(GEN_BINARY_DIR) + "/bench/" + program + " -P" + dir +
                             "/ -B" + std::to_string(experiment);
    const std::string plain = base + " -Nplain > " + dir + "/plain.out";
    const std::string traced = base + " -Ntraced " + options + " > " + dir + "/traced.out";
    ASSERT_EQ(0, std::system(plain.c_str())) << plain;
    ASSERT_EQ(0, std::system(traced.c_str())) << traced;
    const std::string d(dir);
    for (const char* suffix : {".arm", ".var", ".pvtype"}) {
        const std::string a = ReadFile(d + "/plain" + suffix);
        EXPECT_FALSE(a.empty()) << suffix;
        EXPECT_EQ(a, ReadFile(d + "/traced" + suffix)) << name << suffix;
    }
    std::system(("rm -rf " + d).c_str());
}

void ExpectSameFilesTracedOrNot(const std::string& program, const std::string& name,
                                int experiment) {
    ExpectSameFiles(program, name, experiment, "-l1 -t/dev/null");
}

TEST(TraceIndependenceTest, KanbanFilesAreTheSameTracedOrNot) {
    ExpectSameFilesTracedOrNot("gen_kanban", "kanban", 1);
}

TEST(TraceIndependenceTest, FmsFilesAreTheSameTracedOrNot) {
    ExpectSameFilesTracedOrNot("gen_fms", "fms", 1);
}

} // namespace

// With -a every state is recorded before the next is explored, by the thread that
// fires (the absorbing-state report shows the model as its exploration left it);
// without it, one thread fires while another records. Neither model has an absorbing
// state, so the files must be the same.
TEST(ExplorationPathsTest, KanbanFilesAreTheSameWithTheAbsorbingReport) {
    ExpectSameFiles("gen_kanban", "kanban", 2, "-a");
}

TEST(ExplorationPathsTest, FmsFilesAreTheSameWithTheAbsorbingReport) {
    ExpectSameFiles("gen_fms", "fms", 2, "-a");
}
