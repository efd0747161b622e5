#include "solver/TransientAnalysis.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

double Dot(const std::vector<double>& a, const std::vector<double>& b) {
    double s = 0.0;
    for (size_t j = 0; j < a.size(); j++)
        s += a[j] * b[j];
    return s;
}

} // namespace

TransientAnalysis::Summary TransientAnalysis::Run(Uniformisation& u, size_t states, double epsilon,
                                                  std::vector<Request>& requests) {
    Summary summary;
    if (requests.empty() || states == 0)
        return summary;
    std::vector<double> times{0.0};
    std::map<const std::vector<double>*, double> largest;
    std::vector<size_t> instants, intervals;
    for (size_t i = 0; i < requests.size(); i++) {
        Request& r = requests[i];
        r.value = r.bound = 0.0;
        times.push_back(r.start);
        if (r.interval) {
            times.push_back(r.stop);
            intervals.push_back(i);
        } else {
            instants.push_back(i);
        }
        if (largest.count(r.reward) == 0) {
            double m = 0.0;
            for (double x : *r.reward)
                m = std::max(m, std::fabs(x));
            largest[r.reward] = m;
        }
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    std::sort(instants.begin(), instants.end(),
              [&](size_t a, size_t b) { return requests[a].start < requests[b].start; });

    summary.steps = times.size() - 1;
    // Each step misplaces at most twice the Poisson mass it leaves out.
    const double perStep =
        epsilon / (2.0 * static_cast<double>(std::max<size_t>(1, summary.steps)));
    std::vector<double> pi(states, 0.0), integral;
    pi[0] = 1.0;
    double lost = 0.0; // bound on the 1-norm error of pi so far
    size_t next = 0;
    std::vector<size_t> covering;
    for (size_t c = 0; c < times.size(); c++) {
        const double t = times[c];
        for (; next < instants.size() && requests[instants[next]].start == t; next++) {
            Request& r = requests[instants[next]];
            r.value = Dot(pi, *r.reward);
            r.bound = lost * largest[r.reward];
        }
        if (c + 1 == times.size())
            break;
        const double dt = times[c + 1] - t;
        covering.clear();
        for (size_t i : intervals)
            if (requests[i].start <= t && times[c + 1] <= requests[i].stop)
                covering.push_back(i);
        const Uniformisation::Bounds b =
            u.Advance(pi, dt, perStep, covering.empty() ? nullptr : &integral);
        summary.products += b.products;
        for (size_t i : covering) {
            Request& r = requests[i];
            r.value += Dot(integral, *r.reward);
            r.bound += (lost * dt + b.integral) * largest[r.reward];
        }
        lost += b.distribution;
    }
    return summary;
}
