#include "distributions/UserDistributions.h"

#include "BaseClasses/StandardErrors.h"
#include "distributions/LaggedFibonacci.h"
#include "distributions/Tausworthe.h"

#include <new>

UserDistributions TheGenerator(0, 31415);
thread_local Distributions* TheDistribution = &TheGenerator;

UserDistributions::UserDistributions() {
    delete generator;
    generator = new (std::nothrow) LaggedFibonacci();
    if (generator == nullptr)
        MemoryAllocationError();
}

UserDistributions::UserDistributions(int kind, long seed) {
    delete generator;
    if (kind == 1)
        generator = new (std::nothrow) Tausworthe();
    else
        generator = new (std::nothrow) LaggedFibonacci();
    if (generator == nullptr)
        MemoryAllocationError();
    generator->srnd(static_cast<unsigned long>(seed));
}
