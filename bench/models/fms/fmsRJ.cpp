#include "fmsRJ.h"

char* fmsRJ__SharedNames[] = {const_cast<char*>("P1"),   const_cast<char*>("P2"),
                              const_cast<char*>("P3"),   const_cast<char*>("P12"),
                              const_cast<char*>("M2"),   const_cast<char*>("P1wP2"),
                              const_cast<char*>("P2wP1")};

fmsRJ::fmsRJ() : Join("Join", 4, 7, fmsRJ__SharedNames) {
    type1 = new type1SAN();
    Children[0] = type1;
    type1->DefineName("type1");
    type2 = new type2SAN();
    Children[1] = type2;
    type2->DefineName("type2");
    type3 = new type3SAN();
    Children[2] = type3;
    type3->DefineName("type3");
    assembly = new assemblySAN();
    Children[3] = assembly;
    assembly->DefineName("assembly");

    SetupActions();
    if (AllChildrenEmpty()) {
        NumSharedStateVariables = 0;
    } else {
        P1 = new Place("P1");
        addSharedPtr(P1, "P1");
        if (type1->NumStateVariables > 0) {
            P1->ShareWith(type1->P1);
            addSharingInfo(type1->P1, P1, type1);
        }
        if (type2->NumStateVariables > 0) {
            P1->ShareWith(type2->P1);
            addSharingInfo(type2->P1, P1, type2);
        }
        if (type3->NumStateVariables > 0) {
            P1->ShareWith(type3->P1);
            addSharingInfo(type3->P1, P1, type3);
        }
        if (assembly->NumStateVariables > 0) {
            P1->ShareWith(assembly->P1);
            addSharingInfo(assembly->P1, P1, assembly);
        }
        P2 = new Place("P2");
        addSharedPtr(P2, "P2");
        if (type1->NumStateVariables > 0) {
            P2->ShareWith(type1->P2);
            addSharingInfo(type1->P2, P2, type1);
        }
        if (type2->NumStateVariables > 0) {
            P2->ShareWith(type2->P2);
            addSharingInfo(type2->P2, P2, type2);
        }
        if (type3->NumStateVariables > 0) {
            P2->ShareWith(type3->P2);
            addSharingInfo(type3->P2, P2, type3);
        }
        if (assembly->NumStateVariables > 0) {
            P2->ShareWith(assembly->P2);
            addSharingInfo(assembly->P2, P2, assembly);
        }
        P3 = new Place("P3");
        addSharedPtr(P3, "P3");
        if (type1->NumStateVariables > 0) {
            P3->ShareWith(type1->P3);
            addSharingInfo(type1->P3, P3, type1);
        }
        if (type2->NumStateVariables > 0) {
            P3->ShareWith(type2->P3);
            addSharingInfo(type2->P3, P3, type2);
        }
        if (type3->NumStateVariables > 0) {
            P3->ShareWith(type3->P3);
            addSharingInfo(type3->P3, P3, type3);
        }
        if (assembly->NumStateVariables > 0) {
            P3->ShareWith(assembly->P3);
            addSharingInfo(assembly->P3, P3, assembly);
        }
        P12 = new Place("P12");
        addSharedPtr(P12, "P12");
        if (type1->NumStateVariables > 0) {
            P12->ShareWith(type1->P12);
            addSharingInfo(type1->P12, P12, type1);
        }
        if (type2->NumStateVariables > 0) {
            P12->ShareWith(type2->P12);
            addSharingInfo(type2->P12, P12, type2);
        }
        if (type3->NumStateVariables > 0) {
            P12->ShareWith(type3->P12);
            addSharingInfo(type3->P12, P12, type3);
        }
        if (assembly->NumStateVariables > 0) {
            P12->ShareWith(assembly->P12);
            addSharingInfo(assembly->P12, P12, assembly);
        }
        M2 = new Place("M2");
        addSharedPtr(M2, "M2");
        if (type2->NumStateVariables > 0) {
            M2->ShareWith(type2->M2);
            addSharingInfo(type2->M2, M2, type2);
        }
        if (type3->NumStateVariables > 0) {
            M2->ShareWith(type3->M2);
            addSharingInfo(type3->M2, M2, type3);
        }
        P1wP2 = new Place("P1wP2");
        addSharedPtr(P1wP2, "P1wP2");
        if (type1->NumStateVariables > 0) {
            P1wP2->ShareWith(type1->P1wP2);
            addSharingInfo(type1->P1wP2, P1wP2, type1);
        }
        if (assembly->NumStateVariables > 0) {
            P1wP2->ShareWith(assembly->P1wP2);
            addSharingInfo(assembly->P1wP2, P1wP2, assembly);
        }
        P2wP1 = new Place("P2wP1");
        addSharedPtr(P2wP1, "P2wP1");
        if (type2->NumStateVariables > 0) {
            P2wP1->ShareWith(type2->P2wP1);
            addSharingInfo(type2->P2wP1, P2wP1, type2);
        }
        if (assembly->NumStateVariables > 0) {
            P2wP1->ShareWith(assembly->P2wP1);
            addSharingInfo(assembly->P2wP1, P2wP1, assembly);
        }
    }
    Setup();
}

fmsRJ::~fmsRJ() {
    if (!AllChildrenEmpty()) {
        delete P1;
        delete P2;
        delete P3;
        delete P12;
        delete M2;
        delete P1wP2;
        delete P2wP1;
    }
    delete type1;
    delete type2;
    delete type3;
    delete assembly;
}
