#ifndef COMMANDLINE_H
#define COMMANDLINE_H

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

// Parses the arguments into the settings above and the two out-parameters; prints
// the usage text and exits with status 0 when too few arguments are given.
void commandline(int argc, char** argv, int& fileType, char*& traceFileName);

#endif
