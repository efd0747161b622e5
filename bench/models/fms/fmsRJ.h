#ifndef FMSRJ_H
#define FMSRJ_H

#include "Composer/Join.h"
#include "part1SAN.h"
#include "part2SAN.h"
#include "part3SAN.h"
#include "assemblySAN.h"

extern char* fmsRJ__SharedNames[];

// Composed model fms.
class fmsRJ : public Join {
  public:
    part1SAN* part1;
    part2SAN* part2;
    part3SAN* part3;
    assemblySAN* assembly;
    Place* P1;
    Place* P2;
    Place* P3;
    Place* P12;
    Place* M2;
    Place* P1wP2;
    Place* P2wP1;

    fmsRJ();
    ~fmsRJ() override;
};

#endif
