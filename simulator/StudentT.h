// Quantiles of Student's t distribution, for confidence intervals of means.
#pragma once

class StudentT {
  public:
    // The t with P(-t <= T <= t) = level, 0 < level < 1, for T with `dof` > 0
    // degrees of freedom: the factor that turns a standard error into the
    // half-width of a two-sided interval at that level.
    static double TwoSided(double level, double dof);
};
