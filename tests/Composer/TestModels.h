// Small models written the way the model code generator writes them, shared by the
// atomic-model and composition tests.
//
// leftSAN   places x (11), s (0), y (12); activity t1 (x -> s) in group 0, and the
//           cased activity u (u_case1, u_case2) in uGroup, group 1.
// rightSAN  places s (1), z (13); the cased activity v (v_case1, v_case2) in vGroup,
//           group 0, and w in group 1.
// thirdSAN  places q (21), s (5); activity k in group 0.
// abSAN     places a (1), b (258), read-only place r (7); activity grow (group 0) and
//           the instantaneous cased activity swap (swapGroup, group 1).
// soloSAN   one place s (4); activity only (group 0).
// emptySAN  no places, no actions, no groups.
// namedSAN  no places; one activity per given name, each its own group.
//
// left_rightRJ joins leftSAN and rightSAN over s; nestedRJ joins left_rightRJ and
// thirdSAN over s; emptyRJ joins two emptySANs and names s as shared.
#ifndef TESTS_COMPOSER_TESTMODELS_H
#define TESTS_COMPOSER_TESTMODELS_H

#include "BaseClasses/Activity.h"
#include "BaseClasses/PostselectGroup.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"
#include "Composer/Join.h"

#include <vector>

namespace testmodels {

// The parts every generated activity writes the same way; each model's nested
// classes add the places, the enabling predicate and the firing.
class GeneratedActivity : public Activity {
  public:
    double* TheDistributionParameters;
    double TheRate;
    double TheWeight;

    GeneratedActivity(const char* name, int group, Distribution dist, double rate, double weight)
        : TheDistributionParameters(new double[1]), TheRate(rate), TheWeight(weight) {
        ActivityInitialize(name, group, dist, DefaultPolicy, 1, 1, false);
    }
    ~GeneratedActivity() override { delete[] TheDistributionParameters; }

    double Weight() override { return TheWeight; }
    double Rate() override { return DistributionType == Instantaneous ? 0.0 : TheRate; }
    bool ReactivationPredicate() override { return false; }
    bool ReactivationFunction() override { return false; }
    double SampleDistribution() override { return 0.0; }
    double* ReturnDistributionParameters() override {
        TheDistributionParameters[0] = Rate();
        return TheDistributionParameters;
    }
    int Rank() override { return 1; }

    // Enabled() of a generated activity shifts the flags, then evaluates.
    bool Store(bool now) {
        PreviouslyEnabled = CurrentlyEnabled;
        CurrentlyEnabled = now;
        return now;
    }
    // The cached marking pointer follows the place through later sharing.
    static void Bind(Place* place, short*& cache) {
        cache = place->Value;
        place->addReference(&cache, nullptr);
    }
};

class leftSAN : public SANModel {
  public:
    class t1Activity : public GeneratedActivity {
      public:
        Place* x = nullptr;
        short* x_Mark = nullptr;
        Place* s = nullptr;
        short* s_Mark = nullptr;
        t1Activity() : GeneratedActivity("t1", 0, Exponential, 2.0, 1.0) {}
        bool Enabled() override { return Store(*x_Mark > 0); }
        BaseActionClass* Fire() override {
            (*x_Mark)--;
            (*s_Mark)++;
            return this;
        }
        void LinkVariables() override {
            Bind(x, x_Mark);
            Bind(s, s_Mark);
        }
    };
    class uActivity_case1 : public GeneratedActivity {
      public:
        Place* y = nullptr;
        short* y_Mark = nullptr;
        uActivity_case1() : GeneratedActivity("u_case1", 1, Exponential, 3.0, 0.5) {}
        bool Enabled() override { return Store(*y_Mark > 0); }
        BaseActionClass* Fire() override {
            (*y_Mark)--;
            return this;
        }
        void LinkVariables() override { Bind(y, y_Mark); }
    };
    class uActivity_case2 : public GeneratedActivity {
      public:
        Place* y = nullptr;
        short* y_Mark = nullptr;
        Place* x = nullptr;
        short* x_Mark = nullptr;
        uActivity_case2() : GeneratedActivity("u_case2", 1, Exponential, 3.0, 0.5) {}
        bool Enabled() override { return Store(*y_Mark > 0); }
        BaseActionClass* Fire() override {
            (*y_Mark)--;
            (*x_Mark)++;
            return this;
        }
        void LinkVariables() override {
            Bind(y, y_Mark);
            Bind(x, x_Mark);
        }
    };

    t1Activity t1;
    uActivity_case1 u_case1;
    uActivity_case2 u_case2;
    PostselectGroup uGroup;
    Place* x;
    Place* s;
    Place* y;

    leftSAN() {
        uGroup.initialize(2, "uGroup");
        uGroup.appendGroup(&u_case1);
        uGroup.appendGroup(&u_case2);
        x = new Place("x", 11);
        s = new Place("s", 0);
        y = new Place("y", 12);
        BaseStateVariableClass* places[] = {x, s, y};
        Activity* actions[] = {&t1, &u_case1, &u_case2};
        BaseGroupClass* groups[] = {&t1, &uGroup};
        initializeSANModelNow("left", 3, places, 0, nullptr, 3, actions, 2, groups);
        t1.x = x;
        t1.s = s;
        u_case1.y = y;
        u_case2.y = y;
        u_case2.x = x;
        AddAffectArc(x, &t1);
        AddAffectArc(s, &t1);
        AddAffectArc(y, &u_case1);
        AddAffectArc(y, &u_case2);
        AddAffectArc(x, &u_case2);
        AddEnableArc(x, &t1);
        AddEnableArc(y, &u_case1);
        AddEnableArc(y, &u_case2);
        for (int i = 0; i < NumActions; i++)
            static_cast<Activity*>(Actions[i])->LinkVariables();
    }
    ~leftSAN() override {
        for (int i = 0; i < NumStateVariables; i++)
            delete Places[i];
    }
};

class rightSAN : public SANModel {
  public:
    class vActivity_case1 : public GeneratedActivity {
      public:
        Place* s = nullptr;
        short* s_Mark = nullptr;
        Place* z = nullptr;
        short* z_Mark = nullptr;
        vActivity_case1() : GeneratedActivity("v_case1", 0, Exponential, 4.0, 0.25) {}
        bool Enabled() override { return Store(*s_Mark > 0); }
        BaseActionClass* Fire() override {
            (*s_Mark)--;
            (*z_Mark)++;
            return this;
        }
        void LinkVariables() override {
            Bind(s, s_Mark);
            Bind(z, z_Mark);
        }
    };
    class vActivity_case2 : public GeneratedActivity {
      public:
        Place* s = nullptr;
        short* s_Mark = nullptr;
        vActivity_case2() : GeneratedActivity("v_case2", 0, Exponential, 4.0, 0.75) {}
        bool Enabled() override { return Store(*s_Mark > 0); }
        BaseActionClass* Fire() override { return this; }
        void LinkVariables() override { Bind(s, s_Mark); }
    };
    class wActivity : public GeneratedActivity {
      public:
        Place* z = nullptr;
        short* z_Mark = nullptr;
        wActivity() : GeneratedActivity("w", 1, Exponential, 5.0, 1.0) {}
        bool Enabled() override { return Store(*z_Mark > 0); }
        BaseActionClass* Fire() override {
            (*z_Mark)--;
            return this;
        }
        void LinkVariables() override { Bind(z, z_Mark); }
    };

    vActivity_case1 v_case1;
    vActivity_case2 v_case2;
    wActivity w;
    PostselectGroup vGroup;
    Place* s;
    Place* z;

    rightSAN() {
        vGroup.initialize(2, "vGroup");
        vGroup.appendGroup(&v_case1);
        vGroup.appendGroup(&v_case2);
        s = new Place("s", 1);
        z = new Place("z", 13);
        BaseStateVariableClass* places[] = {s, z};
        Activity* actions[] = {&v_case1, &v_case2, &w};
        BaseGroupClass* groups[] = {&vGroup, &w};
        initializeSANModelNow("right", 2, places, 0, nullptr, 3, actions, 2, groups);
        v_case1.s = s;
        v_case1.z = z;
        v_case2.s = s;
        w.z = z;
        AddAffectArc(s, &v_case1);
        AddAffectArc(z, &v_case1);
        AddAffectArc(z, &w);
        AddEnableArc(s, &v_case1);
        AddEnableArc(s, &v_case2);
        AddEnableArc(z, &w);
        for (int i = 0; i < NumActions; i++)
            static_cast<Activity*>(Actions[i])->LinkVariables();
    }
    ~rightSAN() override {
        for (int i = 0; i < NumStateVariables; i++)
            delete Places[i];
    }
};

class thirdSAN : public SANModel {
  public:
    class kActivity : public GeneratedActivity {
      public:
        Place* q = nullptr;
        short* q_Mark = nullptr;
        Place* s = nullptr;
        short* s_Mark = nullptr;
        kActivity() : GeneratedActivity("k", 0, Exponential, 6.0, 1.0) {}
        bool Enabled() override { return Store(*s_Mark > 0); }
        BaseActionClass* Fire() override {
            (*s_Mark)--;
            (*q_Mark)++;
            return this;
        }
        void LinkVariables() override {
            Bind(q, q_Mark);
            Bind(s, s_Mark);
        }
    };

    kActivity k;
    Place* q;
    Place* s;

    thirdSAN() {
        q = new Place("q", 21);
        s = new Place("s", 5);
        BaseStateVariableClass* places[] = {q, s};
        Activity* actions[] = {&k};
        BaseGroupClass* groups[] = {&k};
        initializeSANModelNow("third", 2, places, 0, nullptr, 1, actions, 1, groups);
        k.q = q;
        k.s = s;
        AddAffectArc(s, &k);
        AddAffectArc(q, &k);
        AddEnableArc(s, &k);
        k.LinkVariables();
    }
    ~thirdSAN() override {
        for (int i = 0; i < NumStateVariables; i++)
            delete Places[i];
    }
};

class abSAN : public SANModel {
  public:
    class growActivity : public GeneratedActivity {
      public:
        Place* a = nullptr;
        short* a_Mark = nullptr;
        Place* b = nullptr;
        short* b_Mark = nullptr;
        growActivity() : GeneratedActivity("grow", 0, Exponential, 1.5, 1.0) {}
        bool Enabled() override { return Store(*a_Mark > 0); }
        BaseActionClass* Fire() override {
            (*b_Mark)++;
            return this;
        }
        void LinkVariables() override {
            Bind(a, a_Mark);
            Bind(b, b_Mark);
        }
    };
    class swapActivity_case1 : public GeneratedActivity {
      public:
        Place* a = nullptr;
        short* a_Mark = nullptr;
        Place* b = nullptr;
        short* b_Mark = nullptr;
        swapActivity_case1() : GeneratedActivity("swap_case1", 1, Instantaneous, 0.0, 0.5) {}
        bool Enabled() override { return Store(*b_Mark > 300); }
        BaseActionClass* Fire() override {
            short t = *a_Mark;
            *a_Mark = *b_Mark;
            *b_Mark = t;
            return this;
        }
        void LinkVariables() override {
            Bind(a, a_Mark);
            Bind(b, b_Mark);
        }
    };
    class swapActivity_case2 : public GeneratedActivity {
      public:
        Place* a = nullptr;
        short* a_Mark = nullptr;
        Place* b = nullptr;
        short* b_Mark = nullptr;
        swapActivity_case2() : GeneratedActivity("swap_case2", 1, Instantaneous, 0.0, 0.5) {}
        bool Enabled() override { return Store(*b_Mark > 300 && *a_Mark > 0); }
        BaseActionClass* Fire() override {
            *a_Mark = 0;
            return this;
        }
        void LinkVariables() override {
            Bind(a, a_Mark);
            Bind(b, b_Mark);
        }
    };

    growActivity grow;
    swapActivity_case1 swap_case1;
    swapActivity_case2 swap_case2;
    PostselectGroup swapGroup;
    Place* a;
    Place* b;
    Place* r;

    abSAN() {
        swapGroup.initialize(2, "swapGroup");
        swapGroup.appendGroup(&swap_case1);
        swapGroup.appendGroup(&swap_case2);
        a = new Place("a", 1);
        b = new Place("b", 258);
        r = new Place("r", 7);
        BaseStateVariableClass* places[] = {a, b};
        BaseStateVariableClass* readOnly[] = {r};
        Activity* actions[] = {&grow, &swap_case1, &swap_case2};
        BaseGroupClass* groups[] = {&grow, &swapGroup};
        initializeSANModelNow("ab", 2, places, 1, readOnly, 3, actions, 2, groups);
        grow.a = a;
        grow.b = b;
        swap_case1.a = a;
        swap_case1.b = b;
        swap_case2.a = a;
        swap_case2.b = b;
        AddAffectArc(b, &grow);
        AddAffectArc(a, &swap_case1);
        AddAffectArc(b, &swap_case1);
        AddAffectArc(a, &swap_case2);
        AddEnableArc(a, &grow);
        AddEnableArc(b, &swap_case1);
        AddEnableArc(b, &swap_case2);
        AddEnableArc(a, &swap_case2);
        for (int i = 0; i < NumActions; i++)
            static_cast<Activity*>(Actions[i])->LinkVariables();
    }
    ~abSAN() override {
        delete a;
        delete b;
        delete r;
    }
};

class soloSAN : public SANModel {
  public:
    class onlyActivity : public GeneratedActivity {
      public:
        Place* s = nullptr;
        short* s_Mark = nullptr;
        onlyActivity() : GeneratedActivity("only", 0, Exponential, 1.0, 1.0) {}
        bool Enabled() override { return Store(*s_Mark > 0); }
        BaseActionClass* Fire() override {
            (*s_Mark)--;
            return this;
        }
        void LinkVariables() override { Bind(s, s_Mark); }
    };

    onlyActivity only;
    Place* s;

    soloSAN() {
        s = new Place("s", 4);
        BaseStateVariableClass* places[] = {s};
        Activity* actions[] = {&only};
        BaseGroupClass* groups[] = {&only};
        initializeSANModelNow("solo", 1, places, 0, nullptr, 1, actions, 1, groups);
        only.s = s;
        AddAffectArc(s, &only);
        AddEnableArc(s, &only);
        only.LinkVariables();
    }
    ~soloSAN() override { delete s; }
};

class emptySAN : public SANModel {
  public:
    emptySAN() { initializeSANModelNow("empty", 0, nullptr, 0, nullptr, 0, nullptr, 0, nullptr); }
};

// Activities that never fire; only their names matter.
class namedSAN : public SANModel {
  public:
    class nopActivity : public GeneratedActivity {
      public:
        nopActivity(const char* name, int group)
            : GeneratedActivity(name, group, Exponential, 1.0, 1.0) {}
        bool Enabled() override { return Store(false); }
        BaseActionClass* Fire() override { return this; }
        void LinkVariables() override {}
    };

    std::vector<nopActivity*> activities;

    explicit namedSAN(const std::vector<const char*>& names) {
        std::vector<Activity*> actions;
        std::vector<BaseGroupClass*> groups;
        for (const char* n : names) {
            activities.push_back(new nopActivity(n, static_cast<int>(activities.size())));
            actions.push_back(activities.back());
            groups.push_back(activities.back());
        }
        int n = static_cast<int>(names.size());
        initializeSANModelNow("named", 0, nullptr, 0, nullptr, n, actions.data(), n, groups.data());
    }
    ~namedSAN() override {
        for (nopActivity* a : activities)
            delete a;
    }
};

inline char* left_rightRJ__SharedNames[] = {const_cast<char*>("s")};

class left_rightRJ : public Join {
  public:
    leftSAN* left;
    rightSAN* right;
    Place* s = nullptr;

    left_rightRJ() : Join("Join", 2, 1, left_rightRJ__SharedNames) {
        left = new leftSAN();
        Children[0] = left;
        left->DefineName("left");
        right = new rightSAN();
        Children[1] = right;
        right->DefineName("right");
        SetupActions();
        if (AllChildrenEmpty()) {
            NumSharedStateVariables = 0;
        } else {
            s = new Place("s");
            addSharedPtr(s, "s");
            if (left->NumStateVariables > 0) {
                s->ShareWith(left->s);
                addSharingInfo(left->s, s, left);
            }
            if (right->NumStateVariables > 0) {
                s->ShareWith(right->s);
                addSharingInfo(right->s, s, right);
            }
        }
        Setup();
    }
    ~left_rightRJ() override {
        delete s;
        delete left;
        delete right;
    }
};

inline char* nestedRJ__SharedNames[] = {const_cast<char*>("s")};

class nestedRJ : public Join {
  public:
    left_rightRJ* inner;
    thirdSAN* third;
    Place* s = nullptr;

    nestedRJ() : Join("Outer", 2, 1, nestedRJ__SharedNames) {
        inner = new left_rightRJ();
        Children[0] = inner;
        inner->DefineName("inner");
        third = new thirdSAN();
        Children[1] = third;
        third->DefineName("third");
        SetupActions();
        if (AllChildrenEmpty()) {
            NumSharedStateVariables = 0;
        } else {
            s = new Place("s");
            addSharedPtr(s, "s");
            if (inner->NumStateVariables > 0) {
                s->ShareWith(inner->s);
                addSharingInfo(inner->s, s, inner);
            }
            if (third->NumStateVariables > 0) {
                s->ShareWith(third->s);
                addSharingInfo(third->s, s, third);
            }
        }
        Setup();
    }
    ~nestedRJ() override {
        delete s;
        delete inner;
        delete third;
    }
};

inline char* emptyRJ__SharedNames[] = {const_cast<char*>("s")};

// Both children have no state variable, so the shared name gets no place.
class emptyRJ : public Join {
  public:
    emptySAN* first;
    emptySAN* second;
    Place* s = nullptr;

    emptyRJ() : Join("Join", 2, 1, emptyRJ__SharedNames) {
        first = new emptySAN();
        Children[0] = first;
        first->DefineName("first");
        second = new emptySAN();
        Children[1] = second;
        second->DefineName("second");
        SetupActions();
        if (AllChildrenEmpty()) {
            NumSharedStateVariables = 0;
        } else {
            s = new Place("s");
            addSharedPtr(s, "s");
        }
        Setup();
    }
    ~emptyRJ() override {
        delete s;
        delete first;
        delete second;
    }
};

} // namespace testmodels

#endif
