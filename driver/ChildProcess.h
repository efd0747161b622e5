// Runs one program to its end, the way the driver runs sanc, the compiler, gen,
// solve and the simulator: standard input from /dev/null, standard output and
// error through pipes of their own. Both are written to one log file in the order
// they arrive, so that it reads as on a terminal, kept apart in memory (without
// the progress lines the caller passes over), and shown to the caller line by line.
#pragma once

#include <functional>
#include <string>
#include <vector>

class ChildProcess {
  public:
    struct Outcome {
        int status = -1;        // exit status; -1 when the program did not exit
        int signal = 0;         // the signal that ended it, 0 otherwise
        std::string startError; // why the program could not be started, or ""
        std::string out;        // standard output
        std::string err;        // standard error
        bool Succeeded() const { return status == 0; }
        // "exit status 3", "ended by signal 9 (Killed)", "could not be started: ..."
        std::string Describe() const;
    };

    // Called for every line, `error` telling which stream it came from; returns false
    // for a line that is not to be kept (a progress line). `log` empty: no log file.
    using LineHandler = std::function<bool(const std::string& line, bool error)>;

    static Outcome Run(const std::vector<std::string>& argv, const std::string& log,
                       const LineHandler& onLine = nullptr);
};
