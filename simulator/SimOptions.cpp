#include "simulator/SimOptions.h"

#include "common/CommandLine.h"
#include "common/UserError.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

double Number(const char* value, const std::string& what) {
    errno = 0;
    char* end = nullptr;
    const double x = std::strtod(value, &end);
    // Below the smallest normal double strtod says ERANGE too, but the number is one.
    const bool overflow = errno == ERANGE && std::fabs(x) >= 1.0;
    if (end == value || *end != '\0' || overflow || !std::isfinite(x))
        throw gen::UserError(what + " is not a number: " + value);
    return x;
}

uint64_t Whole(const char* value, const std::string& what, uint64_t low, uint64_t high) {
    errno = 0;
    char* end = nullptr;
    if (value[0] == '-' || value[0] == '+')
        throw gen::UserError(what + " is not a whole number from " + std::to_string(low) + " to " +
                             std::to_string(high) + ": " + value);
    const unsigned long long n = std::strtoull(value, &end, 10);
    if (end == value || *end != '\0' || errno == ERANGE || n < low || n > high)
        throw gen::UserError(what + " is not a whole number from " + std::to_string(low) + " to " +
                             std::to_string(high) + ": " + value);
    return n;
}

} // namespace

const char* SimOptions::Usage() {
    return "usage:  <model>_sim -N<name> [-P<prefix>] [-B<experiment>] [-O<overrides>]\n"
           "              [-S<seed>] [-L<level>] [-r<relative>] [-a<absolute>] [-n<max>]\n"
           "              [-T<threads>] [-g<start>:<stop>:<points>] [-w<warm-up>]\n"
           "              [-b<batch length>] [-k<batches>] [-u<until horizon>]\n"
           "              [-c<csv file>] [-p]\n"
           "              [-I<variable> [-l<levels>] [-e<effort>]] [-h]\n"
           "Estimates every performance variable of the model by independent replications.\n"
           "  -P, -N  the results go to <prefix><name>.csv (and the plots beside it)\n"
           "  -B  experiment number (default 0)    -O  global-variable overrides, as for gen\n"
           "  -S  seed (default 1): a run is reproducible from its seed\n"
           "  -L  confidence level, above 0 and below 1 (default 0.95)\n"
           "  -r  target relative half-width (default 0.01), relative to the value, and for a\n"
           "      probability to the smaller of p and 1 - p\n"
           "  -a  target absolute half-width (default none); a result that meets either\n"
           "      target has reached it (-r0 -a0: no target, exactly -n replications)\n"
           "  -n  maximum number of replications (default 10000)\n"
           "  -T  threads (default: one per core)\n"
           "  -g  also estimate the instant-of-time variables at <points> evenly spaced times\n"
           "      and plot each with its confidence band into <prefix><name>_<variable>.svg\n"
           "  -w, -b, -k  steady state: warm-up time, batch length and batches per\n"
           "      replication (default: the time of 20000 and of 10000 timed firings, from\n"
           "      a pilot run, and 10 batches)\n"
           "  -u  until and reach variables: the model time a replication runs to at most\n"
           "      while it waits for the condition (default: the time of 1000000 timed\n"
           "      firings, from a pilot run); one that stops there is counted as truncated\n"
           "  -c  the CSV file of the results (default <prefix><name>.csv)\n"
           "  -p  a line \"progress <share done>\" on standard error after every block of\n"
           "      replications, for a program that runs this one\n"
           "  -I  importance splitting for the instant-of-time variables: the importance of\n"
           "      a marking is the rate reward of <variable>; each observation is one run\n"
           "      of fixed-effort splitting (every timed activity must be exponential)\n"
           "  -l  the levels, ascending, separated by commas (default: each whole number\n"
           "      above the initial importance, up to the first that no path reaches)\n"
           "  -e  paths per level (default 1000)\n"
           "  -h  this text\n"
           "Example:  sim -Nexample -B0 -n1000000\n";
}

SimOptions SimOptions::Parse(int argc, char** argv) {
    SimOptions o;
    if (argc <= 1) {
        o.usage = true;
        return o;
    }
    bool named = false, effortGiven = false;
    CommandLine line(argc, argv, "PNBOSLranTgwbkcIleu", "p");
    char letter = 0;
    const char* value = nullptr;
    while (line.Next(letter, value)) {
        if (letter == 'h') {
            o.usage = true;
            return o;
        }
        switch (letter) {
        case 'P':
            o.prefix = value;
            break;
        case 'N':
            // An empty name would make the results a hidden ".csv".
            if (value[0] == '\0')
                throw gen::UserError("the experiment name (-N) is empty");
            o.name = value;
            named = true;
            break;
        case 'B':
            o.experiment = static_cast<int>(Whole(value, "experiment number (-B)", 0, 2147483647));
            break;
        case 'O':
            o.overrides = value;
            o.overridden = true;
            break;
        case 'S':
            o.seed = Whole(value, "seed (-S)", 0, UINT64_MAX);
            break;
        case 'L':
            o.level = Number(value, "confidence level (-L)");
            if (!(o.level > 0.0 && o.level < 1.0))
                throw gen::UserError(
                    std::string("the confidence level (-L) must lie above 0 and below 1: ") +
                    value);
            break;
        case 'r':
        case 'a': {
            const double x = Number(value, std::string("target (-") + letter + ")");
            if (x < 0.0)
                throw gen::UserError(std::string("the target (-") + letter +
                                     ") must be at least 0: " + value);
            (letter == 'r' ? o.relative : o.absolute) = x;
            break;
        }
        case 'n':
            o.maxReplications = Whole(value, "maximum number of replications (-n)", 2, 1000000000);
            break;
        case 'T':
            o.threads = static_cast<int>(Whole(value, "number of threads (-T)", 1, 64));
            break;
        case 'g': {
            size_t points = 0;
            CommandLine::Grid(value, o.gridStart, o.gridStop, points);
            o.gridPoints = static_cast<int>(points);
            o.grid = true;
            break;
        }
        case 'w':
        case 'b': {
            const double x = Number(value, std::string("-") + letter);
            if (letter == 'w' ? x < 0.0 : !(x > 0.0))
                throw gen::UserError(std::string(letter == 'w'
                                                     ? "the warm-up time (-w) must be at least 0: "
                                                     : "the batch length (-b) must be above 0: ") +
                                     value);
            (letter == 'w' ? o.warmup : o.batchLength) = x;
            break;
        }
        case 'u': {
            const double x = Number(value, "-u");
            if (!(x > 0.0) || !std::isfinite(x))
                throw gen::UserError("the until horizon (-u) must be a finite time above 0: " +
                                     std::string(value));
            o.untilHorizon = x;
            break;
        }
        case 'k':
            o.batches = static_cast<int>(Whole(value, "number of batches (-k)", 1, 100000));
            break;
        case 'c':
            o.csv = value;
            break;
        case 'I':
            if (value[0] == '\0')
                throw gen::UserError("the importance variable (-I) is empty");
            o.importance = value;
            break;
        case 'l': {
            o.levels.clear();
            std::string text = value;
            size_t at = 0;
            for (;;) {
                const size_t comma = text.find(',', at);
                const std::string item = text.substr(at, comma - at);
                const double x = Number(item.c_str(), "level (-l)");
                if (!o.levels.empty() && !(x > o.levels.back()))
                    throw gen::UserError("the levels (-l) must ascend: " + text);
                o.levels.push_back(x);
                if (comma == std::string::npos)
                    break;
                at = comma + 1;
            }
            break;
        }
        case 'e':
            o.effort = Whole(value, "paths per level (-e)", 1, 100000000);
            effortGiven = true;
            break;
        case 'p':
            if (value != nullptr)
                throw gen::UserError(std::string("option -p takes no value: -p") + value);
            o.progressLines = true;
            break;
        }
    }
    if (!named)
        throw gen::UserError("missing experiment name (-N)");
    if (o.importance.empty() && (!o.levels.empty() || effortGiven))
        throw gen::UserError("-l and -e set up importance splitting, which -I asks for");
    if (o.csv.empty())
        o.csv = o.Base() + ".csv";
    return o;
}
