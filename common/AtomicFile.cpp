#include "common/AtomicFile.h"

#include "common/UserError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

void AtomicFile::Write(const std::string& path, const std::string& contents) {
    const std::string temporary = path + ".tmp-" + std::to_string(static_cast<long>(getpid()));
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (f == nullptr)
        throw gen::UserError(path + ": cannot write: " + std::strerror(errno));
    const bool written = std::fwrite(contents.data(), 1, contents.size(), f) == contents.size();
    const int error = errno;
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        std::remove(temporary.c_str());
        throw gen::UserError(path + ": cannot write: " + std::strerror(written ? errno : error));
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int e = errno;
        std::remove(temporary.c_str());
        throw gen::UserError(path + ": cannot write: " + std::strerror(e));
    }
}
