// study: runs the experiments of a model's study and gathers what they give.
//
//   study <model file> [options]     (study -h lists the options)
//
// The model is compiled once into <folder>/.build (again only when it changed),
// each selected experiment runs in <folder>/exp<k>, and the folder receives
// results.csv, plots/*.svg and report.html. Exit status 0 when every experiment
// gave its results, 1 otherwise or on bad input.
#include "common/AtomicFile.h"
#include "common/UserError.h"
#include "driver/ExperimentTable.h"
#include "driver/HtmlReport.h"
#include "driver/ModelBuild.h"
#include "driver/ResultSet.h"
#include "driver/Selection.h"
#include "driver/StudyOptions.h"
#include "driver/StudyPlots.h"
#include "driver/StudyRunner.h"
#include "driver/Toolchain.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <new>
#include <set>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Two runs writing one folder would mix their files: the second one waits for
// nothing and says so. The lock goes with the process, however it ends.
void LockFolder(const std::string& folder) {
    const std::string path = folder + "/.lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        throw gen::UserError(path + ": cannot open: " + std::strerror(errno));
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        throw gen::UserError("another study run is writing " + folder + "; let it finish first");
}

int Study(const StudyOptions& o) {
    const Toolchain tools = Toolchain::Built();
    std::error_code e;
    if (!fs::is_regular_file(o.model, e))
        throw gen::UserError(o.model + ": " +
                             (fs::exists(o.model, e) ? "not a model file" : "no such file"));
    ExperimentTable experiments = ExperimentTable::Read(tools, o.model);
    experiments.Override(o.overrides);
    const std::string stem = fs::path(o.model).stem().string();
    if (o.list) {
        std::cout << "study of " << stem << " (model " << experiments.TopModel()
                  << "): " << experiments.Size() << " experiments\n"
                  << experiments.Listing() << std::flush;
        return std::cout ? 0 : 1;
    }
    const std::vector<size_t> selected = Selection::Parse(o.selection, experiments.Size());

    fs::create_directories(o.output, e);
    if (e || !fs::is_directory(o.output))
        throw gen::UserError(o.output + ": cannot make the output folder" +
                             (e ? ": " + e.message() : std::string()));
    LockFolder(o.output);

    std::cout << "study of " << stem << " (model " << experiments.TopModel()
              << "): " << selected.size() << " of " << experiments.Size() << " experiments, method "
              << StudyOptions::MethodName(o.method) << ", into " << o.output << "/\n"
              << experiments.Listing() << std::flush;

    const ModelBuild build = ModelBuild::Make(tools, o.model, o.output + "/.build", o.force);
    if (build.compiled)
        std::cout << "compiled the model in " << static_cast<int>(build.seconds * 10) / 10.0
                  << " s\n";
    else
        std::cout << "the model is unchanged: its programs are kept\n";
    std::cout << std::flush;

    StudyRunner runner(tools, o, experiments, build, stem);
    const std::vector<ExperimentRun> runs = runner.Run(selected);
    const ResultSet results = ResultSet::Collect(runs);
    const std::vector<StudyPlot> plots = StudyPlots::Make(experiments, results);

    // The table, the report and the plots are one set, written together.
    const std::string plotFolder = o.output + "/plots";
    fs::create_directories(plotFolder, e);
    std::vector<std::pair<std::string, std::string>> outputs;
    std::set<std::string> current;
    for (const StudyPlot& p : plots) {
        outputs.emplace_back(plotFolder + "/" + p.file, p.svg);
        current.insert(p.file);
    }
    outputs.emplace_back(o.output + "/results.csv", results.Csv(experiments));
    outputs.emplace_back(o.output + "/report.html",
                         HtmlReport::Render(o.model, experiments, runs, results, plots));
    AtomicFile::WriteSet(outputs);
    // Plots of variables or parameters the study no longer has would pass for results.
    for (const fs::directory_entry& d : fs::directory_iterator(plotFolder, e))
        if (d.path().extension() == ".svg" && current.count(d.path().filename().string()) == 0)
            fs::remove(d.path(), e);

    std::cout << "\n";
    results.Print(std::cout, experiments);
    size_t failed = 0;
    for (const ExperimentRun& r : runs)
        failed += r.ok ? 0 : 1;
    std::cout << "\nresults: " << o.output << "/results.csv\nreport: " << o.output
              << "/report.html\nplots: " << plots.size() << " in " << plotFolder << "/\n";
    if (failed > 0)
        std::cout << failed << " of " << runs.size() << " experiments failed\n";
    std::cout << std::flush;
    if (!std::cout)
        throw gen::UserError("cannot write the results on standard output");
    return failed > 0 ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    AtomicFile::RemoveTemporariesOnSignals();
    try {
        const StudyOptions o = StudyOptions::Parse(argc, argv);
        if (o.usage) {
            std::cout << StudyOptions::Usage();
            return 0;
        }
        return Study(o);
    } catch (const gen::UserError& e) {
        std::cout.flush();
        std::cerr << "Error: " << e.what() << std::endl;
    } catch (const std::bad_alloc&) {
        std::cout.flush();
        std::cerr << "Error: out of memory" << std::endl;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "Error: " << e.what() << std::endl;
    }
    return 1;
}
