#include "BaseClasses/BaseStudyClass.h"

#include "BaseClasses/StandardErrors.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

// The C type name that an override letter stands for, or null for an unknown letter.
const char* TypeNameOfLetter(char letter) {
    switch (letter) {
    case 'b':
        return "bool";
    case 'c':
        return "char";
    case 'd':
        return "double";
    case 'f':
        return "float";
    case 'i':
        return "int";
    case 'l':
        return "long";
    case 's':
        return "short";
    default:
        return nullptr;
    }
}

// The whole text as a C integer (decimal, octal with a leading 0, hexadecimal with
// 0x, as the formatted-input conversions read them) within [low, high].
template <class T> bool WholeNumber(const char* text, long low, long high, T& out) {
    errno = 0;
    char* end = nullptr;
    const long n = std::strtol(text, &end, 0);
    if (end == text || *end != '\0' || errno == ERANGE || n < low || n > high)
        return false;
    out = static_cast<T>(n);
    return true;
}

// The whole text as a real number; an overflow is no number of the type.
bool RealNumber(const char* text, double& out) {
    errno = 0;
    char* end = nullptr;
    const double d = std::strtod(text, &end);
    if (end == text || *end != '\0' || (errno == ERANGE && std::fabs(d) > 1.0))
        return false;
    out = d;
    return true;
}

} // namespace

BaseStudyClass::BaseStudyClass()
    : GVNames(nullptr), GVTypes(nullptr), CurrentPVModel(nullptr), NumGVs(0), NumExps(0) {}

BaseStudyClass::~BaseStudyClass() {
    for (int i = 0; i < NumGVs; i++) {
        if (GVNames != nullptr)
            free(GVNames[i]);
        if (GVTypes != nullptr)
            free(GVTypes[i]);
    }
    delete[] GVNames;
    delete[] GVTypes;
}

PVModel* BaseStudyClass::GetPVModel(bool /*expandTimes*/) {
    return CurrentPVModel;
}

void BaseStudyClass::SetGVs(int /*experiment*/) {
    std::cout << "basestudyclass::SetGVs" << std::endl;
}

void BaseStudyClass::PrintGlobalValues(int /*experiment*/) {}

void* BaseStudyClass::GetGVValue(char* /*name*/) {
    return nullptr;
}

void BaseStudyClass::OverrideGVValue(char* /*name*/, void* /*value*/) {}

char* BaseStudyClass::GetExpName(int i) {
    static char buffer[32];
    std::snprintf(buffer, sizeof buffer, "Experiment %d", i + 1);
    return buffer;
}

// Parses "type:name:value" triples separated by colons (strtok splitting, so runs of
// colons count as one separator) and applies each one that is sound. A problem (an
// unknown letter, a letter that contradicts the variable's declared type, a name that
// is no global variable, a value that is not wholly a number of the type or does not
// fit it, too few tokens) is reported and leaves the variable as it was; the result
// tells whether there was any.
bool BaseStudyClass::overrideGVs(char* text) {
    if (text == nullptr)
        return true;
    char* copy = strdup(text);
    if (copy == nullptr)
        MemoryAllocationError();
    bool applied = true;
    for (char* typeTok = std::strtok(copy, ":"); typeTok != nullptr;
         typeTok = std::strtok(nullptr, ":")) {
        char* name = std::strtok(nullptr, ":");
        char* value = name != nullptr ? std::strtok(nullptr, ":") : nullptr;
        if (name == nullptr || value == nullptr) {
            std::cout << "Not enough double override tokens" << std::flush;
            applied = false;
            break;
        }
        const char letter = typeTok[0];
        const char* typeName = TypeNameOfLetter(letter);
        if (typeName == nullptr) {
            std::printf("Type %c not recognized\n", letter);
            std::fflush(stdout);
            applied = false;
            continue;
        }
        int found = -1;
        for (int g = 0; g < NumGVs && found < 0; g++)
            if (GVNames[g] != nullptr && std::strcmp(GVNames[g], name) == 0)
                found = g;
        if (found >= 0 &&
            (GVTypes[found] == nullptr || std::strcmp(GVTypes[found], typeName) != 0)) {
            std::cerr << "Type letter " << letter << " does not match the type "
                      << (GVTypes[found] != nullptr ? GVTypes[found] : "") << " of global variable "
                      << name << std::endl;
            applied = false;
            continue;
        }
        if (found < 0 && NumGVs > 0) {
            // The study reports the unknown name in its own words; the zeros it is
            // handed are never stored, as no variable has the name.
            alignas(16) unsigned char zeros[16] = {};
            OverrideGVValue(name, zeros);
            applied = false;
            continue;
        }
        if (!ApplyOverride(letter, name, value)) {
            std::cerr << "Value " << value << " of global variable " << name
                      << " is not a number of type " << typeName << std::endl;
            applied = false;
        }
    }
    free(copy);
    return applied;
}

bool BaseStudyClass::ApplyOverride(char letter, char* name, const char* value) {
    switch (letter) {
    case 'b': {
        short s = 0;
        if (!WholeNumber(value, SHRT_MIN, SHRT_MAX, s))
            return false;
        bool b = s != 0;
        OverrideGVValue(name, &b);
        return true;
    }
    case 'c': {
        char c = value[0];
        OverrideGVValue(name, &c);
        return true;
    }
    case 'd': {
        double d = 0.0;
        if (!RealNumber(value, d))
            return false;
        OverrideGVValue(name, &d);
        return true;
    }
    case 'f': {
        double d = 0.0;
        if (!RealNumber(value, d) || (std::isfinite(d) && std::fabs(d) > FLT_MAX))
            return false;
        float f = static_cast<float>(d);
        OverrideGVValue(name, &f);
        return true;
    }
    case 'i': {
        int i = 0;
        if (!WholeNumber(value, INT_MIN, INT_MAX, i))
            return false;
        OverrideGVValue(name, &i);
        return true;
    }
    case 'l': {
        long l = 0;
        if (!WholeNumber(value, LONG_MIN, LONG_MAX, l))
            return false;
        OverrideGVValue(name, &l);
        return true;
    }
    default: { // 's'
        short s = 0;
        if (!WholeNumber(value, SHRT_MIN, SHRT_MAX, s))
            return false;
        OverrideGVValue(name, &s);
        return true;
    }
    }
}
