#ifndef DISTRIBUTIONS_H
#define DISTRIBUTIONS_H

#include "distributions/RandomNumberGenerator.h"

// Turns the uniform variates of its (owned) generator into samples of activity
// distributions. u, u1, u2, ... are successive rnd() results in the order drawn.
class Distributions {
  public:
    RandomNumberGenerator* generator;

    Distributions();
    virtual ~Distributions();
    Distributions(const Distributions&) = delete;
    Distributions& operator=(const Distributions&) = delete;

    double Exponential(double rate);
    double Deterministic(double value);
    double Geometric(double p);
    double Weibull(double shape, double scale);
    double ConditionalWeibull(double shape, double scale, double elapsed);
    double Normal(double mean, double variance);
    double Lognormal(double mean, double variance);
    double Erlang(double phases, double mean);
    double Triangular(double a, double b, double c);
    double Gamma(double shape, double scale);
    double Beta(double a, double b);
    double Uniform(double a, double b);
    double Binomial(double n, double p);
    double NegativeBinomial(double n, double p);
    double HyperExponential(int n, double* pairs);
    double HypoExponential(int n, double* rates);
    double Pareto(double scale, double shape);

  protected:
    // Intermediate values kept between steps; not part of any result.
    double d1, d2, d3, d4;
};

#endif
