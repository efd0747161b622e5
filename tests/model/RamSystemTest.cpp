#include "model/ram_systemSAN.h"

#include "BaseClasses/BaseActionClass.h"
#include "BaseClasses/BaseModelClass.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "model/redundant_flash_studyRangeStudy.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

// Markings in place order: flash_corrupted, ram_working, ram_corrupted, system_failed.
using Marking = std::array<short, 4>;

class RamSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BaseActionClass::MaxID = 0;
        PerformanceVariableNode::the_id = 0;
        BaseModelClass::ResetModelIdCounter();
        // The values every experiment of the study uses.
        ram_size = 128;
        random_failure_rate = 0.005f;
        flash_size = 64;
        num_replicas = 1;
        power_cycle_rate = 0.03125f;
        san = new ram_systemSAN();
    }
    void TearDown() override { delete san; }

    Marking marks() const {
        return {san->flash_corrupted->getMark(), san->ram_working->getMark(),
                san->ram_corrupted->getMark(), san->system_failed->getMark()};
    }
    void setMarks(const Marking& m) {
        san->flash_corrupted->setMark(m[0]);
        san->ram_working->setMark(m[1]);
        san->ram_corrupted->setMark(m[2]);
        san->system_failed->setMark(m[3]);
    }
    // Names of the enabled activities, asked in activity order.
    std::vector<std::string> enabled() {
        std::vector<std::string> names;
        for (int i = 0; i < san->NumActions; i++)
            if (san->Actions[i]->Enabled())
                names.push_back(san->Actions[i]->Name);
        return names;
    }

    ram_systemSAN* san = nullptr;
};

const std::vector<std::string> kErrorsAndRandom = {
    "random_failure", "bit_error_case1", "bit_error_case2", "page_error_case1", "page_error_case2"};

TEST_F(RamSystemTest, StructureFollowsTheActivityAndPlaceTables) {
    EXPECT_STREQ(san->Name, "ram_system");
    EXPECT_EQ(san->ModelId, 1);
    ASSERT_EQ(san->NumStateVariables, 4);
    EXPECT_EQ(san->NumReadOnlyPlaces, 0);
    ASSERT_EQ(san->NumActions, 7);
    ASSERT_EQ(san->NumGroups, 5);

    const char* places[] = {"flash_corrupted", "ram_working", "ram_corrupted", "system_failed"};
    for (int i = 0; i < 4; i++)
        EXPECT_STREQ(san->Places[i]->getName(), places[i]) << "place " << i;
    EXPECT_EQ(marks(), (Marking{0, 1, 0, 0}));

    struct Row {
        const char* name;
        int group;
        int dist;
    };
    const Row rows[] = {{"failure", 4, 18},        {"watchdog_reboot", 0, 2},
                        {"random_failure", 1, 1},  {"bit_error_case1", 2, 1},
                        {"bit_error_case2", 2, 1}, {"page_error_case1", 3, 1},
                        {"page_error_case2", 3, 1}};
    BaseActionClass* members[] = {
        &san->failure,         &san->watchdog_reboot,  &san->random_failure,  &san->bit_error_case1,
        &san->bit_error_case2, &san->page_error_case1, &san->page_error_case2};
    for (int i = 0; i < 7; i++) {
        EXPECT_EQ(san->Actions[i], members[i]) << "action " << i;
        EXPECT_STREQ(san->Actions[i]->Name, rows[i].name) << "action " << i;
        EXPECT_EQ(san->Actions[i]->GroupID, rows[i].group) << rows[i].name;
        EXPECT_EQ(static_cast<int>(san->Actions[i]->DistributionType), rows[i].dist)
            << rows[i].name;
        // Activities are numbered in construction order, before the groups.
        EXPECT_EQ(san->Actions[i]->ID, i) << rows[i].name;
    }

    BaseGroupClass* groups[] = {&san->watchdog_reboot, &san->random_failure, &san->bit_errorGroup,
                                &san->page_errorGroup, &san->failure};
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(san->Groups[i], groups[i]) << "group " << i;
    EXPECT_STREQ(san->bit_errorGroup.Name, "bit_errorGroup");
    EXPECT_STREQ(san->page_errorGroup.Name, "page_errorGroup");
    ASSERT_EQ(san->bit_errorGroup.NumMembers, 2);
    EXPECT_EQ(san->bit_errorGroup.Members[0], &san->bit_error_case1);
    EXPECT_EQ(san->bit_errorGroup.Members[1], &san->bit_error_case2);
    ASSERT_EQ(san->page_errorGroup.NumMembers, 2);
    EXPECT_EQ(san->page_errorGroup.Members[0], &san->page_error_case1);
    EXPECT_EQ(san->page_errorGroup.Members[1], &san->page_error_case2);
}

TEST_F(RamSystemTest, ArcsAreRecordedInTheirOrder) {
    struct Row {
        BaseActionClass* action;
        std::vector<BaseStateVariableClass*> affected;
        std::vector<BaseStateVariableClass*> enabling;
    };
    Place* fc = san->flash_corrupted;
    Place* rw = san->ram_working;
    Place* rc = san->ram_corrupted;
    Place* sf = san->system_failed;
    const std::vector<Row> rows = {
        {&san->failure, {sf}, {fc, rc, sf}},     {&san->watchdog_reboot, {rw, rc}, {rc}},
        {&san->random_failure, {rc}, {rc}},      {&san->bit_error_case1, {rw}, {rw}},
        {&san->bit_error_case2, {rw, rc}, {rw}}, {&san->page_error_case1, {rw}, {rw}},
        {&san->page_error_case2, {rw, rc}, {rw}}};
    for (const Row& r : rows) {
        ASSERT_EQ(r.action->AffectedSVs.getNumItems(), static_cast<int>(r.affected.size()))
            << r.action->Name;
        for (size_t j = 0; j < r.affected.size(); j++)
            EXPECT_EQ(r.action->AffectedSVs.getItem(static_cast<int>(j)), r.affected[j])
                << r.action->Name << " affected " << j;
        ASSERT_EQ(r.action->EnablingSVs.getNumItems(), static_cast<int>(r.enabling.size()))
            << r.action->Name;
        for (size_t j = 0; j < r.enabling.size(); j++)
            EXPECT_EQ(r.action->EnablingSVs.getItem(static_cast<int>(j)), r.enabling[j])
                << r.action->Name << " enabling " << j;
    }
    // Affecting lists of the places, in arc order.
    ASSERT_EQ(rc->getNumAffectingActions(), 4);
    EXPECT_EQ(rc->getAffectingAction(0), &san->watchdog_reboot);
    EXPECT_EQ(rc->getAffectingAction(1), &san->random_failure);
    EXPECT_EQ(rc->getAffectingAction(2), &san->bit_error_case2);
    EXPECT_EQ(rc->getAffectingAction(3), &san->page_error_case2);
    EXPECT_EQ(fc->getNumAffectingActions(), 0);
}

TEST_F(RamSystemTest, EveryActivityRegistersItsCachedMarkingPointers) {
    // Two references of the place itself (storage and Mark), one per attached activity.
    EXPECT_EQ(san->flash_corrupted->getSharingCount(), 3);
    EXPECT_EQ(san->ram_working->getSharingCount(), 7);
    EXPECT_EQ(san->ram_corrupted->getSharingCount(), 7);
    EXPECT_EQ(san->system_failed->getSharingCount(), 3);
    EXPECT_EQ(san->failure.flash_corrupted, san->flash_corrupted);
    EXPECT_EQ(san->failure.flash_corrupted_Mark, san->flash_corrupted->Mark);
    EXPECT_EQ(san->watchdog_reboot.ram_working_Mark, san->ram_working->Mark);
    EXPECT_EQ(san->page_error_case2.ram_corrupted_Mark, san->ram_corrupted->Mark);
}

TEST_F(RamSystemTest, InitiallyOnlyTheErrorsAndTheRandomFailureAreEnabled) {
    EXPECT_EQ(enabled(), kErrorsAndRandom);
}

TEST_F(RamSystemTest, FiringSequencesChangeMarkingsAndEnabling) {
    struct Step {
        BaseActionClass* action;
        Marking after;
        std::vector<std::string> enabledAfter;
    };
    struct Sequence {
        const char* label;
        std::vector<Step> steps;
    };
    const std::vector<std::string> onlyReboot = {"watchdog_reboot"};
    const std::vector<std::string> errorsAndReboot = {"watchdog_reboot", "bit_error_case1",
                                                      "bit_error_case2", "page_error_case1",
                                                      "page_error_case2"};
    const std::vector<Sequence> sequences = {
        {"bit error corrupts, reboot repairs",
         {{&san->bit_error_case2, {0, 0, 1, 0}, onlyReboot},
          {&san->watchdog_reboot, {0, 1, 0, 0}, kErrorsAndRandom}}},
        {"page error corrupts",
         {{&san->page_error_case2, {0, 0, 1, 0}, onlyReboot},
          {&san->watchdog_reboot, {0, 1, 0, 0}, kErrorsAndRandom}}},
        {"random failure keeps ram_working, reboot resets to 0 not by 1",
         {{&san->random_failure, {0, 1, 1, 0}, errorsAndReboot},
          {&san->bit_error_case2, {0, 0, 2, 0}, onlyReboot},
          {&san->watchdog_reboot, {0, 1, 0, 0}, kErrorsAndRandom}}},
        {"first cases change nothing",
         {{&san->bit_error_case1, {0, 1, 0, 0}, kErrorsAndRandom},
          {&san->page_error_case1, {0, 1, 0, 0}, kErrorsAndRandom}}},
    };
    for (const Sequence& seq : sequences) {
        setMarks({0, 1, 0, 0});
        for (size_t i = 0; i < seq.steps.size(); i++) {
            const Step& s = seq.steps[i];
            ASSERT_TRUE(s.action->Enabled()) << seq.label << " step " << i;
            EXPECT_EQ(s.action->Fire(), s.action) << seq.label << " step " << i;
            EXPECT_EQ(marks(), s.after) << seq.label << " step " << i;
            EXPECT_EQ(enabled(), s.enabledAfter) << seq.label << " step " << i;
        }
    }
}

TEST_F(RamSystemTest, FailureNeedsBothCorruptionsAndFiresOnce) {
    struct Row {
        Marking m;
        bool enabled;
    };
    const Row rows[] = {{{0, 0, 0, 0}, false}, {{1, 0, 0, 0}, false}, {{0, 0, 1, 0}, false},
                        {{1, 0, 1, 0}, true},  {{2, 1, 3, 0}, true},  {{1, 0, 1, 1}, false},
                        {{-1, 0, 1, 0}, false}};
    for (const Row& r : rows) {
        setMarks(r.m);
        EXPECT_EQ(san->failure.Enabled(), r.enabled)
            << "markings " << r.m[0] << " " << r.m[1] << " " << r.m[2] << " " << r.m[3];
    }

    setMarks({1, 0, 1, 0});
    ASSERT_TRUE(san->failure.Enabled());
    EXPECT_EQ(san->failure.Fire(), &san->failure);
    EXPECT_EQ(marks(), (Marking{1, 0, 1, 1}));
    EXPECT_FALSE(san->failure.Enabled());
    EXPECT_EQ(enabled(), std::vector<std::string>{"watchdog_reboot"});
}

TEST_F(RamSystemTest, EnabledShiftsTheCurrentIntoThePreviousFlag) {
    setMarks({0, 1, 0, 0});
    san->watchdog_reboot.Enabled();
    EXPECT_FALSE(san->watchdog_reboot.CurrentlyEnabled);
    san->ram_corrupted->setMark(1);
    EXPECT_TRUE(san->watchdog_reboot.Enabled());
    EXPECT_FALSE(san->watchdog_reboot.PreviouslyEnabled);
    EXPECT_TRUE(san->watchdog_reboot.CurrentlyEnabled);
    san->ram_corrupted->setMark(0);
    EXPECT_FALSE(san->watchdog_reboot.Enabled());
    EXPECT_TRUE(san->watchdog_reboot.PreviouslyEnabled);
    EXPECT_FALSE(san->watchdog_reboot.CurrentlyEnabled);
}

TEST_F(RamSystemTest, CaseWeightsFollowRamSize) {
    struct Row {
        float ramSize;
        double case1;
        double case2;
    };
    // 1/512 is exact in binary, so the products are exact.
    const Row rows[] = {
        {128, 0.75, 0.25}, {512, 0, 1}, {0, 1, 0}, {100, 0.8046875, 0.1953125}, {1024, -1, 2}};
    for (const Row& r : rows) {
        ram_size = r.ramSize;
        EXPECT_EQ(san->bit_error_case1.Weight(), r.case1) << "ram_size " << r.ramSize;
        EXPECT_EQ(san->bit_error_case2.Weight(), r.case2) << "ram_size " << r.ramSize;
        EXPECT_EQ(san->page_error_case1.Weight(), 0.75) << "ram_size " << r.ramSize;
        EXPECT_EQ(san->page_error_case2.Weight(), 0.25) << "ram_size " << r.ramSize;
    }
    // Subtraction in double precision: in float, 1 minus this tiny product is 1.
    ram_size = 1e-6f;
    EXPECT_EQ(san->bit_error_case1.Weight(), 1.0 - static_cast<double>(1e-6f) / 512);
    EXPECT_LT(san->bit_error_case1.Weight(), 1.0);
    for (BaseActionClass* a : {static_cast<BaseActionClass*>(&san->failure),
                               static_cast<BaseActionClass*>(&san->watchdog_reboot),
                               static_cast<BaseActionClass*>(&san->random_failure)})
        EXPECT_EQ(a->Weight(), 1.0) << a->Name;
}

TEST_F(RamSystemTest, GroupProbabilitiesUseTheCaseWeights) {
    EXPECT_DOUBLE_EQ(san->bit_errorGroup.Probability(&san->bit_error_case1), 0.75);
    EXPECT_DOUBLE_EQ(san->bit_errorGroup.Probability(&san->bit_error_case2), 0.25);
    EXPECT_DOUBLE_EQ(san->page_errorGroup.Probability(&san->page_error_case2), 0.25);
    ram_size = 512;
    EXPECT_DOUBLE_EQ(san->bit_errorGroup.Probability(&san->bit_error_case1), 0.0);
    EXPECT_DOUBLE_EQ(san->bit_errorGroup.Probability(&san->bit_error_case2), 1.0);
}

TEST_F(RamSystemTest, RatesAndDistributionParameters) {
    struct Row {
        BaseActionClass* action;
        double rate;
    };
    const Row rows[] = {{&san->failure, 0},
                        {&san->watchdog_reboot, 0},
                        {&san->random_failure, static_cast<double>(0.005f)},
                        {&san->bit_error_case1, 6.012},
                        {&san->bit_error_case2, 6.012},
                        {&san->page_error_case1, 2.95e-06},
                        {&san->page_error_case2, 2.95e-06}};
    for (const Row& r : rows) {
        EXPECT_EQ(r.action->Rate(), r.rate) << r.action->Name;
        EXPECT_EQ(r.action->Rank(), 1) << r.action->Name;
        EXPECT_FALSE(r.action->ReactivationPredicate()) << r.action->Name;
        EXPECT_FALSE(r.action->ReactivationFunction()) << r.action->Name;
        if (r.action->DistributionType == Exponential) {
            double* p = r.action->ReturnDistributionParameters();
            ASSERT_NE(p, nullptr) << r.action->Name;
            EXPECT_EQ(p[0], r.rate) << r.action->Name;
            EXPECT_EQ(r.action->ReturnDistributionParameters(), p) << "one array per activity";
            EXPECT_GT(r.action->SampleDistribution(), 0.0) << r.action->Name;
        }
    }

    EXPECT_EQ(san->failure.ReturnDistributionParameters(), nullptr);
    EXPECT_EQ(san->failure.SampleDistribution(), 0.0);
    double* p = san->watchdog_reboot.ReturnDistributionParameters();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0], 0.00347);
    EXPECT_EQ(san->watchdog_reboot.SampleDistribution(), 0.00347);

    // The rate is the global variable's current value, not the one at construction.
    random_failure_rate = 0.25f;
    EXPECT_EQ(san->random_failure.Rate(), 0.25);
    EXPECT_EQ(san->random_failure.ReturnDistributionParameters()[0], 0.25);
}

TEST_F(RamSystemTest, StateBytesAreTheFourMarkingsAndDriveEnabling) {
    ASSERT_EQ(san->StateSize(), 8);
    unsigned char buf[8];
    san->CurrentState(buf);
    const unsigned char initial[8] = {0, 0, 1, 0, 0, 0, 0, 0};
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(buf[i], initial[i]) << "byte " << i;

    // Load a corrupted memory with a corrupted flash: the cached pointers see it.
    const unsigned char loaded[8] = {1, 0, 0, 0, 1, 0, 0, 0};
    san->SetState(const_cast<unsigned char*>(loaded));
    EXPECT_EQ(marks(), (Marking{1, 0, 1, 0}));
    EXPECT_EQ(enabled(), (std::vector<std::string>{"failure", "watchdog_reboot"}));
    san->failure.Fire();
    san->CurrentState(buf);
    EXPECT_EQ(buf[6], 1);
    EXPECT_EQ(buf[7], 0);
}

} // namespace
