#include "solver/Options.h"

#include "solver/LineReader.h"
#include "solver/SolveError.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

double Positive(const char* value, char letter, double below) {
    double x = 0.0;
    if (!LineReader::ParseDouble(value, x) || !(x > 0.0) || !(x < below))
        throw SolveError(std::string("option -") + letter + " needs a number above 0 and below " +
                         (below == 1.0 ? "1" : "infinity") + ", not \"" + value + "\"");
    return x;
}

void Grid(const char* value, Options& o) {
    const std::string_view text(value);
    const size_t a = text.find(':');
    const size_t b = a == std::string_view::npos ? a : text.find(':', a + 1);
    uint64_t points = 0;
    const bool ok = b != std::string_view::npos &&
                    LineReader::ParseDouble(text.substr(0, a), o.gridStart) &&
                    LineReader::ParseDouble(text.substr(a + 1, b - a - 1), o.gridStop) &&
                    LineReader::ParseUnsigned(text.substr(b + 1), points);
    if (!ok || !std::isfinite(o.gridStart) || !std::isfinite(o.gridStop) || o.gridStart < 0.0 ||
        !(o.gridStop > o.gridStart) || points < 2 || points > 100000)
        throw SolveError(std::string("option -g needs <start>:<stop>:<points> with 0 <= start < "
                                     "stop and 2 to 100000 points, not \"") +
                         value + "\"");
    o.grid = true;
    o.gridPoints = static_cast<size_t>(points);
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
           "  -m  steady-state method (default auto: sparse LU up to 10000 states,\n"
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
    for (int i = 1; i < argc; i++) {
        const char* word = argv[i];
        if (word[0] != '-' || word[1] == '\0')
            throw SolveError(std::string("unexpected argument \"") + word +
                             "\" (options start with -; -h shows them)");
        const char letter = word[1];
        if (letter == 'h') {
            if (word[2] != '\0')
                throw SolveError(std::string("unknown option ") + word + " (-h shows the options)");
            o.usage = true;
            return o;
        }
        if (std::strchr("PNercgm", letter) == nullptr)
            throw SolveError(std::string("unknown option ") + word + " (-h shows the options)");
        const char* value = nullptr;
        if (std::strlen(word) > 2)
            value = word + 2;
        else if (i + 1 < argc && argv[i + 1][0] != '-')
            value = argv[++i];
        else
            throw SolveError(std::string("option -") + letter + " needs a value");
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
            Grid(value, o);
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
                throw SolveError("option -m needs auto, lu, gs or bicgstab, not \"" + m + "\"");
            break;
        }
        }
    }
    if (!named)
        throw SolveError("missing experiment name (-N)");
    if (o.csv.empty())
        o.csv = o.Base() + ".csv";
    return o;
}
