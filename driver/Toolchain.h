// What the driver needs to turn a model file into its programs and run them: the
// model compiler, the solver, the C++ compiler with the flags the kit was built
// with, and the kit's entry points and libraries (the framework, the generator
// and the simulator, built once with the tool and shared by every model).
#pragma once

#include <string>
#include <vector>

struct Toolchain {
    std::string sanc;
    std::string solve;
    std::string compiler;
    std::vector<std::string> flags;
    std::string include;
    std::vector<std::string> genObjects, genLibraries;
    std::vector<std::string> simObjects, simLibraries;

    // The kit this program was built with.
    static Toolchain Built();

    // Names every file of the kit with its size and time of change, so that a
    // model's programs are linked again (and its results computed again) when the
    // tool itself was rebuilt.
    std::string Identity() const;

    // A file's path, size and time of change, or its path and "missing".
    static std::string FileIdentity(const std::string& path);
};
