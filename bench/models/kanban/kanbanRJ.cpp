#include "kanbanRJ.h"

char* kanbanRJ__SharedNames[] = {const_cast<char*>("pm2"),   const_cast<char*>("pkan2"),
                                 const_cast<char*>("pm3"),   const_cast<char*>("pkan3"),
                                 const_cast<char*>("pout3"), const_cast<char*>("pm4"),
                                 const_cast<char*>("pkan4")};

kanbanRJ::kanbanRJ() : Join("Join", 4, 7, kanbanRJ__SharedNames) {
    cell1 = new cell1SAN();
    Children[0] = cell1;
    cell1->DefineName("cell1");
    cell2 = new cell2SAN();
    Children[1] = cell2;
    cell2->DefineName("cell2");
    cell3 = new cell3SAN();
    Children[2] = cell3;
    cell3->DefineName("cell3");
    cell4 = new cell4SAN();
    Children[3] = cell4;
    cell4->DefineName("cell4");

    SetupActions();
    if (AllChildrenEmpty()) {
        NumSharedStateVariables = 0;
    } else {
        pm2 = new Place("pm2");
        addSharedPtr(pm2, "pm2");
        if (cell1->NumStateVariables > 0) {
            pm2->ShareWith(cell1->pm2);
            addSharingInfo(cell1->pm2, pm2, cell1);
        }
        if (cell2->NumStateVariables > 0) {
            pm2->ShareWith(cell2->pm2);
            addSharingInfo(cell2->pm2, pm2, cell2);
        }
        pkan2 = new Place("pkan2");
        addSharedPtr(pkan2, "pkan2");
        if (cell1->NumStateVariables > 0) {
            pkan2->ShareWith(cell1->pkan2);
            addSharingInfo(cell1->pkan2, pkan2, cell1);
        }
        if (cell2->NumStateVariables > 0) {
            pkan2->ShareWith(cell2->pkan2);
            addSharingInfo(cell2->pkan2, pkan2, cell2);
        }
        pm3 = new Place("pm3");
        addSharedPtr(pm3, "pm3");
        if (cell1->NumStateVariables > 0) {
            pm3->ShareWith(cell1->pm3);
            addSharingInfo(cell1->pm3, pm3, cell1);
        }
        if (cell3->NumStateVariables > 0) {
            pm3->ShareWith(cell3->pm3);
            addSharingInfo(cell3->pm3, pm3, cell3);
        }
        pkan3 = new Place("pkan3");
        addSharedPtr(pkan3, "pkan3");
        if (cell1->NumStateVariables > 0) {
            pkan3->ShareWith(cell1->pkan3);
            addSharingInfo(cell1->pkan3, pkan3, cell1);
        }
        if (cell2->NumStateVariables > 0) {
            pkan3->ShareWith(cell2->pkan3);
            addSharingInfo(cell2->pkan3, pkan3, cell2);
        }
        if (cell3->NumStateVariables > 0) {
            pkan3->ShareWith(cell3->pkan3);
            addSharingInfo(cell3->pkan3, pkan3, cell3);
        }
        pout3 = new Place("pout3");
        addSharedPtr(pout3, "pout3");
        if (cell2->NumStateVariables > 0) {
            pout3->ShareWith(cell2->pout3);
            addSharingInfo(cell2->pout3, pout3, cell2);
        }
        if (cell3->NumStateVariables > 0) {
            pout3->ShareWith(cell3->pout3);
            addSharingInfo(cell3->pout3, pout3, cell3);
        }
        pm4 = new Place("pm4");
        addSharedPtr(pm4, "pm4");
        if (cell2->NumStateVariables > 0) {
            pm4->ShareWith(cell2->pm4);
            addSharingInfo(cell2->pm4, pm4, cell2);
        }
        if (cell4->NumStateVariables > 0) {
            pm4->ShareWith(cell4->pm4);
            addSharingInfo(cell4->pm4, pm4, cell4);
        }
        pkan4 = new Place("pkan4");
        addSharedPtr(pkan4, "pkan4");
        if (cell2->NumStateVariables > 0) {
            pkan4->ShareWith(cell2->pkan4);
            addSharingInfo(cell2->pkan4, pkan4, cell2);
        }
        if (cell4->NumStateVariables > 0) {
            pkan4->ShareWith(cell4->pkan4);
            addSharingInfo(cell4->pkan4, pkan4, cell4);
        }
    }
    Setup();
}

kanbanRJ::~kanbanRJ() {
    if (!AllChildrenEmpty()) {
        delete pm2;
        delete pkan2;
        delete pm3;
        delete pkan3;
        delete pout3;
        delete pm4;
        delete pkan4;
    }
    delete cell1;
    delete cell2;
    delete cell3;
    delete cell4;
}
