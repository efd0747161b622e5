#include "driver/ChildProcess.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

std::string ChildProcess::Outcome::Describe() const {
    if (!startError.empty())
        return "could not be started: " + startError;
    if (signal != 0)
        return "ended by signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
    return "exit status " + std::to_string(status);
}

ChildProcess::Outcome ChildProcess::Run(const std::vector<std::string>& argv,
                                        const std::string& log, const LineHandler& onLine) {
    Outcome outcome;
    // Close-on-exec: a child started by another thread at the same time must not
    // hold these pipes open, or their reader would never see the end.
    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) {
        outcome.startError = std::strerror(errno);
        return outcome;
    }
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        outcome.startError = std::strerror(errno);
        close(outPipe[0]);
        close(outPipe[1]);
        return outcome;
    }
    std::FILE* logFile = nullptr;
    if (!log.empty() && (logFile = std::fopen(log.c_str(), "we")) == nullptr)
        outcome.startError = log + ": " + std::strerror(errno);

    pid_t pid = 0;
    if (outcome.startError.empty()) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
        posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0)
            outcome.startError = argv[0] + ": " + std::strerror(spawned);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    if (!outcome.startError.empty()) {
        close(outPipe[0]);
        close(errPipe[0]);
        if (logFile != nullptr)
            std::fclose(logFile);
        return outcome;
    }

    struct Stream {
        int fd;
        bool error;
        std::string pending;
        std::string* kept;
    } streams[2] = {{outPipe[0], false, "", &outcome.out}, {errPipe[0], true, "", &outcome.err}};
    auto deliver = [&](Stream& s, const std::string& line) {
        if (!onLine || onLine(line, s.error))
            *s.kept += line + "\n";
    };
    char buffer[65536];
    int open = 2;
    while (open > 0) {
        pollfd fds[2];
        int count = 0;
        Stream* which[2];
        for (Stream& s : streams)
            if (s.fd >= 0) {
                fds[count] = {s.fd, POLLIN, 0};
                which[count++] = &s;
            }
        if (poll(fds, static_cast<nfds_t>(count), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int k = 0; k < count; k++) {
            if (fds[k].revents == 0)
                continue;
            Stream& s = *which[k];
            const ssize_t n = read(s.fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                if (!s.pending.empty())
                    deliver(s, s.pending);
                close(s.fd);
                s.fd = -1;
                open--;
                continue;
            }
            if (logFile != nullptr)
                std::fwrite(buffer, 1, static_cast<size_t>(n), logFile);
            s.pending.append(buffer, static_cast<size_t>(n));
            size_t start = 0;
            for (size_t end; (end = s.pending.find('\n', start)) != std::string::npos;
                 start = end + 1)
                deliver(s, s.pending.substr(start, end - start));
            s.pending.erase(0, start);
        }
    }
    for (Stream& s : streams)
        if (s.fd >= 0)
            close(s.fd);
    if (logFile != nullptr)
        std::fclose(logFile);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        outcome.status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        outcome.signal = WTERMSIG(status);
    return outcome;
}
