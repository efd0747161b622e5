#include "BaseClasses/BaseStudyClass.h"
#include "generator/StateSpaceGen.h"
#include "generator/commandline.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    int fileType = 1;
    char* traceFileName = nullptr;
    commandline(argc, argv, fileType, traceFileName);
    // A load factor above 1 lets the table fill before it grows, and the probe
    // sequence then never finds a free slot.
    if (!(hash_value > 0.0 && hash_value <= 1.0)) {
        std::cerr << "Error: the hash load factor (-h) must be greater than 0 and at most 1"
                  << std::endl;
        return 1;
    }

    BaseStudyClass* study = GenerateStudy();
    // The study indexes its experiment tables without a check.
    if (ExpNum < 0 || ExpNum >= study->GetNumExps()) {
        std::cerr << "Error: experiment number " << ExpNum << " is outside 0 to "
                  << study->GetNumExps() - 1 << std::endl;
        return 1;
    }
    study->SetGVs(ExpNum);
    study->PrintGlobalValues(ExpNum);
    if (OverrideString != nullptr) {
        study->overrideGVs(OverrideString);
        std::cout << "Overriding global variables in ssg" << std::endl;
    }
    PVModel* model = study->GetPVModel(false);

    StateSpaceGen* generator = new StateSpaceGen(model, exp_path, ExpName, flagAbsorb, hash_value,
                                                 db_host, db_entity, traceFileName);
    std::cout << "SSG: SetTraceLevel: " << TempTraceLevel << std::endl;
    generator->traceLevel = TempTraceLevel;
    generator->InitializeTrace();
    generator->GenStateSpace();

    DestructStudy();
    delete[] exp_path;
    delete[] ExpName;
    delete[] db_host;
    delete[] db_entity;
    delete generator;
    return 0;
}
