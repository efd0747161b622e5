#include "distributions/Rnd-KnuthLaggedFibonacci.h"

namespace {

constexpr int KK = 100; // the long lag
constexpr int LL = 37;  // the short lag
constexpr int TT = 70;  // guaranteed separation between streams of different seeds

// (x + y) mod 1 for x, y in [0, 1).
inline double ModSum(double x, double y) {
    double s = x + y;
    return s - static_cast<int>(s);
}

} // namespace

double ran_u[KK];

void ranf_array(double* aa, int n) {
    int i, j;
    for (j = 0; j < KK; j++)
        aa[j] = ran_u[j];
    for (; j < n; j++)
        aa[j] = ModSum(aa[j - KK], aa[j - LL]);
    for (i = 0; i < LL; i++, j++)
        ran_u[i] = ModSum(aa[j - KK], aa[j - LL]);
    for (; i < KK; i++, j++)
        ran_u[i] = ModSum(aa[j - KK], ran_u[i - LL]);
}

void ranf_start(long seed) {
    double u[KK + KK - 1];
    const double ulp = (1.0 / (1L << 30)) / (1L << 22); // 2^-52
    double ss = 2.0 * ulp * (seed + 2);

    // Bootstrap the buffer with the seed's bits shifted cyclically through 51 bits.
    for (int j = 0; j < KK; j++) {
        u[j] = ss;
        ss += ss;
        if (ss >= 1.0)
            ss -= 1.0 - 2 * ulp;
    }
    u[1] += ulp; // makes u[1], and only u[1], "odd"

    // Raise the polynomial to the power given by the seed's bits followed by TT-1
    // squarings. The walk runs over the seed's bit pattern so that it ends for
    // every seed, negative ones included.
    unsigned long s = static_cast<unsigned long>(seed);
    for (int t = TT - 1; t;) {
        for (int j = KK - 1; j > 0; j--) { // square
            u[j + j] = u[j];
            u[j + j - 1] = 0.0;
        }
        for (int j = KK + KK - 2; j >= KK; j--) { // reduce modulo z^KK + z^LL + 1
            u[j - (KK - LL)] = ModSum(u[j - (KK - LL)], u[j]);
            u[j - KK] = ModSum(u[j - KK], u[j]);
        }
        if (s & 1) { // multiply by z
            for (int j = KK; j > 0; j--)
                u[j] = u[j - 1];
            u[0] = u[KK]; // shift the buffer cyclically
            u[LL] = ModSum(u[LL], u[KK]);
        }
        if (s)
            s >>= 1;
        else
            t--;
    }
    for (int j = 0; j < LL; j++)
        ran_u[j + KK - LL] = u[j];
    for (int j = LL; j < KK; j++)
        ran_u[j - LL] = u[j];
}
