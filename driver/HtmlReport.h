// The report of a study as one self-contained HTML file (styles and plots inline,
// nothing fetched): the model and its file, what failed, the experiments with
// their global variables, the results table and every plot.
#pragma once

#include "driver/ExperimentTable.h"
#include "driver/ResultSet.h"
#include "driver/StudyPlots.h"
#include "driver/StudyRunner.h"

#include <string>
#include <vector>

class HtmlReport {
  public:
    static std::string Render(const std::string& modelFile, const ExperimentTable& experiments,
                              const std::vector<ExperimentRun>& runs, const ResultSet& results,
                              const std::vector<StudyPlot>& plots);
    static std::string Escaped(const std::string& text);
};
