#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <cstdint>

// Process-wide settings of a run, written by commandline().
extern char* exp_path;
extern char* ExpName;
extern int ExpNum;
extern double hash_value;
extern short flagAbsorb;
extern char* OverrideString;
extern char* db_host;
extern char* db_entity;
extern int TempTraceLevel;
// 0: instantaneous firings are resolved by recursion, up to a fixed depth. Otherwise
// (-z[<limit>]) the vanishing markings after each timed firing are explored and
// eliminated exactly, at most this many per timed firing.
extern uint32_t VanishingLimit;
// -x: the states are kept in the extended table, which numbers up to 2^32 - 1 of
// them, instead of today's, which stops at 12,799,999.
extern bool ExtendedStorage;
// -b: the binary state-space file (.armb) beside the text one (1); -bonly: instead
// of it (2); otherwise 0.
extern int BinaryChainFile;
// 0: no states file. 1 (-m): the states file lists each state's nonzero places;
// 2 (-mall): every place.
extern int StatesListing;
// The limit of a bare -z: enough for any closure that fits in memory comfortably.
constexpr uint32_t DefaultVanishingLimit = 1000000;

// Parses the arguments into the settings above and the two out-parameters; prints
// the usage text and exits with status 0 when too few arguments are given.
void commandline(int argc, char** argv, int& fileType, char*& traceFileName);

#endif
