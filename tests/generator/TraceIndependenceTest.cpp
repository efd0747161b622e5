// Without a trace the generator records the stable states reached from a state only
// once all of that state's firings are done, on another thread; with a trace it
// records each as it is reached, so that the trace entries come in firing order. The
// files must not tell the two apart. Runs the Kanban and FMS programs (FMS has
// instantaneous activities) untraced and traced at level 1 and compares the
// state-space, reward and type files byte for byte.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Runs `program` twice, once with `options`, and compares the files of the two runs.
void ExpectSameFiles(const std::string& program, const std::string& name, int experiment,
                     const std::string& options) {
    testsupport::ScratchDir dir("traceindependence");
    ASSERT_TRUE(dir.Ready()) << "cannot create a temporary directory";
    const std::string path = testsupport::BenchProgram(program);
    const std::string base = "-P" + dir.Work().string() + "/ -B" + std::to_string(experiment);
    const std::string plain = base + " -Nplain";
    const std::string traced = base + " -Ntraced " + options;
    ASSERT_EQ(0, dir.Run(path, plain).status) << path << " " << plain;
    ASSERT_EQ(0, dir.Run(path, traced).status) << path << " " << traced;
    for (const char* suffix : {".arm", ".var", ".pvtype", ".rates"}) {
        const std::string a = dir.Output(std::string("plain") + suffix);
        EXPECT_FALSE(a.empty()) << suffix;
        EXPECT_EQ(a, dir.Output(std::string("traced") + suffix)) << name << suffix;
    }
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
