#include "generator/OutputFiles.h"

#include "BaseClasses/ProcessEnd.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kSuffixes[OutputFiles::NumKinds] = {".arm", ".var", ".det", ".pvtype"};

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

std::string OutputFiles::FinalName(const char* path, const char* name, Kind kind) {
    std::string s;
    if (path != nullptr)
        s += path;
    if (name != nullptr)
        s += name;
    return s + kSuffixes[kind];
}

OutputFiles::OutputFiles(const char* path, const char* name) {
    const std::string tag = ".tmp-" + std::to_string(static_cast<long>(getpid()));
    for (int k = 0; k < NumKinds; k++) {
        finals[k] = FinalName(path, name, static_cast<Kind>(k));
        temporaries[k] = finals[k] + tag;
    }
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
    used[kind] = true;
    registered[kind].store(temporaries[kind].c_str());
    return &temporaries[kind][0];
}

bool OutputFiles::Commit() {
    // No interruption between the renames: the results move into place together.
    sigset_t all, previous;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &previous);
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
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        sigaction(s, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}
