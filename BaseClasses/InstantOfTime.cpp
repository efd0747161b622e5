#include "BaseClasses/InstantOfTime.h"

void InstantOfTime::Accumulate(double /*now*/, double last) {
    Value = 0.0;
    ValueSquare = 0.0;
    Weight = 1.0;
    if (!(StartTime < last)) {
        Value = Reward_Function();
        ValueSquare = Value * Value;
    }
}

void InstantOfTime::CurrentReward() {
    Value = Reward_Function();
    ValueSquare = Value * Value;
}
