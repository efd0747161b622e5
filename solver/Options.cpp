#include "solver/Options.h"

#include "common/CommandLine.h"
#include "common/TextField.h"
#include "common/UserError.h"

#include <cmath>

namespace {

double Positive(const char* value, char letter, double below) {
    double x = 0.0;
    if (!TextField::ParseDouble(value, x) || !(x > 0.0) || !(x < below))
        throw gen::UserError(std::string("option -") + letter +
                             " needs a number above 0 and below " +
                             (below == 1.0 ? "1" : "infinity") + ", not \"" + value + "\"");
    return x;
}

} // namespace

const char* Options::Usage() {
    return "usage:  solve -P<prefix> -N<name> [-e<error>] [-r<residual>] [-c<csv file>]\n"
           "              [-g<start>:<stop>:<points>] [-m<auto|lu|gs|bicgstab>] [-h]\n"
           "Reads <prefix><name>.arm, .var and .pvtype as gen writes them and computes\n"
           "every performance variable.\n"
           "  -e  bound of the transient truncation error (default 1e-10)\n"
           "  -r  target relative residual of the steady state (default 1e-9)\n"
           "  -c  the CSV file of the results (default <prefix><name>.csv)\n"
           "  -g  also evaluate the instant-of-time variables on <points> evenly spaced\n"
           "      times and plot each into <prefix><name>_<variable>.svg\n"
           "  -m  steady-state method (default auto: sparse LU up to 2000 states,\n"
           "      Gauss-Seidel with a BiCGSTAB fallback above)\n"
           "  -h  this text\n"
           "Example:  solve -Pout/ -Nkanban\n";
}

Options Options::Parse(int argc, char** argv) {
    Options o;
    if (argc <= 1) {
        o.usage = true;
        return o;
    }
    bool named = false;
    CommandLine line(argc, argv, "PNercgm");
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
            o.name = value;
            named = true;
            break;
        case 'e':
            o.epsilon = Positive(value, letter, 1.0);
            break;
        case 'r':
            o.residual = Positive(value, letter, 1.0);
            break;
        case 'c':
            o.csv = value;
            break;
        case 'g':
            CommandLine::Grid(value, o.gridStart, o.gridStop, o.gridPoints);
            o.grid = true;
            break;
        case 'm': {
            const std::string m = value;
            if (m == "auto")
                o.method = SteadyState::Automatic;
            else if (m == "lu")
                o.method = SteadyState::DirectLU;
            else if (m == "gs")
                o.method = SteadyState::GaussSeidel;
            else if (m == "bicgstab")
                o.method = SteadyState::Krylov;
            else
                throw gen::UserError("option -m needs auto, lu, gs or bicgstab, not \"" + m + "\"");
            break;
        }
        }
    }
    if (!named)
        throw gen::UserError("missing experiment name (-N)");
    if (o.csv.empty())
        o.csv = o.Base() + ".csv";
    return o;
}
