#ifndef FMSRJ_H
#define FMSRJ_H

#include "Composer/Join.h"
#include "type1SAN.h"
#include "type2SAN.h"
#include "type3SAN.h"
#include "assemblySAN.h"

extern char* fmsRJ__SharedNames[];

// Composed model fms.
class fmsRJ : public Join {
  public:
    type1SAN* type1;
    type2SAN* type2;
    type3SAN* type3;
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
