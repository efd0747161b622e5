#include "model/redundant_flash_systemSAN.h"

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/BaseModelClass.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "model/redundant_flash_studyRangeStudy.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

// Markings in place order: flash_corrupted, replicas_available.
using Marking = std::array<short, 2>;

class RedundantFlashSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BaseActionClass::MaxID = 0;
        PerformanceVariableNode::the_id = 0;
        BaseModelClass::ResetModelIdCounter();
        // The values of experiment 0 of the study.
        flash_size = 64;
        num_replicas = 1;
        power_cycle_rate = 0.03125f;
        ram_size = 128;
        random_failure_rate = 0.005f;
    }

    // Builds the model with num_replicas set to n at construction.
    static std::unique_ptr<redundant_flash_systemSAN> build(short n) {
        num_replicas = n;
        return std::make_unique<redundant_flash_systemSAN>();
    }
    static Marking marks(redundant_flash_systemSAN& m) {
        return {m.flash_corrupted->getMark(), m.replicas_available->getMark()};
    }
    static void setMarks(redundant_flash_systemSAN& m, const Marking& k) {
        m.flash_corrupted->setMark(k[0]);
        m.replicas_available->setMark(k[1]);
    }
    static std::vector<std::string> enabled(redundant_flash_systemSAN& m) {
        std::vector<std::string> names;
        for (int i = 0; i < m.NumActions; i++)
            if (m.Actions[i]->Enabled())
                names.push_back(m.Actions[i]->Name);
        return names;
    }
};

const std::vector<std::string> kLossesOnly = {"seu_case1", "seu_case2", "sefi"};
const std::vector<std::string> kAll = {"seu_case1", "seu_case2", "sefi", "power_cycle"};
const std::vector<std::string> kPowerCycleOnly = {"power_cycle"};
const std::vector<std::string> kNone = {};

TEST_F(RedundantFlashSystemTest, StructureFollowsTheActivityAndPlaceTables) {
    auto m = build(1);
    EXPECT_STREQ(m->Name, "redundant_flash_system");
    EXPECT_EQ(m->ModelId, 1);
    ASSERT_EQ(m->NumStateVariables, 2);
    ASSERT_EQ(m->NumActions, 4);
    ASSERT_EQ(m->NumGroups, 3);
    EXPECT_STREQ(m->Places[0]->getName(), "flash_corrupted");
    EXPECT_STREQ(m->Places[1]->getName(), "replicas_available");

    struct Row {
        const char* name;
        int group;
        int dist;
        int affected;
    };
    const Row rows[] = {{"seu_case1", 0, 1, 1},
                        {"seu_case2", 0, 1, 2},
                        {"sefi", 1, 1, 2},
                        {"power_cycle", 2, 2, 2}};
    BaseActionClass* members[] = {&m->seu_case1, &m->seu_case2, &m->sefi, &m->power_cycle};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(m->Actions[i], members[i]) << "action " << i;
        EXPECT_STREQ(m->Actions[i]->Name, rows[i].name) << "action " << i;
        EXPECT_EQ(m->Actions[i]->GroupID, rows[i].group) << rows[i].name;
        EXPECT_EQ(static_cast<int>(m->Actions[i]->DistributionType), rows[i].dist) << rows[i].name;
        EXPECT_EQ(m->Actions[i]->ID, i) << rows[i].name;
        // Affect arcs: replicas_available first, then flash_corrupted.
        ASSERT_EQ(m->Actions[i]->AffectedSVs.getNumItems(), rows[i].affected) << rows[i].name;
        EXPECT_EQ(m->Actions[i]->AffectedSVs.getItem(0), m->replicas_available) << rows[i].name;
        if (rows[i].affected == 2) {
            EXPECT_EQ(m->Actions[i]->AffectedSVs.getItem(1), m->flash_corrupted) << rows[i].name;
        }
        ASSERT_EQ(m->Actions[i]->EnablingSVs.getNumItems(), 1) << rows[i].name;
        EXPECT_EQ(m->Actions[i]->EnablingSVs.getItem(0), m->replicas_available) << rows[i].name;
    }
    EXPECT_EQ(m->Groups[0], &m->seuGroup);
    EXPECT_EQ(m->Groups[1], &m->sefi);
    EXPECT_EQ(m->Groups[2], &m->power_cycle);
    EXPECT_STREQ(m->seuGroup.Name, "seuGroup");
    ASSERT_EQ(m->seuGroup.NumMembers, 2);
    EXPECT_EQ(m->seuGroup.Members[0], &m->seu_case1);
    EXPECT_EQ(m->seuGroup.Members[1], &m->seu_case2);

    // Storage and Mark, plus one cached pointer per attached activity.
    EXPECT_EQ(m->replicas_available->getSharingCount(), 6);
    EXPECT_EQ(m->flash_corrupted->getSharingCount(), 5);
    EXPECT_EQ(m->sefi.flash_corrupted_Mark, m->flash_corrupted->Mark);
}

TEST_F(RedundantFlashSystemTest, ReplicasStartAtNumReplicasAsItWasAtConstruction) {
    for (short n = 0; n <= 4; n++) {
        auto m = build(n);
        EXPECT_EQ(marks(*m), (Marking{0, n})) << "num_replicas " << n;
        num_replicas = 7; // later changes do not move the initial marking
        EXPECT_EQ(m->replicas_available->getMark(), n) << "num_replicas " << n;
    }
}

TEST_F(RedundantFlashSystemTest, EnablingInTheInitialState) {
    struct Row {
        short n;
        std::vector<std::string> enabled;
    };
    const std::vector<Row> rows = {{0, kNone}, {1, kLossesOnly}, {3, kLossesOnly}};
    for (const Row& r : rows) {
        auto m = build(r.n);
        EXPECT_EQ(enabled(*m), r.enabled) << "num_replicas " << r.n;
    }
}

TEST_F(RedundantFlashSystemTest, FiringSequencesChangeMarkingsAndEnabling) {
    struct Step {
        const char* action;
        Marking after;
        std::vector<std::string> enabledAfter;
    };
    struct Sequence {
        short n;
        std::vector<Step> steps;
    };
    const std::vector<Sequence> sequences = {
        {1,
         {{"seu_case2", {1, 0}, kPowerCycleOnly},
          {"power_cycle", {0, 1}, kLossesOnly},
          {"sefi", {1, 0}, kPowerCycleOnly},
          {"power_cycle", {0, 1}, kLossesOnly}}},
        {3,
         {{"seu_case2", {0, 2}, kAll},
          {"seu_case1", {0, 2}, kAll},
          {"seu_case2", {0, 1}, kAll},
          {"seu_case2", {1, 0}, kPowerCycleOnly},
          {"power_cycle", {0, 3}, kLossesOnly}}},
        {4, {{"sefi", {1, 0}, kPowerCycleOnly}, {"power_cycle", {0, 4}, kLossesOnly}}},
    };
    for (const Sequence& seq : sequences) {
        auto m = build(seq.n);
        for (size_t i = 0; i < seq.steps.size(); i++) {
            const Step& s = seq.steps[i];
            BaseActionClass* a = nullptr;
            for (int j = 0; j < m->NumActions; j++)
                if (std::string(m->Actions[j]->Name) == s.action)
                    a = m->Actions[j];
            ASSERT_NE(a, nullptr) << s.action;
            ASSERT_TRUE(a->Enabled()) << "num_replicas " << seq.n << " step " << i;
            EXPECT_EQ(a->Fire(), a);
            EXPECT_EQ(marks(*m), s.after) << "num_replicas " << seq.n << " step " << i;
            EXPECT_EQ(enabled(*m), s.enabledAfter) << "num_replicas " << seq.n << " step " << i;
        }
    }
}

TEST_F(RedundantFlashSystemTest, FirstSeuCaseAndSefiFromEveryMarking) {
    auto m = build(4);
    for (short k = 1; k <= 4; k++) {
        setMarks(*m, {0, k});
        m->seu_case1.Fire();
        EXPECT_EQ(marks(*m), (Marking{0, k})) << "seu_case1 from " << k;
        m->sefi.Fire();
        EXPECT_EQ(marks(*m), (Marking{1, 0})) << "sefi from " << k;
    }
}

TEST_F(RedundantFlashSystemTest, PowerCycleComparesWithTheCurrentNumReplicas) {
    auto m = build(3);
    setMarks(*m, {0, 2});
    EXPECT_TRUE(m->power_cycle.Enabled());
    num_replicas = 2;
    EXPECT_FALSE(m->power_cycle.Enabled());
    num_replicas = 5;
    setMarks(*m, {1, 5});
    EXPECT_FALSE(m->power_cycle.Enabled());
    setMarks(*m, {1, 4});
    ASSERT_TRUE(m->power_cycle.Enabled());
    m->power_cycle.Fire();
    EXPECT_EQ(marks(*m), (Marking{0, 5}));
    // Signed comparison: a negative marking is below any non-negative count.
    setMarks(*m, {0, -1});
    EXPECT_TRUE(m->power_cycle.Enabled());
    EXPECT_FALSE(m->seu_case1.Enabled());
    EXPECT_FALSE(m->sefi.Enabled());
}

TEST_F(RedundantFlashSystemTest, SeuWeightsGrowWithCopiesAndFlashSize) {
    auto m = build(4);
    const double expected[] = {0, 0.125, 0.25, 0.375, 0.5};
    for (short k = 0; k <= 4; k++) {
        setMarks(*m, {0, k});
        EXPECT_EQ(m->seu_case2.Weight(), expected[k]) << "copies " << k;
        EXPECT_EQ(m->seu_case1.Weight(), 1.0 - expected[k]) << "copies " << k;
        EXPECT_EQ(m->sefi.Weight(), 1.0);
        EXPECT_EQ(m->power_cycle.Weight(), 1.0);
    }
    flash_size = 128;
    setMarks(*m, {0, 3});
    EXPECT_EQ(m->seu_case2.Weight(), 0.75);
    EXPECT_EQ(m->seu_case1.Weight(), 0.25);
    // Double precision: the float product 3 * 1e-6 / 512 is not what double gives.
    flash_size = 1e-6f;
    EXPECT_EQ(m->seu_case2.Weight(), 3.0 * static_cast<double>(1e-6f) / 512);
    EXPECT_LT(m->seu_case1.Weight(), 1.0);
}

TEST_F(RedundantFlashSystemTest, RatesAndDistributionParameters) {
    auto m = build(2);
    struct Row {
        BaseActionClass* action;
        double rate;
    };
    const Row rows[] = {{&m->seu_case1, 1.5e-16}, {&m->seu_case2, 1.5e-16}, {&m->sefi, 0.00274}};
    for (const Row& r : rows) {
        EXPECT_EQ(r.action->Rate(), r.rate) << r.action->Name;
        double* p = r.action->ReturnDistributionParameters();
        ASSERT_NE(p, nullptr) << r.action->Name;
        EXPECT_EQ(p[0], r.rate) << r.action->Name;
        EXPECT_GT(r.action->SampleDistribution(), 0.0) << r.action->Name;
    }
    for (BaseActionClass* a :
         {static_cast<BaseActionClass*>(&m->seu_case1),
          static_cast<BaseActionClass*>(&m->seu_case2), static_cast<BaseActionClass*>(&m->sefi),
          static_cast<BaseActionClass*>(&m->power_cycle)}) {
        EXPECT_EQ(a->Rank(), 1) << a->Name;
        EXPECT_FALSE(a->ReactivationPredicate()) << a->Name;
        EXPECT_FALSE(a->ReactivationFunction()) << a->Name;
    }

    // power_cycle_rate is the deterministic delay itself, read when asked.
    for (float delay : {0.03125f, 8.0f, 0.1f}) {
        power_cycle_rate = delay;
        EXPECT_EQ(m->power_cycle.Rate(), 0.0);
        EXPECT_EQ(m->power_cycle.SampleDistribution(), static_cast<double>(delay));
        double* p = m->power_cycle.ReturnDistributionParameters();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p[0], static_cast<double>(delay)) << "delay " << delay;
    }
}

TEST_F(RedundantFlashSystemTest, SeuGroupProbabilitiesFollowTheMarking) {
    auto m = build(3);
    EXPECT_DOUBLE_EQ(m->seuGroup.Probability(&m->seu_case2), 0.375);
    EXPECT_DOUBLE_EQ(m->seuGroup.Probability(&m->seu_case1), 0.625);
    setMarks(*m, {0, 1});
    EXPECT_DOUBLE_EQ(m->seuGroup.Probability(&m->seu_case2), 0.125);
}

} // namespace
