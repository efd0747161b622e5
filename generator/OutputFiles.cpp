#include "generator/OutputFiles.h"

#include "BaseClasses/ProcessEnd.h"
#include "common/ChainFormat.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kSuffixes[OutputFiles::NumKinds] = {
    ".arm", ".var", ".det", ".pvtype", ".rates", chainformat::kSuffix, ".states"};

// The temporaries of the current run, read by the signal handler: plain pointers to
// strings that stay put while they are registered.
std::atomic<const char*> registered[OutputFiles::NumKinds];

void RemoveOnEnd() {
    OutputFiles::RemoveTemporaries();
}

extern "C" void OnInterrupt(int signal) {
    OutputFiles::RemoveTemporaries();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::string Canonical(const std::string& name) {
    std::error_code error;
    std::filesystem::path p = std::filesystem::weakly_canonical(name, error);
    if (error)
        return std::filesystem::absolute(name, error).lexically_normal().string();
    return p.string();
}

} // namespace

std::string OutputFiles::MarkerName(const std::string& stateSpaceFile) {
    return stateSpaceFile.substr(0, stateSpaceFile.size() - std::strlen(kSuffixes[StateSpace])) +
           ".commit";
}

std::string OutputFiles::FinalName(const char* path, const char* name, Kind kind) {
    std::string s;
    if (path != nullptr)
        s += path;
    if (name != nullptr)
        s += name;
    return s + kSuffixes[kind];
}

OutputFiles::OutputFiles(const char* path, const char* name) {
    for (int k = 0; k < NumKinds; k++)
        finals[k] = FinalName(path, name, static_cast<Kind>(k));
    SetEndCleanup(RemoveOnEnd);
}

OutputFiles::~OutputFiles() {
    for (int k = 0; k < NumKinds; k++) {
        if (registered[k].exchange(nullptr) != nullptr)
            std::remove(temporaries[k].c_str());
    }
}

char* OutputFiles::Temporary(Kind kind) {
    // A final name that could not be written over (a folder, a read-only file) is
    // handed out itself: opening it fails then, at once and with the same report as
    // a file that cannot be created, instead of after the whole exploration.
    struct stat info;
    if (stat(finals[kind].c_str(), &info) == 0 &&
        (S_ISDIR(info.st_mode) || access(finals[kind].c_str(), W_OK) != 0))
        return &finals[kind][0];
    // Created here, exclusively and under a random name: a link planted in a shared
    // folder is never written through, and nobody can plant one at a name to come.
    // (In a folder with the sticky bit, /tmp, nobody else can replace it afterwards.)
    std::string name = finals[kind] + ".tmp-XXXXXX";
    const int fd = mkstemp(&name[0]);
    if (fd < 0)
        return &finals[kind][0]; // opening it reports the failure as before
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    temporaries[kind] = name;
    used[kind] = true;
    registered[kind].store(temporaries[kind].c_str());
    return &temporaries[kind][0];
}

bool OutputFiles::Commit() {
    // No interruption between the renames: the results move into place together.
    sigset_t all, previous;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &previous);
    // Nor another run's renames under the same names: the folder is locked while
    // the set moves, so that its files are all of one run or all of the other.
    std::string folder = finals[0].substr(0, finals[0].find_last_of('/') + 1);
    const int lock =
        open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock >= 0)
        flock(lock, LOCK_EX);
    // The marker stands while the set moves: a process killed between two renames
    // (SIGKILL cannot be blocked) leaves it beside a mix of two runs, and a reader
    // that finds it knows not to trust the set.
    const std::string marker = MarkerName(finals[StateSpace]);
    const int mark =
        open(marker.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (mark >= 0) {
        const char text[] = "gen is replacing these results\n";
        const ssize_t written = write(mark, text, sizeof text - 1);
        (void)written;
        close(mark);
    }
    bool ok = true;
    for (int k = 0; k < NumKinds && ok; k++) {
        if (used[k]) {
            if (std::rename(temporaries[k].c_str(), finals[k].c_str()) != 0) {
                std::cerr << "Error: Could not move " << temporaries[k] << " to " << finals[k]
                          << ": " << std::strerror(errno) << std::endl;
                ok = false;
            } else {
                registered[k].store(nullptr);
            }
        } else if (std::remove(finals[k].c_str()) != 0 && errno != ENOENT) {
            std::cerr << "Error: Could not remove the earlier " << finals[k] << ": "
                      << std::strerror(errno) << std::endl;
            ok = false;
        }
    }
    if (ok)
        unlink(marker.c_str());
    if (lock >= 0)
        close(lock); // releases the lock
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    return ok;
}

bool OutputFiles::IsOutputName(const char* file, const char* path, const char* name) {
    if (file == nullptr)
        return false;
    const std::string target = Canonical(file);
    for (int k = 0; k < NumKinds; k++)
        if (Canonical(FinalName(path, name, static_cast<Kind>(k))) == target)
            return true;
    return false;
}

void OutputFiles::RemoveTemporaries() {
    for (auto& name : registered) {
        if (const char* n = name.exchange(nullptr))
            unlink(n);
    }
}

void OutputFiles::InstallSignalHandlers() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // SIGPIPE too: "gen ... | head" must not leave its temporaries behind.
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        sigaction(s, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}
