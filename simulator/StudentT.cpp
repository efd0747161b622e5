#include "simulator/StudentT.h"

#include <boost/math/distributions/students_t.hpp>

double StudentT::TwoSided(double level, double dof) {
    return boost::math::quantile(boost::math::students_t_distribution<double>(dof),
                                 0.5 + level / 2.0);
}
