// The command line of the study driver:
//
//   study <model file> [-o <folder>] [-l] [-B <selection>] [-j <jobs>] [-m <method>]
//         [-O <overrides>] [-z[<limit>]] [-e <error>] [-r <residual>] [-M <solve method>]
//         [-S <seed>] [-L <level>] [-R <relative>] [-A <absolute>] [-n <replications>]
//         [-f] [-h]
//
// Options read as those of the other programs: a value glued to its letter or the
// next word. The values meant for gen, solve and the simulator are handed to them
// as given (each checks its own), after a check that they are numbers at all, so
// that a typing slip is one message and not one per experiment.
#pragma once

#include <string>
#include <vector>

struct StudyOptions {
    enum Method { Auto, Numerical, Simulation, Both };

    std::string model;     // the model file
    std::string output;    // -o; default <model file's stem>_study
    bool list = false;     // -l
    std::string selection; // -B; empty: every experiment
    int jobs = 0;          // -j; 0: one per core
    Method method = Auto;  // -m
    std::string overrides; // -O
    bool force = false;    // -f
    bool usage = false;    // -h

    // What each program is given besides the files and the experiment.
    std::vector<std::string> genArgs;   // -z
    std::vector<std::string> solveArgs; // -e -r -m
    std::vector<std::string> simArgs;   // -S -L -r -a -n

    // A bad option or value is a UserError naming it.
    static StudyOptions Parse(int argc, char** argv);
    static const char* Usage();
    static const char* MethodName(Method m);
};
