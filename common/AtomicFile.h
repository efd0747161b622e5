// Writes whole files, alone or as a set, so that no reader ever sees half a file
// under its final name, nor the new CSV of a run beside the old plots of another:
// each file goes to a temporary in its own folder (the final name followed by
// ".tmp-" and a random suffix, created anew: never through a link someone planted,
// under a name nobody can guess), and only when every file of the set is whole are
// they renamed into place, one after the other, under a lock on the folder that
// another writer of the same names waits for. A failure removes the temporaries
// and leaves the earlier files as they were; so do the signals that end a run
// (SIGINT, SIGTERM, SIGHUP, SIGPIPE) once RemoveTemporariesOnSignals() is called,
// and a file-size limit makes the write fail instead of ending the process.
#pragma once

#include <string>
#include <utility>
#include <vector>

class AtomicFile {
  public:
    // A failure is a UserError naming the file.
    static void Write(const std::string& path, const std::string& contents);
    // (path, contents) pairs, committed together.
    static void WriteSet(const std::vector<std::pair<std::string, std::string>>& files);

    // Whether `path` can be written, found before any work: a temporary is made
    // beside it and removed. A failure is a UserError naming the file and the reason.
    static void CheckWritable(const std::string& path);

    // Installs the handlers that remove the temporaries being written before the
    // signal ends the process, and ignores SIGXFSZ (the write then fails with its
    // reason). For a program's main, once.
    static void RemoveTemporariesOnSignals();
};
