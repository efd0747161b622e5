#ifndef REDUNDANT_FLASH_MODELRJ_H
#define REDUNDANT_FLASH_MODELRJ_H

#include "BaseClasses/state/Place.h"
#include "Composer/Join.h"
#include "model/ram_systemSAN.h"
#include "model/redundant_flash_systemSAN.h"

// Names of the join's shared state variables, in registration order.
extern char* redundant_flash_modelRJ__SharedNames[];

// Composed model redundant_flash_model: ram_system and redundant_flash_system joined
// over flash_corrupted, so that a flash corruption seen by one enables the system
// failure of the other. State: ram_system's unshared places, then
// redundant_flash_system's, then the shared flash_corrupted.
class redundant_flash_modelRJ : public Join {
  public:
    ram_systemSAN* ram_system;                         // child 0; owned
    redundant_flash_systemSAN* redundant_flash_system; // child 1; owned
    Place* flash_corrupted; // the shared variable's storage; owned; null without sharing

    redundant_flash_modelRJ();
    ~redundant_flash_modelRJ() override;
};

#endif
