// The plots of a study: every variable against each global variable that varies
// (a curve per combination of the others' values and per time point), and every
// instant-of-time variable over time (a curve per experiment). Simulated values
// carry their confidence band; where a value was both computed and simulated, the
// solver's curve and the simulator's band are drawn together in one colour.
#pragma once

#include "driver/ExperimentTable.h"
#include "driver/ResultSet.h"

#include <string>
#include <vector>

struct StudyPlot {
    std::string file; // the name under plots/
    std::string title;
    std::string svg;
};

class StudyPlots {
  public:
    static std::vector<StudyPlot> Make(const ExperimentTable& experiments,
                                       const ResultSet& results);
    // A name made of letters, digits, '_', '-' and '.' only.
    static std::string FileSafe(const std::string& name);
};
