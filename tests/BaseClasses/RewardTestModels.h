#ifndef REWARDTESTMODELS_H
#define REWARDTESTMODELS_H

// Small models written the way the code generators write them, for the reward-model
// tests: an atomic SAN with two places and three counting activities, a Join of
// several such SANs, a rate-reward node with its worker, and a reward model whose
// nodes come from a factory.

#include "BaseClasses/Activity.h"
#include "BaseClasses/InstantOfTime.h"
#include "BaseClasses/PVModel.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"
#include "Composer/Join.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace rewardtest {

// Places "a" and "b"; activity "x" adds one to a, "y" one to b, "w" one to both.
class TestSAN : public SANModel {
  public:
    class CountActivity : public Activity {
      public:
        Place* Targets[2] = {nullptr, nullptr};
        int NumTargets = 0;
        int TimesFired = 0;

        CountActivity(const char* name, int group) {
            ActivityInitialize(name, group, Exponential, DefaultPolicy, 1, 1, false);
            CurrentlyEnabled = PreviouslyEnabled = false;
        }
        bool Enabled() override {
            PreviouslyEnabled = CurrentlyEnabled;
            CurrentlyEnabled = true;
            return true;
        }
        double Weight() override { return 1.0; }
        double Rate() override { return 1.0; }
        int Rank() override { return 1; }
        BaseActionClass* Fire() override {
            for (int t = 0; t < NumTargets; t++)
                *Targets[t]->Mark = static_cast<short>(*Targets[t]->Mark + 1);
            TimesFired++;
            return this;
        }
        void LinkVariables() override {}
    };

    Place* a;
    Place* b;
    CountActivity x{"x", 0};
    CountActivity y{"y", 1};
    CountActivity w{"w", 2};

    explicit TestSAN(const char* name, short a0 = 0, short b0 = 0) {
        a = new Place("a", a0);
        b = new Place("b", b0);
        BaseStateVariableClass* places[] = {a, b};
        Activity* acts[] = {&x, &y, &w};
        BaseGroupClass* groups[] = {&x, &y, &w};
        initializeSANModelNow(name, 2, places, 0, nullptr, 3, acts, 3, groups);
        x.Targets[0] = a;
        x.NumTargets = 1;
        y.Targets[0] = b;
        y.NumTargets = 1;
        w.Targets[0] = a;
        w.Targets[1] = b;
        w.NumTargets = 2;
        AddAffectArc(a, &x);
        AddAffectArc(b, &y);
        AddAffectArc(a, &w);
        AddAffectArc(b, &w);
    }
    ~TestSAN() override {
        delete a;
        delete b;
    }
    short A() const { return *a->Mark; }
    short B() const { return *b->Mark; }
};

// A Join without shared places over SANs with the given names, in order.
class TestJoin : public Join {
  public:
    std::vector<TestSAN*> Sans;

    explicit TestJoin(const std::vector<std::string>& names)
        : Join("J", static_cast<int>(names.size()), 0, nullptr) {
        for (size_t c = 0; c < names.size(); c++) {
            TestSAN* s = new TestSAN(names[c].c_str());
            Children[c] = s;
            s->DefineName(names[c].c_str());
            Sans.push_back(s);
        }
        SetupActions();
        Setup();
    }
    ~TestJoin() override {
        for (TestSAN* s : Sans)
            delete s;
    }
};

// Reads the marking of "a" in every bound instance and returns their sum (times
// Scale), so a node's rate reward tells which combinations its workers cover.
class SumWorker : public InstantOfTime {
  public:
    BaseModelClass* Bound[4] = {nullptr, nullptr, nullptr, nullptr};
    double Scale = 1.0;

    explicit SumWorker(int slots) {
        NumModelSlots = slots;
        ModelSlots = new BaseModelClass**[slots > 0 ? slots : 1];
        for (int j = 0; j < slots; j++)
            ModelSlots[j] = &Bound[j];
    }
    ~SumWorker() override { delete[] ModelSlots; }
    double Reward_Function() override {
        double v = 0.0;
        for (int j = 0; j < NumModelSlots; j++)
            v += static_cast<TestSAN*>(Bound[j])->A();
        return v * Scale;
    }
};

// A rate-reward node without impulses: variables (variable, model) in order, time
// points 30, 180, 365 unless given others (stop times equal to the start times unless
// given).
class TestNode : public PerformanceVariableNode {
  public:
    BaseModelClass* Top = nullptr;
    std::vector<int> CreatedAt; // time index, for order checks

    TestNode(const char* name, const std::vector<std::pair<std::string, std::string>>& vars,
             int timeIndex = 0, std::vector<double> times = {30, 180, 365},
             std::vector<double> stops = {}) {
        TopModelRef = &Top;
        if (stops.empty())
            stops = times;
        Initialize(name, InstantOfTimeReward, static_cast<int>(times.size()), times.data(),
                   stops.data(), timeIndex, 0, static_cast<int>(vars.size()),
                   static_cast<int>(vars.size()));
        for (const auto& v : vars)
            AddVariableDependency(v.first.c_str(), v.second.c_str());
    }
    void CreateWorkerList() override {
        for (int i = 0; i < NumWorkers; i++)
            Workers[i] = new SumWorker(NumModelDependencies);
    }
    SumWorker* Worker(int i) const { return static_cast<SumWorker*>(Workers[i]); }
    ~TestNode() override {
        for (int i = 0; i < NumWorkers; i++) {
            if (Workers[i] == nullptr)
                continue;
            delete[] Workers[i]->Name;
            delete Workers[i];
        }
    }
};

// A reward model over a given top-level model whose nodes come from a factory.
class FactoryRewardModel : public PVModel {
  public:
    std::function<PerformanceVariableNode*(int, int)> Factory;

    FactoryRewardModel(BaseModelClass* top, std::function<PerformanceVariableNode*(int, int)> f)
        : Factory(std::move(f)) {
        TopModel = top;
        DefineName("FactoryRewardModel");
    }
    PerformanceVariableNode* createPVNode(int pv, int t) override { return Factory(pv, t); }
};

} // namespace rewardtest

#endif
