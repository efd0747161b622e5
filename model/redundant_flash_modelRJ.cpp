#include "model/redundant_flash_modelRJ.h"

char* redundant_flash_modelRJ__SharedNames[] = {const_cast<char*>("flash_corrupted")};

redundant_flash_modelRJ::redundant_flash_modelRJ()
    : Join("Join", 2, 1, redundant_flash_modelRJ__SharedNames) {
    ram_system = new ram_systemSAN();
    Children[0] = ram_system;
    ram_system->DefineName("ram_system");

    redundant_flash_system = new redundant_flash_systemSAN();
    Children[1] = redundant_flash_system;
    redundant_flash_system->DefineName("redundant_flash_system");

    SetupActions();

    if (AllChildrenEmpty()) {
        NumSharedStateVariables = 0;
        flash_corrupted = nullptr;
    } else {
        // The join's own place is the one ShareWith is called on, so it keeps the
        // storage and the children's places become views of it.
        flash_corrupted = new Place("flash_corrupted");
        addSharedPtr(flash_corrupted, "flash_corrupted");
        if (ram_system->NumStateVariables > 0) {
            flash_corrupted->ShareWith(ram_system->flash_corrupted);
            addSharingInfo(ram_system->flash_corrupted, flash_corrupted, ram_system);
        }
        if (redundant_flash_system->NumStateVariables > 0) {
            flash_corrupted->ShareWith(redundant_flash_system->flash_corrupted);
            addSharingInfo(redundant_flash_system->flash_corrupted, flash_corrupted,
                           redundant_flash_system);
        }
    }

    Setup();
}

redundant_flash_modelRJ::~redundant_flash_modelRJ() {
    if (!AllChildrenEmpty())
        delete flash_corrupted;
    delete ram_system;
    delete redundant_flash_system;
}
