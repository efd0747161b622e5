#ifndef EMPTY_SYSTEMSAN_H
#define EMPTY_SYSTEMSAN_H

#include "BaseClasses/SANModel.h"

// Atomic model empty_system: no places and no activities, so its state vector is
// empty.
class empty_systemSAN : public SANModel {
  public:
    empty_systemSAN();
    ~empty_systemSAN() override;
};

#endif
