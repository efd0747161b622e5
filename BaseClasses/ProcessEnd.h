#ifndef PROCESSEND_H
#define PROCESSEND_H

#include <ostream>
#include <string>

// The one way a run ends early. Every fatal report, and every other stop before the
// end of main, goes through EndProcess: the first thread to arrive claims the end of
// the process, writes its text, flushes the standard streams, removes the run's
// unfinished files (the cleanup set below) and ends the process with `status`
// without running exit handlers or destructors of process-wide objects, so that a
// thread still at work never sees them destroyed. A thread that arrives while the
// process is ending parks for good instead: its message and status never mix with
// the first one's.

// Writes `text` as it stands (no line end is added) on `out`, then ends the process.
[[noreturn]] void EndProcess(std::ostream& out, const char* text, int status);
[[noreturn]] void EndProcess(std::ostream& out, const std::string& text, int status);
// Ends the process with `status` without a message of its own.
[[noreturn]] void EndProcess(int status);

// A fatal condition: the text and status 1.
[[noreturn]] inline void Fatal(std::ostream& out, const char* text) {
    EndProcess(out, text, 1);
}
[[noreturn]] inline void Fatal(std::ostream& out, const std::string& text) {
    EndProcess(out, text, 1);
}

// Whether some thread is ending the process. Threads that work alongside another
// ask this at every unit of work and call ParkIfEnding() there.
bool ProcessEnding();
// Parks the calling thread for good when another thread is ending the process.
void ParkIfEnding();

// Run once by the ending thread, after its text and before the process ends: the
// place to remove files that must not outlive a failed run. Must not allocate or
// take locks that a parked thread may hold. One function; a later call replaces it.
void SetEndCleanup(void (*cleanup)());

// Makes every failed allocation of operator new end the process with the
// out-of-memory report instead of an uncaught exception.
void InstallOutOfMemoryHandler();

#endif
