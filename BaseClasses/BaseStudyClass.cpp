#include "BaseClasses/BaseStudyClass.h"

#include "BaseClasses/StandardErrors.h"

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
// colons count as one separator). A value text that cannot be converted passes zero
// of the type. A letter that contradicts the variable's declared type is refused:
// the bytes would otherwise be read as a different type by OverrideGVValue.
void BaseStudyClass::overrideGVs(char* text) {
    if (text == nullptr)
        return;
    char* copy = strdup(text);
    if (copy == nullptr)
        MemoryAllocationError();
    for (char* typeTok = std::strtok(copy, ":"); typeTok != nullptr;
         typeTok = std::strtok(nullptr, ":")) {
        char* name = std::strtok(nullptr, ":");
        char* value = name != nullptr ? std::strtok(nullptr, ":") : nullptr;
        if (name == nullptr || value == nullptr) {
            std::cout << "Not enough double override tokens" << std::flush;
            break;
        }
        const char letter = typeTok[0];
        const char* typeName = TypeNameOfLetter(letter);
        if (typeName == nullptr) {
            std::printf("Type %c not recognized\n", letter);
            std::fflush(stdout);
            continue;
        }
        bool mismatch = false;
        for (int g = 0; g < NumGVs; g++) {
            if (GVNames[g] != nullptr && std::strcmp(GVNames[g], name) == 0) {
                if (GVTypes[g] == nullptr || std::strcmp(GVTypes[g], typeName) != 0) {
                    std::cerr << "Type letter " << letter << " does not match the type "
                              << (GVTypes[g] != nullptr ? GVTypes[g] : "") << " of global variable "
                              << name << std::endl;
                    mismatch = true;
                }
                break;
            }
        }
        if (mismatch)
            continue;
        switch (letter) {
        case 'b': {
            short s = 0;
            std::sscanf(value, "%hi", &s);
            bool b = s != 0;
            OverrideGVValue(name, &b);
            break;
        }
        case 'c': {
            char c = 0;
            std::sscanf(value, "%c", &c);
            OverrideGVValue(name, &c);
            break;
        }
        case 'd': {
            double d = 0.0;
            std::sscanf(value, "%lf", &d);
            OverrideGVValue(name, &d);
            break;
        }
        case 'f': {
            float f = 0.0f;
            std::sscanf(value, "%f", &f);
            OverrideGVValue(name, &f);
            break;
        }
        case 'i': {
            int i = 0;
            std::sscanf(value, "%i", &i);
            OverrideGVValue(name, &i);
            break;
        }
        case 'l': {
            long l = 0;
            std::sscanf(value, "%li", &l);
            OverrideGVValue(name, &l);
            break;
        }
        default: { // 's'
            short s = 0;
            std::sscanf(value, "%hi", &s);
            OverrideGVValue(name, &s);
            break;
        }
        }
    }
    free(copy);
}
