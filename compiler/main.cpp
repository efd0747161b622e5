// sanc: compiles a model file into the C++ classes of a gen program.
//
//   sanc <model file> <output stem>
//   sanc --experiments <model file>
//
// writes <output stem>.h and <output stem>.cpp; with --experiments it writes nothing
// and lists the study on standard output instead, tab-separated, for programs that
// run the study:
//   model <top model>
//   global <type> <name>              one line per global variable, in order
//   experiment <number> <value>...    one line per experiment, a value per global A mistake in the
//   model is reported
// as "file:line:column: error: what" on standard error, with exit status 1, and
// leaves any earlier output in place.

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

bool ReadWhole(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return !in.bad();
}

// Writes `text` to `path` through a temporary file, so that an interrupted build
// never leaves half a source behind; a file that already holds the text is left
// alone, so that the build does not recompile it.
bool WriteIfChanged(const std::string& path, const std::string& text) {
    std::string old;
    if (ReadWhole(path, old) && old == text)
        return true;
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
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
    const std::string modelPath = list ? argv[2] : argv[1];
    const std::string stem = argv[2];
    std::string text;
    if (!ReadWhole(modelPath, text)) {
        std::cerr << "sanc: cannot read " << modelPath << ": " << std::strerror(errno) << "\n";
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
        std::string header = emitter.Header();
        std::string code = emitter.Source();
        std::error_code ignored;
        std::filesystem::path folder = std::filesystem::path(stem).parent_path();
        if (!folder.empty())
            std::filesystem::create_directories(folder, ignored);
        if (!WriteIfChanged(stem + ".h", header) || !WriteIfChanged(stem + ".cpp", code)) {
            std::cerr << "sanc: cannot write " << stem << ".h/.cpp: " << std::strerror(errno)
                      << "\n";
            return 1;
        }
    } catch (const ModelError& error) {
        std::cerr << source.Message(error) << "\n";
        return 1;
    }
    return 0;
}
