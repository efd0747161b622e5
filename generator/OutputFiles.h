#ifndef OUTPUTFILES_H
#define OUTPUTFILES_H

#include <string>

// The files of one run. Each is written under a temporary name in the folder of its
// final name (the final name followed by ".tmp-" and a random suffix, created
// exclusively) and renamed into place only once the whole run has succeeded, so that
// a failed or interrupted run leaves no partial file under a final name and the
// results of an earlier run stay as they were. The renames hold a lock on the folder,
// so that two runs under the same names leave the files of one of them, and a marker
// file stands beside them while they move. The
// temporaries are removed when the process ends early (through EndProcess, or by
// SIGINT, SIGTERM, SIGHUP or SIGPIPE).
class OutputFiles {
  public:
    enum Kind {
        StateSpace,
        Rewards,
        Deterministic,
        PVType,
        Rates,
        BinaryStateSpace,
        States,
        NumKinds
    };

    // The final names are the plain concatenation of path, name and each suffix.
    OutputFiles(const char* path, const char* name);
    // Removes the temporaries that were not committed.
    ~OutputFiles();
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    static std::string FinalName(const char* path, const char* name, Kind kind);
    // "<path><name>.commit": present only while a run moves its files into place,
    // or after a run was killed doing so (then the files may be of two runs).
    static std::string MarkerName(const std::string& stateSpaceFile);
    const std::string& Final(Kind kind) const { return finals[kind]; }
    // The name to write the file under; the file then belongs to the run's results.
    // When the final name cannot be written over, it is the final name itself, so
    // that opening it fails.
    char* Temporary(Kind kind);
    // Moves every file written into place. A final name of this run that was not
    // written (a state-space file of an earlier run with deterministic activities,
    // say) is removed, so that it is not read as belonging to these results. On a
    // failure, reports it on standard error and returns false.
    bool Commit();

    // Whether `file` names the same file as one of the final names.
    static bool IsOutputName(const char* file, const char* path, const char* name);

    // Removes every registered temporary; safe inside a signal handler.
    static void RemoveTemporaries();
    // Interrupting signals remove the temporaries before the process ends by the
    // signal; a file-size limit makes the write fail (and the run report it)
    // instead of ending the process with a file that looks complete.
    static void InstallSignalHandlers();

  private:
    std::string finals[NumKinds];
    std::string temporaries[NumKinds];
    bool used[NumKinds] = {};
};

#endif
