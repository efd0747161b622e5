#include "fmsRJ.h"

char* fmsRJ__SharedNames[] = {const_cast<char*>("P1"),   const_cast<char*>("P2"),
                              const_cast<char*>("P3"),   const_cast<char*>("P12"),
                              const_cast<char*>("M2"),   const_cast<char*>("P1wP2"),
                              const_cast<char*>("P2wP1")};

fmsRJ::fmsRJ() : Join("Join", 4, 7, fmsRJ__SharedNames) {
    part1 = new part1SAN();
    Children[0] = part1;
    part1->DefineName("part1");
    part2 = new part2SAN();
    Children[1] = part2;
    part2->DefineName("part2");
    part3 = new part3SAN();
    Children[2] = part3;
    part3->DefineName("part3");
    assembly = new assemblySAN();
    Children[3] = assembly;
    assembly->DefineName("assembly");

    SetupActions();
    if (AllChildrenEmpty()) {
        NumSharedStateVariables = 0;
    } else {
        P1 = new Place("P1");
        addSharedPtr(P1, "P1");
        if (part1->NumStateVariables > 0) {
            P1->ShareWith(part1->P1);
            addSharingInfo(part1->P1, P1, part1);
        }
        if (part2->NumStateVariables > 0) {
            P1->ShareWith(part2->P1);
            addSharingInfo(part2->P1, P1, part2);
        }
        if (part3->NumStateVariables > 0) {
            P1->ShareWith(part3->P1);
            addSharingInfo(part3->P1, P1, part3);
        }
        if (assembly->NumStateVariables > 0) {
            P1->ShareWith(assembly->P1);
            addSharingInfo(assembly->P1, P1, assembly);
        }
        P2 = new Place("P2");
        addSharedPtr(P2, "P2");
        if (part1->NumStateVariables > 0) {
            P2->ShareWith(part1->P2);
            addSharingInfo(part1->P2, P2, part1);
        }
        if (part2->NumStateVariables > 0) {
            P2->ShareWith(part2->P2);
            addSharingInfo(part2->P2, P2, part2);
        }
        if (part3->NumStateVariables > 0) {
            P2->ShareWith(part3->P2);
            addSharingInfo(part3->P2, P2, part3);
        }
        if (assembly->NumStateVariables > 0) {
            P2->ShareWith(assembly->P2);
            addSharingInfo(assembly->P2, P2, assembly);
        }
        P3 = new Place("P3");
        addSharedPtr(P3, "P3");
        if (part1->NumStateVariables > 0) {
            P3->ShareWith(part1->P3);
            addSharingInfo(part1->P3, P3, part1);
        }
        if (part2->NumStateVariables > 0) {
            P3->ShareWith(part2->P3);
            addSharingInfo(part2->P3, P3, part2);
        }
        if (part3->NumStateVariables > 0) {
            P3->ShareWith(part3->P3);
            addSharingInfo(part3->P3, P3, part3);
        }
        if (assembly->NumStateVariables > 0) {
            P3->ShareWith(assembly->P3);
            addSharingInfo(assembly->P3, P3, assembly);
        }
        P12 = new Place("P12");
        addSharedPtr(P12, "P12");
        if (part1->NumStateVariables > 0) {
            P12->ShareWith(part1->P12);
            addSharingInfo(part1->P12, P12, part1);
        }
        if (part2->NumStateVariables > 0) {
            P12->ShareWith(part2->P12);
            addSharingInfo(part2->P12, P12, part2);
        }
        if (part3->NumStateVariables > 0) {
            P12->ShareWith(part3->P12);
            addSharingInfo(part3->P12, P12, part3);
        }
        if (assembly->NumStateVariables > 0) {
            P12->ShareWith(assembly->P12);
            addSharingInfo(assembly->P12, P12, assembly);
        }
        M2 = new Place("M2");
        addSharedPtr(M2, "M2");
        if (part2->NumStateVariables > 0) {
            M2->ShareWith(part2->M2);
            addSharingInfo(part2->M2, M2, part2);
        }
        if (part3->NumStateVariables > 0) {
            M2->ShareWith(part3->M2);
            addSharingInfo(part3->M2, M2, part3);
        }
        P1wP2 = new Place("P1wP2");
        addSharedPtr(P1wP2, "P1wP2");
        if (part1->NumStateVariables > 0) {
            P1wP2->ShareWith(part1->P1wP2);
            addSharingInfo(part1->P1wP2, P1wP2, part1);
        }
        if (assembly->NumStateVariables > 0) {
            P1wP2->ShareWith(assembly->P1wP2);
            addSharingInfo(assembly->P1wP2, P1wP2, assembly);
        }
        P2wP1 = new Place("P2wP1");
        addSharedPtr(P2wP1, "P2wP1");
        if (part2->NumStateVariables > 0) {
            P2wP1->ShareWith(part2->P2wP1);
            addSharingInfo(part2->P2wP1, P2wP1, part2);
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
    delete part1;
    delete part2;
    delete part3;
    delete assembly;
}
