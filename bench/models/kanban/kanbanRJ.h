#ifndef KANBANRJ_H
#define KANBANRJ_H

#include "Composer/Join.h"
#include "cell1SAN.h"
#include "cell2SAN.h"
#include "cell3SAN.h"
#include "cell4SAN.h"

extern char* kanbanRJ__SharedNames[];

// Composed model kanban.
class kanbanRJ : public Join {
  public:
    cell1SAN* cell1;
    cell2SAN* cell2;
    cell3SAN* cell3;
    cell4SAN* cell4;
    Place* pm2;
    Place* pkan2;
    Place* pm3;
    Place* pkan3;
    Place* pout3;
    Place* pm4;
    Place* pkan4;

    kanbanRJ();
    ~kanbanRJ() override;
};

#endif
