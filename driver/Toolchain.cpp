#include "driver/Toolchain.h"

#include <sstream>
#include <sys/stat.h>

namespace {

const char kKit[] =
#include "StudyKit.inc"
    ;

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

} // namespace

Toolchain Toolchain::Built() {
    Toolchain t;
    std::istringstream in(kKit);
    std::string line;
    while (std::getline(in, line)) {
        const size_t space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        if (key == "sanc")
            t.sanc = rest;
        else if (key == "solve")
            t.solve = rest;
        else if (key == "compiler")
            t.compiler = rest;
        else if (key == "flags")
            t.flags = Words(rest);
        else if (key == "include")
            t.include = rest;
        else if (key == "gen_object")
            t.genObjects.push_back(rest);
        else if (key == "gen_library")
            t.genLibraries.push_back(rest);
        else if (key == "sim_object")
            t.simObjects.push_back(rest);
        else if (key == "sim_library")
            t.simLibraries.push_back(rest);
    }
    return t;
}

std::string Toolchain::Identity() const {
    std::ostringstream id;
    id << compiler;
    for (const std::string& f : flags)
        id << ' ' << f;
    id << '\n';
    for (const std::vector<std::string>* files :
         {&genObjects, &genLibraries, &simObjects, &simLibraries})
        for (const std::string& f : *files)
            id << FileIdentity(f) << '\n';
    return id.str();
}

std::string Toolchain::FileIdentity(const std::string& path) {
    struct stat s {};
    if (stat(path.c_str(), &s) != 0)
        return path + " missing";
    return path + ' ' + std::to_string(s.st_size) + ' ' + std::to_string(s.st_mtim.tv_sec) + '.' +
           std::to_string(s.st_mtim.tv_nsec);
}
