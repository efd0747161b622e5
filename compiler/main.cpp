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

#include "common/AtomicFile.h"
#include "common/UserError.h"
#include "compiler/Emitter.h"
#include "compiler/Model.h"
#include "compiler/Parser.h"
#include "compiler/Source.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

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
    AtomicFile::RemoveTemporariesOnSignals();

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
        // The header and the source are one set. A file that already holds its text
        // is left alone, so that the build does not compile it again.
        std::vector<std::pair<std::string, std::string>> files;
        for (const auto& [path, contents] : {std::make_pair(stem + ".h", emitter.Header()),
                                             std::make_pair(stem + ".cpp", emitter.Source())}) {
            std::string old;
            if (!ReadWhole(path, old).empty() || old != contents)
                files.emplace_back(path, contents);
        }
        std::error_code e;
        std::filesystem::path folder = std::filesystem::path(stem).parent_path();
        if (!folder.empty() && !std::filesystem::create_directories(folder, e) && e) {
            std::cerr << "sanc: cannot make the folder " << folder.string() << ": " << e.message()
                      << "\n";
            return 1;
        }
        AtomicFile::WriteSet(files);
    } catch (const ModelError& error) {
        std::cerr << source.Message(error) << "\n";
        return 1;
    } catch (const gen::UserError& error) {
        std::cerr << "sanc: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
