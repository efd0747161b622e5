#ifndef RESULTSDB_H
#define RESULTSDB_H

// Results-database hook with stub behaviour: every operation reports success.
class ResultsDB {
  public:
    char host[100];
    int port;
    char* text1;
    char* text2;
    char* text3;

    ResultsDB(const char* host, int port, const char* t1, const char* t2, const char* t3);
    ~ResultsDB();
    ResultsDB(const ResultsDB&) = delete;
    ResultsDB& operator=(const ResultsDB&) = delete;

    void setDBInfo(const char* host, int port, const char* t1, const char* t2, const char* t3);
    bool init() { return true; }
    int getRunId() { return -1; }
    bool writeSingleGV() { return true; }
    bool writeGVValues() { return true; }
    bool writeSSGExperInfo(const char*, unsigned int) { return true; }
};

#endif
