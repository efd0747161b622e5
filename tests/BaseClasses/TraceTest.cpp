#include "BaseClasses/TraceFile.h"
#include "BaseClasses/TraceFileContainer.h"
#include "BaseClasses/TraceFileKestroSSG.h"

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/PVModel.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/BaseStateVariableClass.h"
#include "BaseClasses/state/Place.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class FakeVar : public BaseStateVariableClass {
  public:
    FakeVar(const char* name, int value) : BaseStateVariableClass(name, ""), value(value) {}
    int StateSize() override { return 0; }
    void SetState(void*) override {}
    void CurrentState(void*) override {}
    void share(BaseStateVariableClass*) override {}
    void printStateVal(std::ostream* s) override { *s << value; }
    int value;
};

// A model node: atomic (with variables) or composed (children, no variable array).
class FakeModel : public BaseModelClass {
  public:
    FakeModel(const char* name, std::vector<BaseStateVariableClass*> vars, bool atomic)
        : vars(std::move(vars)), atomic(atomic) {
        DefineName(name);
        NumStateVariables = static_cast<int>(this->vars.size());
    }
    void listModels(const char*, List<BaseModelClass>*) override {}
    void CurrentState(void*) override {}
    void listActions(List<BaseActionClass>*) override {}
    void listGroups(List<BaseGroupClass>*) override {}
    void SetState(void*) override {}
    int StateSize() override { return 0; }
    bool CompareState(void*, void*) override { return true; }
    void listActions(const char*, List<BaseActionClass>*) override {}
    void listSVs(const char*, const char*, List<BaseStateVariableClass>*,
                 List<BaseModelClass>*) override {}
    BaseStateVariableClass** GetLocalStateVariables(std::ostream*) override {
        return atomic ? vars.data() : nullptr;
    }
    int GetNumberOfChildren() override { return static_cast<int>(children.size()); }
    BaseModelClass* GetChild(int i) override { return children[i]; }

    std::vector<BaseStateVariableClass*> vars;
    std::vector<BaseModelClass*> children;
    bool atomic;
};

// The fixture owns the model tree, so it is detached before the base destructor.
class TracePV : public PVModel {
  public:
    ~TracePV() override { TopModel = nullptr; }
    PerformanceVariableNode* createPVNode(int, int) override { return nullptr; }
};

// A group-like action whose enabling state is its first member's.
class GroupLike : public BaseActionClass {
  public:
    GroupLike(BaseActionClass* member)
        : BaseActionClass("group", 0, Exponential, DefaultPolicy, 0, 0, false), member(member) {}
    BaseActionClass* getPrintedAction() override { return member; }
    BaseActionClass* member;
};

// Records what reaches a sink, whatever its level.
class RecordingSink : public TraceFile {
  public:
    void printStr(int level, const char* text) override {
        calls.push_back(std::to_string(level) + ":" + text);
    }
    void printState(BaseModelClass* m) override { dumped.push_back(m); }
    using TraceFile::printState;
    std::vector<std::string> calls;
    std::vector<BaseModelClass*> dumped;
};

const std::string kStars = "**************************************";
const std::string kHeader = kStars + "\n\t\tTRACE\n" + kStars + "\n";

class TraceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BaseModelClass::ResetModelIdCounter();
        pv = new TracePV; // model 1
        join = new FakeModel("Join", {}, false);
        ram = new FakeModel("ram_system", {&flash, &working}, true);
        store = new FakeModel("store", {&replicas}, true);
        join->children = {ram, store};
        pv->TopModel = join;
        failure.EnablingSVs.append(&working);
        failure.EnablingSVs.append(&flash);
    }
    void TearDown() override {
        delete pv;
        delete store;
        delete ram;
        delete join;
    }

    FakeVar flash{"flash_corrupted", 0}, working{"ram_working", 1}, replicas{"replicas", 3};
    TracePV* pv = nullptr;
    FakeModel *join = nullptr, *ram = nullptr, *store = nullptr;
    BaseActionClass failure{"failure", 0, Exponential, DefaultPolicy, 0, 0, false};

    const std::string dump = "  Model: (2)Join\n"
                             "  Model: (3)ram_system\n"
                             "    flash_corrupted = 0\n"
                             "    ram_working = 1\n"
                             "  Model: (4)store\n"
                             "    replicas = 3\n";
};

TEST_F(TraceTest, SinkStartsAtLevelOne) {
    std::ostringstream out;
    TraceFileKestroSSG sink(&out);
    TraceFileContainer container;
    EXPECT_EQ(sink.getTraceLevel(), 1);
    EXPECT_EQ(container.getTraceLevel(), 1);
    EXPECT_EQ(container.thePVModel, nullptr);
    EXPECT_TRUE(container.traceFiles.empty());
    sink.setTraceLevel(3);
    EXPECT_EQ(sink.traceLevel, 3);
}

TEST_F(TraceTest, LevelsDecideWhichEntriesAreWritten) {
    // Each entry with the lowest sink level that writes it (0: written at any level).
    const struct {
        int level;
        std::string text;
    } entries[] = {
        {0, kHeader},
        {1, "Firing Action: failure\n"},
        {2, "Enabling state before action firing:\n  ram_working = 1\n  flash_corrupted = 0\n"},
        {0, "State after firing action: failure\n"},
        {0, "##### NEW BATCH #####\n"},
        {1, "State Number = 17\n"},
        {3, "Enabled: failure\n"},
        {4, "The rate to this state: 0.500000\n"},
        {4, "Checking Action: failure\n"},
        {0, dump},
        {0, "Initial Model State:\n" + dump},
    };
    for (int level = 0; level <= 4; level++) {
        std::ostringstream out;
        TraceFileKestroSSG sink(&out);
        sink.setTraceLevel(level);
        TraceFileContainer trace;
        trace.setTraceLevel(0); // the container's own level plays no part
        trace.AddTraceFile(&sink);
        trace.addPVModel(pv);

        trace.printHeader();
        trace.printFireAction(&failure, 2.5);
        trace.printPreFireAction(&failure);
        trace.printPostFireAction(&failure, nullptr);
        trace.newBatch();
        trace.printf(1, "State Number = %d", 17);
        trace.printStr(3, "Enabled: failure");
        trace.printf(4, "The rate to this state: %f", 0.5);
        trace.printf(4, "Checking Action: %s", failure.getName());
        trace.printFooter();
        trace.printState();
        trace.printInitialState();

        std::string expected;
        for (const auto& e : entries)
            if (e.level <= level)
                expected += e.text;
        EXPECT_EQ(out.str(), expected) << "trace level " << level;
    }
}

TEST_F(TraceTest, StateDumpWalksTheModelTreeDepthFirst) {
    FakeVar deep{"deep", -4};
    FakeModel inner("inner", {&deep}, true); // model 5
    store->children = {&inner};
    std::ostringstream out;
    TraceFileKestroSSG sink(&out);
    sink.setTraceLevel(0);
    sink.printState(pv);
    EXPECT_EQ(out.str(), dump + "  Model: (5)inner\n    deep = -4\n");
    out.str("");
    sink.printState(static_cast<BaseModelClass*>(ram));
    EXPECT_EQ(out.str(), "  Model: (3)ram_system\n    flash_corrupted = 0\n    ram_working = 1\n");
    store->children.clear();
}

TEST_F(TraceTest, AtomicModelDumpListsPlacesButNotReadOnlyPlaces) {
    Place a("a", 3), b("b", 0), readOnly("ro", 7);
    BaseStateVariableClass* places[] = {&a, &b};
    BaseStateVariableClass* readOnlyPlaces[] = {&readOnly};
    SANModel san; // model 5
    san.initializeSANModelNow("atom", 2, places, 1, readOnlyPlaces, 0, nullptr, 0, nullptr);
    std::ostringstream out;
    TraceFileKestroSSG sink(&out);
    sink.printState(&san);
    EXPECT_EQ(out.str(), "  Model: (5)atom\n    a = 3\n    b = 0\n");
}

TEST_F(TraceTest, PreFireDumpShowsThePrintedActionsEnablingState) {
    GroupLike group(&failure);
    std::ostringstream out;
    TraceFileKestroSSG sink(&out);
    sink.setTraceLevel(2);
    sink.printPreFireAction(&group);
    EXPECT_EQ(out.str(),
              "Enabling state before action firing:\n  ram_working = 1\n  flash_corrupted = 0\n");
}

TEST_F(TraceTest, RateLineAtLevelFourButNotThree) {
    std::ostringstream out3, out4;
    TraceFileKestroSSG sink3(&out3), sink4(&out4);
    sink3.setTraceLevel(3);
    sink4.setTraceLevel(4);
    TraceFileContainer trace;
    trace.AddTraceFile(&sink3);
    trace.AddTraceFile(&sink4);
    trace.printf(4, "The rate to this state: %f", 0.5);
    EXPECT_EQ(out3.str(), "");
    EXPECT_EQ(out4.str(), "The rate to this state: 0.500000\n");
    EXPECT_TRUE(trace.wants(4));
    EXPECT_FALSE(trace.wants(5));
}

TEST_F(TraceTest, SinkAddedTwiceWritesEveryEntryTwice) {
    std::ostringstream out;
    TraceFileKestroSSG sink(&out);
    TraceFileContainer trace;
    trace.AddTraceFile(&sink);
    trace.AddTraceFile(&sink);
    trace.RemoveTraceFile(&sink); // does nothing
    trace.newBatch();
    trace.printf(1, "x=%d", 1);
    trace.printFireAction(&failure, 0.0);
    EXPECT_EQ(out.str(), "##### NEW BATCH #####\n##### NEW BATCH #####\nx=1\nx=1\n"
                         "Firing Action: failure\nFiring Action: failure\n");
}

TEST_F(TraceTest, EmptyContainerAcceptsEveryCallAndWritesNothing) {
    TraceFileContainer trace;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    trace.printHeader();
    trace.printInitialState();
    trace.printState();
    trace.printFooter();
    trace.newBatch();
    trace.printFireAction(&failure, 1.0);
    trace.printPreFireAction(&failure);
    trace.printPostFireAction(&failure, &failure);
    trace.printf(1, "%s", "text");
    trace.printStr(1, "text");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(trace.wants(0));
}

TEST_F(TraceTest, ContainerFormatsOnceAndForwardsLevelsUnfiltered) {
    RecordingSink a, b;
    a.setTraceLevel(0);
    TraceFileContainer trace;
    trace.AddTraceFile(&a);
    trace.AddTraceFile(&b);
    trace.printf(4, "%d-%s-%.2f", 7, "x", 1.5);
    trace.printStr(2, "plain");
    const std::vector<std::string> expected = {"4:7-x-1.50", "2:plain"};
    EXPECT_EQ(a.calls, expected);
    EXPECT_EQ(b.calls, expected);
}

TEST_F(TraceTest, LongFormattedTextIsCutTo1023Characters) {
    RecordingSink sink;
    TraceFileContainer trace;
    trace.AddTraceFile(&sink);
    const std::string longText(2000, 'y');
    trace.printf(1, "%s", longText.c_str());
    ASSERT_EQ(sink.calls.size(), 1u);
    EXPECT_EQ(sink.calls[0], "1:" + std::string(1023, 'y'));
}

TEST_F(TraceTest, ContainerDumpsGoThroughTheRewardModelSlots) {
    RecordingSink sink;
    TraceFileContainer trace;
    trace.AddTraceFile(&sink);
    trace.addPVModel(pv);
    // The base printState(PVModel*) hands the top model to printState(BaseModelClass*).
    trace.printState();
    ASSERT_EQ(sink.dumped.size(), 1u);
    EXPECT_EQ(sink.dumped[0], join);
    // The container's own dump slots do nothing.
    trace.printState(static_cast<BaseModelClass*>(ram));
    trace.printState(pv);
    trace.printHeader(pv);
    EXPECT_EQ(sink.dumped.size(), 1u);
}

TEST_F(TraceTest, BaseSinkWritesNothing) {
    std::ostringstream out;
    TraceFile base(&out);
    base.setTraceLevel(4);
    base.printHeader(pv);
    base.printInitialState(join);
    base.printState(static_cast<BaseModelClass*>(join));
    base.printState(pv);
    base.printFireAction(&failure, 0.0);
    base.printPreFireAction(&failure);
    base.printPostFireAction(&failure, nullptr);
    base.newBatch();
    base.printf(1, "x");
    base.printStr(1, "x");
    EXPECT_EQ(out.str(), "");
}

using testsupport::ReadFile;

TEST_F(TraceTest, TraceFileIsCompleteAfterEveryLine) {
    const std::string path = ::testing::TempDir() + "trace_test.trace";
    {
        std::ofstream old(path);
        old << "old content that must go\n";
    }
    TraceFileKestroSSG sink(path.c_str());
    sink.setTraceLevel(1);
    sink.printHeader(pv);
    EXPECT_EQ(ReadFile(path), kHeader);
    sink.printStr(1, "State Number = 1");
    sink.printStr(2, "dropped");
    EXPECT_EQ(ReadFile(path), kHeader + "State Number = 1\n");
}

TEST_F(TraceTest, UnopenableTraceFileDropsWrites) {
    const std::string path = ::testing::TempDir() + "no_such_directory/t.trace";
    TraceFileKestroSSG sink(path.c_str());
    ASSERT_NE(sink.traceStream, nullptr);
    EXPECT_TRUE(sink.traceStream->fail());
    testing::internal::CaptureStdout();
    sink.printHeader(pv);
    sink.printStr(1, "lost");
    sink.printState(pv);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(sink.traceStream->fail());
}

TEST_F(TraceTest, SinkWithoutStreamDropsWrites) {
    TraceFileKestroSSG sink;
    sink.setTraceLevel(4);
    testing::internal::CaptureStdout();
    sink.printHeader(pv);
    sink.printStr(1, "lost");
    sink.printState(pv);
    sink.printPreFireAction(&failure);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

} // namespace
