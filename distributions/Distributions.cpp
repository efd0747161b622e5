#include "distributions/Distributions.h"

#include "BaseClasses/StandardErrors.h"
#include "distributions/LaggedFibonacci.h"

#include <cmath>
#include <limits>
#include <new>

namespace {

const double kE = 2.718281828459045;
const double kLn4 = 1.3862943611198906;
const double kOnePlusLn4p5 = 2.504077396776274; // 1 + ln 4.5

} // namespace

Distributions::Distributions() : generator(nullptr), d1(0), d2(0), d3(0), d4(0) {
    generator = new (std::nothrow) LaggedFibonacci();
    if (generator == nullptr)
        MemoryAllocationError();
}

Distributions::~Distributions() {
    delete generator;
}

double Distributions::Exponential(double rate) {
    return -std::log(generator->rnd()) / rate;
}

double Distributions::Deterministic(double value) {
    return value;
}

double Distributions::Geometric(double p) {
    return std::floor(std::log(generator->rnd()) / std::log(1.0 - p));
}

double Distributions::Weibull(double shape, double scale) {
    return scale * std::pow(-std::log(generator->rnd()), 1.0 / shape);
}

// The remaining life of a Weibull lifetime that has already lasted `elapsed`.
double Distributions::ConditionalWeibull(double shape, double scale, double elapsed) {
    double survived = std::exp(-std::pow(elapsed / scale, shape));
    return scale * std::pow(-std::log(generator->rnd() * survived), 1.0 / shape) - elapsed;
}

// Marsaglia's polar method, truncated at 0 by rejection.
double Distributions::Normal(double mean, double variance) {
    for (;;) {
        double x1 = 2.0 * generator->rnd() - 1.0;
        double x2 = 2.0 * generator->rnd() - 1.0;
        double s = x1 * x1 + x2 * x2;
        if (s > 1.0)
            continue;
        double f = std::sqrt(-2.0 * std::log(s) / s);
        double r = mean + std::sqrt(variance) * x1 * f;
        if (!(r < 0.0))
            return r;
    }
}

// The polar method without the truncation, for the underlying normal.
double Distributions::Lognormal(double mean, double variance) {
    for (;;) {
        double x1 = 2.0 * generator->rnd() - 1.0;
        double x2 = 2.0 * generator->rnd() - 1.0;
        double s = x1 * x1 + x2 * x2;
        if (s > 1.0)
            continue;
        double f = std::sqrt(-2.0 * std::log(s) / s);
        return std::exp(mean + std::sqrt(variance) * x1 * f);
    }
}

// One uniform per whole phase: a fractional phase count draws floor(k) uniforms
// but still divides the mean by k.
double Distributions::Erlang(double phases, double mean) {
    double product = 1.0;
    for (int i = 1; i <= phases; i++)
        product *= generator->rnd();
    return -(mean / phases) * std::log(product);
}

double Distributions::Triangular(double a, double b, double c) {
    if (a == b)
        return a;
    double g = (c - a) / (b - a);
    double u = generator->rnd();
    double d = u <= g ? std::sqrt(u * g) : 1.0 - std::sqrt((1.0 - g) * (1.0 - u));
    return a + (b - a) * d;
}

double Distributions::Gamma(double shape, double scale) {
    const double alpha = shape;
    if (alpha > 1.0) {
        // Cheng's algorithm GB.
        const double a = 1.0 / std::sqrt(2.0 * alpha - 1.0);
        const double b = alpha - kLn4;
        const double c = alpha + 1.0 / a;
        for (;;) {
            double u1 = generator->rnd();
            double u2 = generator->rnd();
            double w = a * std::log(u1 / (1.0 - u1));
            double y = alpha * std::exp(w);
            double z = u1 * u1 * u2;
            double r = b + c * w - y;
            if (r + kOnePlusLn4p5 - 4.5 * z >= 0.0 || std::log(z) <= r)
                return scale * y;
        }
    }
    if (alpha == 1.0)
        return -scale * std::log(generator->rnd());
    if (alpha < 1.0) {
        // Ahrens and Dieter's algorithm GS.
        const double b = (alpha + kE) / kE;
        for (;;) {
            double p = b * generator->rnd();
            if (p <= 1.0) {
                double x = std::pow(p, 1.0 / alpha);
                if (generator->rnd() <= std::exp(-x))
                    return scale * x;
            } else {
                double x = -std::log((b - p) / alpha);
                if (generator->rnd() <= std::pow(x, alpha - 1.0))
                    return scale * x;
            }
        }
    }
    // The shape is not a number.
    return std::numeric_limits<double>::quiet_NaN();
}

double Distributions::Beta(double a, double b) {
    double x = Gamma(a, 1.0);
    double y = Gamma(b, 1.0);
    return x / (x + y);
}

double Distributions::Uniform(double a, double b) {
    return a + generator->rnd() * (b - a);
}

double Distributions::Binomial(double n, double p) {
    double successes = 0;
    for (int i = 0; i < n; i++)
        if (generator->rnd() <= p)
            successes += 1;
    return successes;
}

double Distributions::NegativeBinomial(double n, double p) {
    double sum = 0;
    for (int i = 0; i < n; i++)
        sum += std::floor(std::log(generator->rnd()) / std::log(1.0 - p));
    return sum;
}

// pairs holds n (rate, weight) pairs, rate first. A first uniform picks the branch
// by weight, a second one samples that branch's exponential.
double Distributions::HyperExponential(int n, double* pairs) {
    if (n <= 0)
        return 0;
    double total = 0;
    for (int k = 0; k < n; k++)
        total += pairs[2 * k + 1];
    double u1 = generator->rnd();
    // A uniform that no cumulated weight exceeds (1 itself, or rounding in the
    // sums) falls to the last branch.
    int branch = n - 1;
    double cumulated = 0;
    for (int k = 0; k < n; k++) {
        cumulated += pairs[2 * k + 1];
        if (u1 < cumulated / total) {
            branch = k;
            break;
        }
    }
    return -std::log(generator->rnd()) / pairs[2 * branch];
}

double Distributions::HypoExponential(int n, double* rates) {
    double sum = 0;
    for (int i = 0; i < n; i++)
        sum += -std::log(generator->rnd()) / rates[i];
    return sum;
}

double Distributions::Pareto(double scale, double shape) {
    return std::exp(std::log(scale) - std::log(generator->rnd()) / shape);
}
