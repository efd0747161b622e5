#ifndef RANDOMNUMBERGENERATOR_H
#define RANDOMNUMBERGENERATOR_H

// Source of uniform variates; the base returns 0 and ignores seeds.
class RandomNumberGenerator {
  public:
    virtual ~RandomNumberGenerator() {}
    virtual double rnd() { return 0; }
    virtual void srnd(unsigned long) {}
};

#endif
