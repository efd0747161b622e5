#ifndef RESULTSDB_H
#define RESULTSDB_H

// Results-database hook with stub behaviour: it keeps what it is given and every
// operation reports success.
class ResultsDB {
  public:
    // Host name, truncated to 99 characters.
    char host[100];
    // 0 until a port other than -1 is given.
    int port;
    // Owned copies, or null.
    char* text1;
    char* text2;
    char* text3;

    ResultsDB(const char* host, int port, const char* t1, const char* t2, const char* t3);
    ~ResultsDB();
    ResultsDB(const ResultsDB&) = delete;
    ResultsDB& operator=(const ResultsDB&) = delete;

    // A null text leaves the kept one unchanged; a port of -1 leaves the port unchanged.
    void setDBInfo(const char* host, int port, const char* t1, const char* t2, const char* t3);
    bool init() { return true; }
    int getRunId() { return -1; }
    bool writeSingleGV() { return true; }
    bool writeGVValues() { return true; }
    bool writeSSGExperInfo(const char*, unsigned int) { return true; }
};

#endif
