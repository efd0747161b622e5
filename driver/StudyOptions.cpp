#include "driver/StudyOptions.h"

#include "common/CommandLine.h"
#include "common/UserError.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

void RealNumber(char letter, const char* value) {
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(value, &end);
    if (*value == '\0' || *end != '\0' || errno == ERANGE || !std::isfinite(v))
        throw gen::UserError(std::string("option -") + letter + " needs a number, not \"" + value +
                             "\"");
}

long WholeNumber(char letter, const char* value, long low, long high) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(value, &end, 10);
    if (*value == '\0' || *end != '\0' || errno == ERANGE || v < low || v > high)
        throw gen::UserError(std::string("option -") + letter + " needs a whole number from " +
                             std::to_string(low) + " to " + std::to_string(high) + ", not \"" +
                             value + "\"");
    return v;
}

} // namespace

const char* StudyOptions::Usage() {
    return "usage: study <model file> [options]\n"
           "runs the experiments of the model's study and writes, in the output folder,\n"
           "results.csv (one row per experiment, variable and time point), report.html,\n"
           "the plots (plots/*.svg) and each experiment's files (exp<k>/)\n"
           "\n"
           "  -o <folder>     the output folder (default: <model file name>_study)\n"
           "  -l              list the experiments with the values of the global variables\n"
           "  -B <selection>  the experiments to run, such as 0,3-5 (default: all)\n"
           "  -j <jobs>       experiments run at once (default: one per core)\n"
           "  -m <method>     auto (default): gen and solve, the simulator where gen cannot\n"
           "                  generate the chain (general delays) or it has deterministic\n"
           "                  delays; numerical: gen and solve only; simulation; both\n"
           "  -O <overrides>  global-variable overrides, as for gen (d:name:value:...)\n"
           "  -z[<limit>]     gen's exact elimination of instantaneous activities\n"
           "  -e <error>      solve: bound of the transient truncation error\n"
           "  -r <residual>   solve: target relative residual of the steady state\n"
           "  -M <method>     solve: steady-state method (auto, lu, gs, bicgstab)\n"
           "  -S <seed>       simulator: seed\n"
           "  -L <level>      simulator: confidence level\n"
           "  -R <relative>   simulator: target relative half-width\n"
           "  -A <absolute>   simulator: target absolute half-width\n"
           "  -n <count>      simulator: maximum number of replications\n"
           "  -f              compute everything again instead of reusing earlier results\n"
           "  -h              this text\n";
}

const char* StudyOptions::MethodName(Method m) {
    switch (m) {
    case Numerical:
        return "numerical";
    case Simulation:
        return "simulation";
    case Both:
        return "both";
    default:
        return "auto";
    }
}

StudyOptions StudyOptions::Parse(int argc, char** argv) {
    StudyOptions o;
    if (argc < 2 || std::string(argv[1]) == "-h") {
        o.usage = true;
        return o;
    }
    if (argv[1][0] == '-')
        throw gen::UserError(
            std::string("the model file comes first: study <model file> [options], "
                        "not \"") +
            argv[1] + "\" (-h shows the options)");
    o.model = argv[1];
    CommandLine line(argc - 1, argv + 1, "oBjmOerMSLRAn", "lfz");
    char letter = 0;
    const char* value = nullptr;
    while (line.Next(letter, value)) {
        switch (letter) {
        case 'h':
            o.usage = true;
            break;
        case 'o':
            o.output = value;
            break;
        case 'l':
        case 'f':
            if (value != nullptr)
                throw gen::UserError(std::string("option -") + letter + " takes no value");
            (letter == 'l' ? o.list : o.force) = true;
            break;
        case 'B':
            o.selection = value;
            break;
        case 'j':
            o.jobs = static_cast<int>(WholeNumber('j', value, 1, 1024));
            break;
        case 'm': {
            const std::string m = value;
            if (m == "auto")
                o.method = Auto;
            else if (m == "numerical")
                o.method = Numerical;
            else if (m == "simulation")
                o.method = Simulation;
            else if (m == "both")
                o.method = Both;
            else
                throw gen::UserError("option -m needs auto, numerical, simulation or both, not \"" +
                                     m + "\"");
            break;
        }
        case 'O':
            o.overrides = value;
            break;
        case 'z':
            if (value != nullptr)
                WholeNumber('z', value, 1, 2147483647);
            o.genArgs.push_back(std::string("-z") + (value != nullptr ? value : ""));
            break;
        case 'e':
        case 'r':
            RealNumber(letter, value);
            o.solveArgs.push_back(std::string("-") + letter + value);
            break;
        case 'M':
            o.solveArgs.push_back(std::string("-m") + value);
            break;
        case 'S':
        case 'n':
            WholeNumber(letter, value, 0, 9223372036854775807L);
            o.simArgs.push_back(std::string("-") + letter + value);
            break;
        case 'L':
            RealNumber(letter, value);
            o.simArgs.push_back(std::string("-L") + value);
            break;
        case 'R':
        case 'A':
            RealNumber(letter, value);
            o.simArgs.push_back(std::string("-") + (letter == 'R' ? 'r' : 'a') + value);
            break;
        }
    }
    if (o.output.empty())
        o.output = std::filesystem::path(o.model).stem().string() + "_study";
    return o;
}
