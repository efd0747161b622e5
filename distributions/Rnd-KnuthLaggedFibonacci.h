#ifndef RND_KNUTHLAGGEDFIBONACCI_H
#define RND_KNUTHLAGGEDFIBONACCI_H

// Knuth's lagged-Fibonacci generator of doubles in [0, 1): every new number is
// (a[j-100] + a[j-37]) mod 1. The generator state is process-wide.

// The last 100 numbers of the sequence, the state from which ranf_array goes on.
extern double ran_u[100];

// Sets ran_u from the seed. Makes no warm-up calls of ranf_array, so the first
// batch handed out is ran_u itself.
void ranf_start(long seed);

// Fills aa[0..n-1] with the next n numbers of the sequence and advances ran_u past
// them. n must be at least 100.
void ranf_array(double* aa, int n);

#endif
