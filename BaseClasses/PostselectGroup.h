#ifndef POSTSELECTGROUP_H
#define POSTSELECTGROUP_H

#include "BaseClasses/BaseGroupClass.h"

// The member is chosen at the moment the group fires. Generated models put the
// cases of an activity in a PostselectGroup.
class PostselectGroup : public BaseGroupClass {
  public:
    PostselectGroup();
    explicit PostselectGroup(int n);

    double Weight() override;
    bool ReactivationPredicate() override;
    bool ReactivationFunction() override;
    double SampleDistribution() override;
    BaseActionClass* Fire() override;
    int Rank() override;
};

#endif
