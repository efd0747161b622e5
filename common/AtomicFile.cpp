#include "common/AtomicFile.h"

#include "common/UserError.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporaries of the sets being written, for a signal handler to remove: fixed
// buffers, as a handler may touch nothing else. A slot is claimed by the writer
// that fills it and released when its file is renamed or removed.
constexpr int kSlots = 64;
constexpr size_t kPathMax = 4096;
char gTemporary[kSlots][kPathMax];
std::atomic<bool> gClaimed[kSlots];

extern "C" void OnSignal(int signal) {
    for (int k = 0; k < kSlots; k++)
        if (gClaimed[k].load() && gTemporary[k][0] != '\0')
            unlink(gTemporary[k]);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::string Failure(const std::string& path, int error) {
    return path + ": cannot write: " + std::strerror(error);
}

// One temporary of a set: a claimed slot holding its name, and its descriptor.
class Temporary {
  public:
    // Creates the temporary beside `path`; throws a UserError when it cannot.
    explicit Temporary(const std::string& path) : path_(path) {
        const std::string pattern = path + ".tmp-XXXXXX";
        if (pattern.size() >= kPathMax)
            throw gen::UserError(Failure(path, ENAMETOOLONG));
        for (int k = 0; k < kSlots && slot_ < 0; k++) {
            bool free = false;
            if (gClaimed[k].compare_exchange_strong(free, true))
                slot_ = k;
        }
        if (slot_ < 0)
            throw gen::UserError(Failure(path, EMFILE));
        std::memcpy(gTemporary[slot_], pattern.c_str(), pattern.size() + 1);
        // mkstemp creates the file exclusively (a planted link or file makes it pick
        // another name) and with a random suffix.
        fd_ = mkstemp(gTemporary[slot_]);
        if (fd_ < 0) {
            const int error = errno;
            Release();
            throw gen::UserError(Failure(path, error));
        }
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd_, 0666 & ~mask);
    }
    ~Temporary() {
        if (fd_ >= 0)
            close(fd_);
        if (slot_ >= 0)
            unlink(gTemporary[slot_]);
        Release();
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    void Fill(const std::string& contents) {
        const char* data = contents.data();
        size_t left = contents.size();
        while (left > 0) {
            const ssize_t n = write(fd_, data, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw gen::UserError(Failure(path_, n < 0 ? errno : EIO));
            data += n;
            left -= static_cast<size_t>(n);
        }
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0)
            throw gen::UserError(Failure(path_, errno));
    }
    void Commit() {
        if (std::rename(gTemporary[slot_], path_.c_str()) != 0)
            throw gen::UserError(Failure(path_, errno));
        Release();
    }

  private:
    void Release() {
        if (slot_ < 0)
            return;
        gTemporary[slot_][0] = '\0';
        gClaimed[slot_].store(false);
        slot_ = -1;
    }

    std::string path_;
    int slot_ = -1;
    int fd_ = -1;
};

} // namespace

void AtomicFile::Write(const std::string& path, const std::string& contents) {
    WriteSet({{path, contents}});
}

void AtomicFile::WriteSet(const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<std::unique_ptr<Temporary>> staged;
    for (const auto& [path, contents] : files) {
        // A name a file cannot be renamed onto would fail the set halfway.
        struct stat s {};
        if (stat(path.c_str(), &s) == 0 && S_ISDIR(s.st_mode))
            throw gen::UserError(Failure(path, EISDIR));
        staged.push_back(std::make_unique<Temporary>(path));
        staged.back()->Fill(contents);
    }
    if (staged.empty())
        return;
    // Two runs committing under the same names take turns, so that the files are
    // all of one run or all of the other.
    const std::string& first = files.front().first;
    const size_t slash = first.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : first.substr(0, slash + 1);
    const int lock = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock >= 0)
        flock(lock, LOCK_EX);
    try {
        for (auto& t : staged)
            t->Commit();
    } catch (...) {
        if (lock >= 0)
            close(lock);
        throw;
    }
    if (lock >= 0)
        close(lock); // releases the lock
}

void AtomicFile::CheckWritable(const std::string& path) {
    struct stat s {};
    if (stat(path.c_str(), &s) == 0 && S_ISDIR(s.st_mode))
        throw gen::UserError(Failure(path, EISDIR));
    Temporary probe(path);
}

void AtomicFile::RemoveTemporariesOnSignals() {
    std::signal(SIGXFSZ, SIG_IGN);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        std::signal(s, OnSignal);
}
