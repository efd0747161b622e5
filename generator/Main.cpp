#include "BaseClasses/BaseStudyClass.h"
#include "BaseClasses/ProcessEnd.h"
#include "generator/OutputFiles.h"
#include "generator/StateSpaceGen.h"
#include "generator/commandline.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

// For tests only: forces the one-thread or the two-thread exploration whatever the
// machine, so that both are exercised everywhere.
void ReadThreadChoice() {
    const char* choice = std::getenv("GEN_TEST_THREADS");
    if (choice == nullptr)
        return;
    if (std::strcmp(choice, "1") == 0)
        StateSpaceGen::threads = StateSpaceGen::Threads::One;
    else if (std::strcmp(choice, "2") == 0)
        StateSpaceGen::threads = StateSpaceGen::Threads::Two;
}

} // namespace

int main(int argc, char** argv) {
    InstallOutOfMemoryHandler();
    OutputFiles::InstallSignalHandlers();
    ReadThreadChoice();

    int fileType = 1;
    char* traceFileName = nullptr;
    commandline(argc, argv, fileType, traceFileName);
    // A load factor above 1 lets the table fill before it grows, and the probe
    // sequence then never finds a free slot.
    if (!(hash_value > 0.0 && hash_value <= 1.0))
        Fatal(std::cerr, "Error: the hash load factor (-h) must be greater than 0 and at most 1\n");
    // The trace would be interleaved with the file's own records.
    if (OutputFiles::IsOutputName(traceFileName, exp_path, ExpName))
        Fatal(std::cerr, std::string("Error: the trace file (-t) ") + traceFileName +
                             " is one of the run's output files\n");

    BaseStudyClass* study = GenerateStudy();
    // The study indexes its experiment tables without a check.
    if (ExpNum < 0 || ExpNum >= study->GetNumExps())
        Fatal(std::cerr, "Error: experiment number " + std::to_string(ExpNum) +
                             " is outside 0 to " + std::to_string(study->GetNumExps() - 1) + "\n");
    study->SetGVs(ExpNum);
    study->PrintGlobalValues(ExpNum);
    if (OverrideString != nullptr) {
        // Generating with a value the user did not ask for would be a silent wrong
        // model: every problem has been reported, and nothing is written.
        if (!study->overrideGVs(OverrideString))
            Fatal(std::cerr, std::string("Error: the override string ") + OverrideString +
                                 " could not be applied; nothing was generated\n");
        std::cout << "Overriding global variables in ssg" << std::endl;
    }
    PVModel* model = study->GetPVModel(false);
    StateSpaceGen::vanishingLimit = VanishingLimit;
    StateSpaceGen::extendedStorage = ExtendedStorage;
    StateSpaceGen::binaryChain = static_cast<StateSpaceGen::BinaryChain>(BinaryChainFile);
    StateSpaceGen::statesListing = StatesListing;

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
    std::free(OverrideString);
    return 0;
}
