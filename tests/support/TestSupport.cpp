#include "support/TestSupport.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace testsupport {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Listing(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string GenProgram() {
    return std::string(GEN_BINARY_DIR) + "/gen";
}

std::string TestModel(const std::string& name) {
    return std::string(GEN_BINARY_DIR) + "/testmodels/" + name;
}

std::string BenchProgram(const std::string& name) {
    return std::string(GEN_BINARY_DIR) + "/bench/" + name;
}

std::string SancProgram() {
    return std::string(GEN_BINARY_DIR) + "/compiler/sanc";
}

ScratchDir::ScratchDir(const std::string& prefix) {
    std::string pattern = (fs::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (mkdtemp(&pattern[0]) == nullptr)
        return;
    root_ = pattern;
    work_ = root_ / "work";
    std::error_code failed;
    fs::create_directory(work_, failed);
    if (failed) {
        fs::remove_all(root_, failed);
        root_.clear();
        work_.clear();
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    if (Ready())
        fs::remove_all(root_, ignored);
}

RunResult ScratchDir::Run(const std::string& program, const std::string& args,
                          const std::string& setup) const {
    RunResult r;
    if (!Ready()) {
        r.err = "no scratch folder to run " + program + " in\n";
        return r;
    }
    // exec, so that the status seen is the program's own and a signal that ends it
    // is not turned into an exit status by the shell.
    std::string cmd = "cd '" + work_.string() + "' && " + setup + "exec '" + program + "' " + args +
                      " >'" + (root_ / "stdout").string() + "' 2>'" + (root_ / "stderr").string() +
                      "'";
    int raw = std::system(cmd.c_str());
    // -1 means the shell could not be started; it is no wait status.
    if (raw != -1) {
        if (WIFEXITED(raw))
            r.status = WEXITSTATUS(raw);
        else if (WIFSIGNALED(raw))
            r.signal = WTERMSIG(raw);
    }
    r.out = ReadFile(root_ / "stdout");
    r.err = ReadFile(root_ / "stderr");
    return r;
}

std::string ScratchDir::Output(const std::string& name) const {
    return ReadFile(work_ / name);
}

bool ScratchDir::Exists(const std::string& name) const {
    return fs::exists(work_ / name);
}

std::vector<std::string> ScratchDir::Listing() const {
    return testsupport::Listing(work_);
}

ScratchTest::ScratchTest(const std::string& prefix)
    : scratch_(prefix), root(scratch_.Root()), work(scratch_.Work()) {}

void ScratchTest::SetUp() {
    ASSERT_TRUE(scratch_.Ready()) << "cannot make a scratch folder under "
                                  << fs::temp_directory_path();
}

} // namespace testsupport
