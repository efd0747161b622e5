// Runs the selected experiments of a study, several at once: gen then solve, or
// the simulator where gen cannot generate the chain (general delays) or the chain
// has deterministic delays, as the method asks. Each experiment has a folder of
// its own (exp<k>) with the programs' files and logs, and a stamp that records
// what its results were computed from; an experiment whose stamp matches what it
// would be computed from now is not computed again, also when it moved to another
// number. A failure ends that experiment only.
#pragma once

#include "driver/ExperimentTable.h"
#include "driver/ModelBuild.h"
#include "driver/StudyOptions.h"
#include "driver/Toolchain.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

// What became of one experiment.
struct ExperimentRun {
    size_t number = 0;
    std::string folder;
    bool ok = true;
    std::vector<std::string> messages;           // what failed, worded for the user
    std::string note;                            // why the simulator stood in, or ""
    std::string states, transitions;             // of the chain, "" where none was generated
    std::string solveCsv, simCsv;                // the result files, "" where none
    std::map<std::string, std::string> refusals; // variable -> why solve refused it
    bool reused = true;                          // nothing had to be run
    double seconds = 0.0;
};

class StudyRunner {
  public:
    StudyRunner(const Toolchain& tools, const StudyOptions& options,
                const ExperimentTable& experiments, const ModelBuild& build,
                const std::string& stem);

    // Runs `selected` (ascending) and returns their runs in the same order.
    // Progress is shown on standard error while it is a terminal.
    std::vector<ExperimentRun> Run(const std::vector<size_t>& selected);

  private:
    struct Keys {
        std::string gen, solve, sim;
    };
    struct Live; // what the progress line shows of a running experiment

    struct Job;

    Keys KeysOf(size_t experiment) const;
    void Adopt(const std::vector<size_t>& selected);
    ExperimentRun RunOne(size_t experiment, Live& live) const;
    // The steps of one experiment; each keeps what its stamp says is still right.
    // Generate: true when the chain is there; `simulate` set where only the simulator
    // can go on.
    bool Generate(Job& job, bool& simulate) const;
    void Solve(Job& job) const;
    void Simulate(Job& job) const;
    // <program> -P<prefix> -N<model> -B<k> <own options> [-O<overrides>]
    std::vector<std::string> ProgramArgs(const std::string& program, size_t k,
                                         const std::string& prefix,
                                         const std::vector<std::string>& own) const;

    const Toolchain& tools_;
    const StudyOptions& options_;
    const ExperimentTable& experiments_;
    const ModelBuild& build_;
    const std::string stem_;
    int simThreads_ = 0;
};
