#ifndef SANC_RESERVEDNAMES_H
#define SANC_RESERVEDNAMES_H

#include <string>
#include <vector>

// Why a name cannot be a model's name in the generated C++ (ReservedNames.cpp says
// which names each kind covers and how the tables were built).
enum class ReservedKind {
    None,            // free to use
    Implementation,  // begins with '_' or contains "__"
    Keyword,         // a C++ keyword
    StandardMacro,   // a macro of the standard headers the generated code includes
    StandardLibrary, // declared at file scope by those headers
    Framework,       // a name of the framework the generated classes build on
    StudyLocal,      // a parameter of the generated study's methods
    ModelLocal,      // a variable of the generated model constructors
    Language         // a name the model language gives a meaning of its own
};

ReservedKind ReservedNameKind(const std::string& name);

// The tables in the order of the kinds from Keyword on, for tests of their order.
std::vector<std::vector<std::string>> ReservedNameTables();

#endif
