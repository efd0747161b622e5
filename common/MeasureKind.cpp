#include "common/MeasureKind.h"

const char* MeasureKindName(MeasureKind kind) {
    switch (kind) {
    case MeasureKind::InstantOfTime:
        return "instant";
    case MeasureKind::IntervalOfTime:
        return "interval";
    case MeasureKind::TimeAveragedInterval:
        return "time-averaged";
    case MeasureKind::SteadyState:
        return "steady-state";
    case MeasureKind::Until:
        return "until";
    case MeasureKind::Reach:
        return "reach";
    case MeasureKind::ReachWithin:
        return "reach-within";
    }
    return "?";
}
