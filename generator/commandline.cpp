#include "generator/commandline.h"

#include "BaseClasses/ProcessEnd.h"
#include "BaseClasses/StandardErrors.h"

#include <cerrno>
#include <climits>
#include <linux/limits.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>
#include <string>

char* exp_path = nullptr;
char* ExpName = nullptr;
int ExpNum = 0;
double hash_value = 0.5;
short flagAbsorb = 0;
char* OverrideString = nullptr;
char* db_host = nullptr;
char* db_entity = nullptr;
int TempTraceLevel = 0;
uint32_t VanishingLimit = 0;
bool ExtendedStorage = false;
int BinaryChainFile = 0;
int StatesListing = 0;

namespace {

// Copy released with delete[] by the run sequence.
char* ArrayCopy(const char* text) {
    size_t length = std::strlen(text) + 1;
    char* copy = new (std::nothrow) char[length];
    if (copy == nullptr)
        MemoryAllocationError();
    std::memcpy(copy, text, length);
    return copy;
}

// Copy released with free() by its consumer.
char* CCopy(const char* text) {
    char* copy = strdup(text);
    if (copy == nullptr)
        MemoryAllocationError();
    return copy;
}

// Replaces a copy made earlier in the same parse (a repeated option).
void ReplaceArrayCopy(char*& target, bool& setHere, const char* value) {
    if (setHere)
        delete[] target;
    target = ArrayCopy(value);
    setHere = true;
}

void ReplaceCCopy(char*& target, bool& setHere, const char* value) {
    if (setHere)
        std::free(target);
    target = CCopy(value);
    setHere = true;
}

[[noreturn]] void Usage() {
    // Three pieces on one line: two blanks stand before "-ltrace_level".
    EndProcess(std::cout,
               "usage:  gen -Pexperimentfilepath -Nexperimentname -hhash_value"
               " -Bexperimentnumber -Ffiletype -edb_entity -sdb_macserver "
               " -ltrace_level[0-4] -tTraceFilename\n"
               "Example:  gen -P. -Nexp1 -B0\n",
               0);
}

[[noreturn]] void MissingValue(char letter) {
    Fatal(std::cout, std::string("ERROR: option -") + letter + " needs a value\n");
}

// A decimal number that fits an int: a value that would wrap selects something the
// user did not ask for. With `whole`, a stray character does too (an experiment
// number); without it, the number is read as atoi reads it (a trace level, where the
// front end's "-l07x" and "-labc" mean 7 and 0).
int WholeNumber(const char* value, const char* what, bool whole) {
    errno = 0;
    char* end = nullptr;
    const long long n = std::strtoll(value, &end, 10);
    if (whole && (end == value || *end != '\0'))
        Fatal(std::cout, std::string("ERROR: ") + what + " is not a whole number: " + value + "\n");
    if (errno == ERANGE || n < INT_MIN || n > INT_MAX)
        Fatal(std::cout, std::string("ERROR: ") + what + " is out of range: " + value +
                             " (it must fit an int: -2147483648 to 2147483647)\n");
    return static_cast<int>(n);
}

bool NeedsValue(char letter) {
    return letter != '\0' && std::strchr("PNBhFestlO", letter);
}

} // namespace

void commandline(int argc, char** argv, int& fileType, char*& traceFileName) {
    exp_path = nullptr;
    ExpName = nullptr;
    if (argc <= 3)
        Usage();

    bool pathSet = false, nameSet = false, hostSet = false, entitySet = false;
    bool overrideSet = false, traceSet = false;
    for (int i = 1; i < argc; i++) {
        const char* word = argv[i];
        if (word[0] != '-')
            continue;
        const char letter = word[1];
        const char* value = nullptr;
        const char* examined = word; // the word an unknown option is reported by
        const size_t length = std::strlen(word);
        if (length == 2 && i + 1 < argc && argv[i + 1][0] != '-') {
            value = argv[++i];
            examined = value;
        } else if (length > 2) {
            value = word + 2;
        }
        if (value == nullptr && NeedsValue(letter))
            MissingValue(letter);

        switch (letter) {
        case 'P':
            ReplaceArrayCopy(exp_path, pathSet, value);
            std::cout << "path=[" << value << "]" << std::endl;
            break;
        case 'N':
            ReplaceArrayCopy(ExpName, nameSet, value);
            break;
        case 'B':
            ExpNum = WholeNumber(value, "experiment number (-B)", true);
            break;
        case 'h': {
            double load;
            if (std::sscanf(value, "%lf", &load) == 1)
                hash_value = load;
            break;
        }
        case 'F':
            fileType = std::atoi(value);
            break;
        case 'e':
            ReplaceArrayCopy(db_entity, entitySet, value);
            break;
        case 's':
            ReplaceArrayCopy(db_host, hostSet, value);
            break;
        case 'l':
            TempTraceLevel = WholeNumber(value, "trace level (-l)", false);
            std::cout << "TraceLevel=" << TempTraceLevel << std::endl;
            break;
        case 't':
            ReplaceCCopy(traceFileName, traceSet, value);
            break;
        case 'O':
            ReplaceCCopy(OverrideString, overrideSet, value);
            std::cout << "OverrideString is " << value << std::endl;
            break;
        case 'a':
            flagAbsorb = 1;
            break;
        case 'x':
            ExtendedStorage = true;
            break;
        case 'b':
            if (value == nullptr)
                BinaryChainFile = 1;
            else if (std::strcmp(value, "only") == 0)
                BinaryChainFile = 2;
            else
                Fatal(std::cout, std::string("ERROR: -b takes no value, or \"only\" (the binary "
                                             "state-space file instead of the text one): -b") +
                                     value + "\n");
            break;
        case 'z':
            VanishingLimit = DefaultVanishingLimit;
            if (value != nullptr) {
                const int limit = WholeNumber(value, "vanishing-marking limit (-z)", true);
                if (limit < 1)
                    Fatal(std::cout, std::string("ERROR: the vanishing-marking limit (-z) must be "
                                                 "at least 1: ") +
                                         value + "\n");
                VanishingLimit = static_cast<uint32_t>(limit);
            }
            break;
        case 'm':
            if (value == nullptr || std::strcmp(value, "nonzero") == 0)
                StatesListing = 1;
            else if (std::strcmp(value, "all") == 0)
                StatesListing = 2;
            else
                Fatal(std::cout, std::string("ERROR: the states file option (-m) takes no value, "
                                             "'nonzero' or 'all': ") +
                                     value + "\n");
            break;
        default:
            std::cout << "ERROR: unknown argument: " << examined << std::endl;
            break;
        }
    }

    if (ExpName == nullptr)
        Fatal(std::cout, "ERROR: missing experiment name (-N)\n");
    if (ExpName[0] == '\0')
        Fatal(std::cout, "ERROR: the experiment name (-N) is empty: the output files would be "
                         "hidden, named only by their suffixes (.arm, .var, ...)\n");
    // The longest name a run uses is a temporary of the type file. Refused here, the
    // reason is plain; at the first write it would only be "could not write".
    const std::string longest =
        std::string(exp_path != nullptr ? exp_path : "") + ExpName + ".pvtype.tmp-XXXXXX";
    const size_t slash = longest.find_last_of('/');
    const size_t last = longest.size() - (slash == std::string::npos ? 0 : slash + 1);
    if (last > NAME_MAX || longest.size() >= PATH_MAX)
        Fatal(std::cout, "ERROR: the output file names (-P, -N) are too long: " + longest +
                             " has " + std::to_string(last > NAME_MAX ? last : longest.size()) +
                             " bytes " + (last > NAME_MAX ? "in its last part" : "in all") +
                             ", more than the " +
                             std::to_string(last > NAME_MAX ? NAME_MAX : PATH_MAX - 1) +
                             " a file name may have\n");
    // Without -P the output files are named from the experiment name alone.
    if (exp_path == nullptr)
        exp_path = ArrayCopy("");
}
