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
    }
    return "?";
}
