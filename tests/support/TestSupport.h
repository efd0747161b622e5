// Helpers shared by the tests that run built programs and read the files they
// write: where the programs are, a scratch folder to run them in, and reading a
// file whole.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// The sanitizers reserve more address space than any small limit allows and report
// an impossible allocation themselves: tests of memory exhaustion skip under them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif

// The whole file, byte for byte; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);
// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

// The names of the entries of `dir`, sorted.
std::vector<std::string> Listing(const std::filesystem::path& dir);

// Paths of the programs built with the tests.
std::string GenProgram();                          // the example model's gen
std::string TestModel(const std::string& name);    // one of tests/models
std::string BenchProgram(const std::string& name); // one of bench/
std::string SancProgram();                         // the model compiler

struct RunResult {
    int status = -1; // exit status, or -1 when the program did not exit normally
    int signal = 0;  // the signal that ended the program, 0 otherwise
    std::string out;
    std::string err;
};

// A fresh folder under the temp directory, removed with everything in it when the
// object goes. Programs run in its `work` subfolder; their standard output and
// error are kept beside it, so that `work` holds only the files they write.
class ScratchDir {
  public:
    // `prefix` starts the folder's name, to tell leftovers of different tests apart.
    explicit ScratchDir(const std::string& prefix = "gentest");
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // False when the folder could not be made; nothing runs then.
    bool Ready() const { return !root_.empty(); }
    const std::filesystem::path& Root() const { return root_; }
    const std::filesystem::path& Work() const { return work_; }

    // Runs `program` with `args` in the work folder through the shell. `setup` is
    // shell text run first in the same process, before the program replaces the
    // shell (limits, traps); it must end with "&& " or "; ".
    RunResult Run(const std::string& program, const std::string& args,
                  const std::string& setup = "") const;

    // The file `name` of the work folder, read whole.
    std::string Output(const std::string& name) const;
    bool Exists(const std::string& name) const;
    // The names of the work folder's entries, sorted.
    std::vector<std::string> Listing() const;

  private:
    std::filesystem::path root_;
    std::filesystem::path work_;
};

// A fixture with a scratch folder of its own for every test.
class ScratchTest : public ::testing::Test {
  protected:
    explicit ScratchTest(const std::string& prefix = "gentest");

    void SetUp() override;

    RunResult Run(const std::string& program, const std::string& args,
                  const std::string& setup = "") const {
        return scratch_.Run(program, args, setup);
    }
    std::string Output(const std::string& name) const { return scratch_.Output(name); }
    bool Exists(const std::string& name) const { return scratch_.Exists(name); }
    std::vector<std::string> Listing() const { return scratch_.Listing(); }

  private:
    ScratchDir scratch_;

  protected:
    const std::filesystem::path root; // the scratch folder
    const std::filesystem::path work; // where the programs run
};

} // namespace testsupport
