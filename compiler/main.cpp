// sanc: compiles a model file into the C++ classes of a gen program.
//
//   sanc <model file> <output stem>
//   sanc --experiments <model file>
//
// The first form writes <output stem>.h and <output stem>.cpp. The second writes
// nothing and lists the study on standard output instead, tab-separated, for
// programs that run the study:
//
//   model <top model>
//   global <type> <name>              one line per global variable, in order
//   experiment <number> <value>...    one line per experiment, a value per global
//
// A mistake in the model is reported as "file:line:column: error: what" on standard
// error, with exit status 1, and leaves any earlier output in place.

#include "compiler/Emitter.h"
#include "compiler/Model.h"
#include "compiler/Parser.h"
#include "compiler/Source.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporaries being written, for a signal to remove: fixed buffers, as a
// handler may touch nothing else.
char gTemporaries[2][4096];

void RemoveTemporaries() {
    for (char* t : gTemporaries)
        if (t[0] != '\0')
            unlink(t);
}

extern "C" void OnSignal(int signal) {
    RemoveTemporaries();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The reason of a failure to read `path`, or "" when it was read whole.
std::string ReadWhole(const std::string& path, std::string& text) {
    std::error_code e;
    if (std::filesystem::is_directory(path, e))
        return std::strerror(EISDIR);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::strerror(errno);
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return in.bad() ? std::strerror(errno) : "";
}

// Writes the header and the source as one set: both go to temporaries first
// (created anew, never through a link someone planted, under names nobody can
// guess), and only when both are whole are they renamed into place. A file that
// already holds its text is left alone, so that the build does not recompile it.
// Returns "" or why it failed.
std::string WriteSet(const std::string (&paths)[2], const std::string (&texts)[2]) {
    bool changed[2] = {false, false};
    for (int k = 0; k < 2; k++) {
        std::string old;
        changed[k] = !ReadWhole(paths[k], old).empty() || old != texts[k];
    }
    const mode_t mask = umask(0);
    umask(mask);
    std::string failure;
    for (int k = 0; k < 2 && failure.empty(); k++) {
        if (!changed[k])
            continue;
        const std::string pattern = paths[k] + ".tmp-XXXXXX";
        if (pattern.size() >= sizeof gTemporaries[k])
            return paths[k] + ": " + std::strerror(ENAMETOOLONG);
        std::memcpy(gTemporaries[k], pattern.c_str(), pattern.size() + 1);
        const int fd = mkstemp(gTemporaries[k]);
        if (fd < 0) {
            failure = paths[k] + ": " + std::strerror(errno);
            gTemporaries[k][0] = '\0';
            break;
        }
        fchmod(fd, 0666 & ~mask);
        const char* data = texts[k].data();
        size_t left = texts[k].size();
        while (left > 0 && failure.empty()) {
            const ssize_t n = write(fd, data, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                failure = paths[k] + ": " + std::strerror(n < 0 ? errno : EIO);
            else
                data += n, left -= static_cast<size_t>(n);
        }
        if (close(fd) != 0 && failure.empty())
            failure = paths[k] + ": " + std::strerror(errno);
    }
    for (int k = 0; k < 2 && failure.empty(); k++)
        if (changed[k] && std::rename(gTemporaries[k], paths[k].c_str()) != 0)
            failure = paths[k] + ": " + std::strerror(errno);
        else
            gTemporaries[k][0] = '\0';
    RemoveTemporaries();
    gTemporaries[0][0] = gTemporaries[1][0] = '\0';
    return failure;
}

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The study as the generated classes hold it: the values are the literals the
// tables are initialised with.
void ListExperiments(const Model& model) {
    std::cout << "model\t" << model.Top() << "\n";
    const std::vector<Global>& globals = model.File().globals;
    for (const Global& g : globals)
        std::cout << "global\t" << g.type.text << "\t" << g.name.text << "\n";
    for (int e = 0; e < model.Experiments(); e++) {
        std::cout << "experiment\t" << e;
        for (size_t g = 0; g < globals.size(); g++)
            std::cout << "\t" << model.GlobalValues()[g][static_cast<size_t>(e)];
        std::cout << "\n";
    }
    std::cout.flush();
}

} // namespace

int main(int argc, char** argv) {
    const bool list = argc == 3 && std::strcmp(argv[1], "--experiments") == 0;
    if (argc != 3) {
        std::cerr << "usage: sanc <model file> <output stem>\n"
                     "writes <output stem>.h and <output stem>.cpp\n"
                     "       sanc --experiments <model file>\n"
                     "lists the study's experiments with the value of every global variable\n";
        return 1;
    }
    // A file-size limit makes write() fail instead of ending the process, so that
    // the temporaries go; the signals that end a build remove them too.
    std::signal(SIGXFSZ, SIG_IGN);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        std::signal(s, OnSignal);

    const std::string modelPath = list ? argv[2] : argv[1];
    const std::string stem = argv[2];
    std::string text;
    const std::string unreadable = ReadWhole(modelPath, text);
    if (!unreadable.empty()) {
        std::cerr << "sanc: cannot read " << modelPath << ": " << unreadable << "\n";
        return 1;
    }
    Source source(modelPath, text);
    try {
        Model model(Parser(source).Parse());
        if (list) {
            ListExperiments(model);
            return std::cout ? 0 : 1;
        }
        Emitter emitter(model, modelPath, BaseName(stem) + ".h", stem + ".h", stem + ".cpp");
        const std::string texts[2] = {emitter.Header(), emitter.Source()};
        std::error_code e;
        std::filesystem::path folder = std::filesystem::path(stem).parent_path();
        if (!folder.empty() && !std::filesystem::create_directories(folder, e) && e) {
            std::cerr << "sanc: cannot make the folder " << folder.string() << ": " << e.message()
                      << "\n";
            return 1;
        }
        const std::string failure = WriteSet({stem + ".h", stem + ".cpp"}, texts);
        if (!failure.empty()) {
            std::cerr << "sanc: cannot write " << failure << "\n";
            return 1;
        }
    } catch (const ModelError& error) {
        std::cerr << source.Message(error) << "\n";
        return 1;
    }
    return 0;
}
