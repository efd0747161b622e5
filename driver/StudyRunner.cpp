#include "driver/StudyRunner.h"

#include "common/AtomicFile.h"
#include "driver/ChildProcess.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// gen's refusal of a model whose delays are neither exponential nor deterministic.
const char kGeneralDelays[] = "Can not generate state space with Current Action Distribution Type";

using Stamp = std::map<std::string, std::string>;

Stamp ReadStamp(const std::string& folder) {
    Stamp s;
    std::ifstream in(folder + "/stamp");
    std::string line;
    while (std::getline(in, line)) {
        const size_t space = line.find(' ');
        if (space != std::string::npos)
            s[line.substr(0, space)] = line.substr(space + 1);
    }
    return s;
}

void WriteStamp(const std::string& folder, const Stamp& s) {
    std::string text;
    for (const auto& [key, value] : s)
        text += key + " " + value + "\n";
    AtomicFile::Write(folder + "/stamp", text);
}

std::string Get(const Stamp& s, const std::string& key) {
    auto f = s.find(key);
    return f == s.end() ? "" : f->second;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

// What a failed program said about its failure: its error lines, else its last line.
std::vector<std::string> Complaints(const ChildProcess::Outcome& run, const std::string& program) {
    std::vector<std::string> said;
    for (const std::string& line : Lines(run.out + run.err))
        if (line.find("rror") != std::string::npos || line.find("ERROR") != std::string::npos)
            said.push_back(line);
    if (said.empty()) {
        const std::vector<std::string> all = Lines(run.err.empty() ? run.out : run.err);
        if (!all.empty())
            said.push_back(all.back());
    }
    std::vector<std::string> messages;
    for (const std::string& s : said)
        messages.push_back(program + ": " + s);
    if (run.status != 0 && run.status != 1)
        messages.push_back(program + " " + run.Describe());
    if (messages.empty())
        messages.push_back(program + " " + run.Describe());
    return messages;
}

// What a program said on standard error, kept beside its results for the reruns
// that reuse them.
void Keep(const ChildProcess::Outcome& run, const std::string& file) {
    std::string said;
    for (const std::string& line : Lines(run.err))
        said += line + "\n";
    // Why a mean is "infinite" is said on standard output (it is an answer, not a
    // fault); kept so that the row's message column says it.
    for (const std::string& line : Lines(run.out))
        if (line.rfind("note: variable ", 0) == 0 && line.find(" is infinite") != std::string::npos)
            said += line.substr(6) + "\n";
    AtomicFile::Write(file, said);
}

void Fail(ExperimentRun& r, const ChildProcess::Outcome& run, const std::string& program) {
    r.ok = false;
    for (const std::string& m : Complaints(run, program))
        r.messages.push_back(m);
}

bool AllExist(const std::vector<std::string>& files) {
    return std::all_of(files.begin(), files.end(),
                       [](const std::string& f) { return fs::exists(f); });
}

double Since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

} // namespace

struct StudyRunner::Live {
    std::atomic<long> experiment{-1};
    std::atomic<int> phase{0}; // 0 gen, 1 solve, 2 simulation
    std::atomic<unsigned long long> states{0};
    std::atomic<int> permille{-1};
};

StudyRunner::StudyRunner(const Toolchain& tools, const StudyOptions& options,
                         const ExperimentTable& experiments, const ModelBuild& build,
                         const std::string& stem)
    : tools_(tools), options_(options), experiments_(experiments), build_(build), stem_(stem) {}

StudyRunner::Keys StudyRunner::KeysOf(size_t experiment) const {
    std::string values;
    for (size_t g = 0; g < experiments_.Globals().size(); g++)
        values += experiments_.Globals()[g].name + "=" + experiments_.Value(experiment, g) + "\n";
    const std::string model = build_.digest + "\n" + tools_.Identity() + values + "overrides " +
                              options_.overrides + "\n";
    auto joined = [](const std::vector<std::string>& args) {
        std::string s;
        for (const std::string& a : args)
            s += a + "\n";
        return s;
    };
    Keys k;
    k.gen = ModelBuild::Hex(ModelBuild::Hash(model + "gen\n" + joined(options_.genArgs)));
    k.solve = ModelBuild::Hex(ModelBuild::Hash(k.gen + Toolchain::FileIdentity(tools_.solve) +
                                               joined(options_.solveArgs)));
    k.sim = ModelBuild::Hex(ModelBuild::Hash(model + "sim\n" + joined(options_.simArgs)));
    return k;
}

void StudyRunner::Adopt(const std::vector<size_t>& selected) {
    // The folders whose results belong to no experiment at their own number any more,
    // by the keys they were computed from.
    const fs::path out(options_.output);
    std::map<std::string, std::string> byKey;
    std::error_code e;
    for (const fs::directory_entry& d : fs::directory_iterator(out, e)) {
        const std::string name = d.path().filename().string();
        if (name.rfind("exp", 0) != 0 || name.size() == 3 ||
            name.find_first_not_of("0123456789", 3) != std::string::npos || name.size() > 12)
            continue;
        const size_t j = std::stoul(name.substr(3));
        const Stamp s = ReadStamp(d.path().string());
        if (j < experiments_.Size()) {
            const Keys k = KeysOf(j);
            if ((!k.gen.empty() && Get(s, "gen") == k.gen) || Get(s, "sim") == k.sim)
                continue;
        }
        for (const char* key : {"gen", "sim"})
            if (!Get(s, key).empty())
                byKey.emplace(std::string(key) + " " + Get(s, key), name);
    }
    std::vector<std::pair<size_t, std::string>> moves;
    for (size_t k : selected) {
        const Keys keys = KeysOf(k);
        const Stamp own = ReadStamp((out / ("exp" + std::to_string(k))).string());
        if (Get(own, "gen") == keys.gen || Get(own, "sim") == keys.sim)
            continue;
        for (const std::string& key : {"gen " + keys.gen, "sim " + keys.sim}) {
            auto f = byKey.find(key);
            if (f == byKey.end())
                continue;
            const std::string from = f->second;
            moves.emplace_back(k, from);
            for (auto i = byKey.begin(); i != byKey.end();)
                i = i->second == from ? byKey.erase(i) : std::next(i);
            break;
        }
    }
    // Out of the way first, so that folders can trade places.
    for (const auto& [k, from] : moves)
        fs::rename(out / from, out / (".adopt-" + std::to_string(k)), e);
    for (const auto& [k, from] : moves) {
        const fs::path to = out / ("exp" + std::to_string(k));
        fs::remove_all(to, e);
        fs::rename(out / (".adopt-" + std::to_string(k)), to, e);
    }
}

// One experiment on its way: what it is computed from, what it has given so far.
struct StudyRunner::Job {
    ExperimentRun& run;
    Live& live;
    Keys keys;
    Stamp stamp;
    std::string prefix; // its folder, with the slash
    std::string base;   // prefix + the model's name: the files gen writes
};

ExperimentRun StudyRunner::RunOne(size_t k, Live& live) const {
    const auto start = std::chrono::steady_clock::now();
    ExperimentRun r;
    r.number = k;
    r.folder = options_.output + "/exp" + std::to_string(k);
    std::error_code e;
    fs::create_directories(r.folder, e);
    if (e) {
        r.ok = false;
        r.messages.push_back(r.folder + ": cannot make the folder: " + e.message());
        return r;
    }
    Job job{r, live, KeysOf(k), ReadStamp(r.folder), r.folder + "/", r.folder + "/" + stem_};
    const StudyOptions::Method method = options_.method;
    bool simulate = method == StudyOptions::Simulation || method == StudyOptions::Both;
    if (method != StudyOptions::Simulation && Generate(job, simulate)) {
        if (method == StudyOptions::Auto && fs::exists(job.base + ".det")) {
            r.note = "the chain has deterministic delays: simulated";
            simulate = true;
        } else {
            Solve(job);
        }
    }
    if (simulate)
        Simulate(job);
    WriteStamp(r.folder, job.stamp);
    r.seconds = Since(start);
    return r;
}

std::vector<std::string> StudyRunner::ProgramArgs(const std::string& program, size_t k,
                                                  const std::string& prefix,
                                                  const std::vector<std::string>& own) const {
    std::vector<std::string> argv = {program, "-P" + prefix, "-N" + stem_,
                                     "-B" + std::to_string(k)};
    argv.insert(argv.end(), own.begin(), own.end());
    if (!options_.overrides.empty())
        argv.push_back("-O" + options_.overrides);
    return argv;
}

bool StudyRunner::Generate(Job& job, bool& simulate) const {
    ExperimentRun& r = job.run;
    if (!options_.force && Get(job.stamp, "gen") == job.keys.gen &&
        // Files of an older gen lack the reward rates: they are generated again.
        AllExist(
            {job.base + ".arm", job.base + ".var", job.base + ".pvtype", job.base + ".rates"})) {
        r.states = Get(job.stamp, "states");
        return true;
    }
    r.reused = false;
    // Whatever was computed from the old chain is no longer known to be right.
    job.stamp.erase("gen");
    job.stamp.erase("solve");
    WriteStamp(r.folder, job.stamp);
    job.live.phase = 0;
    job.live.states = 0;
    const ChildProcess::Outcome run =
        ChildProcess::Run(ProgramArgs(build_.gen, r.number, job.prefix, options_.genArgs),
                          job.prefix + "gen.log", [&](const std::string& line, bool) {
                              if (line.size() > 3 && line[0] == '_' && line[1] == '$') {
                                  job.live.states = std::strtoull(line.c_str() + 2, nullptr, 10);
                                  return false;
                              }
                              return true;
                          });
    if (run.Succeeded()) {
        for (const std::string& line : Lines(run.out))
            if (line.rfind("Generated: ", 0) == 0)
                r.states = line.substr(11, line.find(' ', 11) - 11);
        job.stamp["gen"] = job.keys.gen;
        job.stamp["states"] = r.states;
        return true;
    }
    if (options_.method == StudyOptions::Auto &&
        run.out.find(kGeneralDelays) != std::string::npos) {
        r.note = "gen cannot generate the chain of a model with general delays: simulated";
        simulate = true;
        return false;
    }
    Fail(r, run, "gen");
    return false;
}

void StudyRunner::Solve(Job& job) const {
    ExperimentRun& r = job.run;
    const std::string csv = job.prefix + "solve.csv";
    if (!options_.force && Get(job.stamp, "solve") == job.keys.solve && fs::exists(csv)) {
        r.transitions = Get(job.stamp, "transitions");
    } else {
        r.reused = false;
        job.stamp.erase("solve");
        WriteStamp(r.folder, job.stamp);
        std::error_code e;
        fs::remove(csv, e);
        job.live.phase = 1;
        std::vector<std::string> argv = {tools_.solve, "-P" + job.prefix, "-N" + stem_, "-c" + csv};
        argv.insert(argv.end(), options_.solveArgs.begin(), options_.solveArgs.end());
        const ChildProcess::Outcome run = ChildProcess::Run(argv, job.prefix + "solve.log");
        for (const std::string& line : Lines(run.out))
            if (line.rfind("chain: ", 0) == 0) {
                const size_t comma = line.find(", ");
                if (comma != std::string::npos)
                    r.transitions = line.substr(comma + 2, line.find(' ', comma + 2) - comma - 2);
            }
        // Status 1 with a table: some variables refused, the others computed. That
        // is the chain's answer, kept like any other.
        if ((run.status == 0 || run.status == 1) && fs::exists(csv)) {
            job.stamp["solve"] = job.keys.solve;
            job.stamp["transitions"] = r.transitions;
            job.stamp["solve_status"] = std::to_string(run.status);
            Keep(run, job.prefix + "solve.messages");
        } else {
            Fail(r, run, "solve");
            return;
        }
    }
    r.solveCsv = csv;
    std::ifstream said(job.prefix + "solve.messages");
    std::string line;
    while (std::getline(said, line)) {
        // "<base>.var: variable <name>: why" and "variable <name>: why"
        const size_t at = line.find("variable ");
        const size_t colon = at == std::string::npos ? at : line.find(": ", at);
        if (colon != std::string::npos)
            r.refusals[line.substr(at + 9, colon - at - 9)] = line.substr(colon + 2);
        r.messages.push_back("solve: " + line);
    }
    if (Get(job.stamp, "solve_status") != "0")
        r.ok = false;
}

void StudyRunner::Simulate(Job& job) const {
    ExperimentRun& r = job.run;
    const std::string csv = job.prefix + "sim.csv";
    if (options_.force || Get(job.stamp, "sim") != job.keys.sim || !fs::exists(csv)) {
        r.reused = false;
        job.stamp.erase("sim");
        WriteStamp(r.folder, job.stamp);
        std::error_code e;
        fs::remove(csv, e);
        job.live.phase = 2;
        job.live.permille = 0;
        std::vector<std::string> own = {"-c" + csv, "-p"};
        if (simThreads_ > 0)
            own.push_back("-T" + std::to_string(simThreads_));
        own.insert(own.end(), options_.simArgs.begin(), options_.simArgs.end());
        const ChildProcess::Outcome run =
            ChildProcess::Run(ProgramArgs(build_.sim, r.number, job.prefix, own),
                              job.prefix + "sim.log", [&](const std::string& line, bool error) {
                                  if (error && line.rfind("progress ", 0) == 0) {
                                      job.live.permille = static_cast<int>(
                                          std::strtod(line.c_str() + 9, nullptr) * 1000);
                                      return false;
                                  }
                                  return true;
                              });
        // Status 1 with a table: the target was not reached within -n. The estimates
        // stand, and so does the failure.
        if ((run.status == 0 || run.status == 1) && fs::exists(csv)) {
            job.stamp["sim"] = job.keys.sim;
            job.stamp["sim_status"] = std::to_string(run.status);
            Keep(run, job.prefix + "sim.messages");
        } else {
            Fail(r, run, "sim");
            return;
        }
    }
    r.simCsv = csv;
    if (Get(job.stamp, "sim_status") != "0") {
        r.ok = false;
        std::ifstream said(job.prefix + "sim.messages");
        std::string line;
        while (std::getline(said, line))
            if (!line.empty())
                r.messages.push_back("sim: " + line);
    }
}

std::vector<ExperimentRun> StudyRunner::Run(const std::vector<size_t>& selected) {
    std::error_code e;
    fs::create_directories(options_.output, e);
    if (!options_.force)
        Adopt(selected);

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t jobs = std::min<size_t>(
        selected.size(), options_.jobs > 0 ? static_cast<size_t>(options_.jobs) : cores);
    // Simulations running side by side share the cores; one alone takes them all.
    simThreads_ = jobs > 1 ? static_cast<int>(std::max<size_t>(1, cores / jobs)) : 0;

    std::vector<ExperimentRun> runs(selected.size());
    std::vector<Live> live(jobs);
    std::atomic<size_t> next{0};
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<size_t> finished; // indices into runs, not yet reported
    size_t done = 0;

    std::vector<std::thread> workers;
    for (size_t w = 0; w < jobs; w++)
        workers.emplace_back([&, w]() {
            for (size_t i; (i = next++) < selected.size();) {
                live[w].experiment = static_cast<long>(selected[i]);
                live[w].permille = -1;
                ExperimentRun r = RunOne(selected[i], live[w]);
                live[w].experiment = -1;
                std::lock_guard<std::mutex> lock(mutex);
                runs[i] = std::move(r);
                finished.push_back(i);
                changed.notify_all();
            }
        });

    const bool terminal = isatty(STDERR_FILENO) == 1;
    size_t shownWidth = 0;
    auto clear = [&]() {
        if (shownWidth > 0)
            std::cerr << "\r" << std::string(shownWidth, ' ') << "\r" << std::flush;
        shownWidth = 0;
    };
    std::unique_lock<std::mutex> lock(mutex);
    while (done < selected.size()) {
        changed.wait_for(lock, std::chrono::milliseconds(250));
        if (!finished.empty() && terminal)
            clear();
        for (size_t i : finished) {
            const ExperimentRun& r = runs[i];
            done++;
            std::cout << "experiment " << r.number << ": ";
            if (r.reused)
                std::cout << "results of an earlier run kept";
            else if (r.ok)
                std::cout << "done";
            else
                std::cout << "FAILED";
            if (!r.states.empty())
                std::cout << ", " << r.states << " states";
            if (!r.transitions.empty())
                std::cout << ", " << r.transitions << " transitions";
            if (!r.note.empty())
                std::cout << "; " << r.note;
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, " (%.2f s)", r.seconds);
            std::cout << seconds << "\n";
            for (const std::string& m : r.messages)
                std::cout << "  " << m << "\n";
            std::cout << std::flush;
        }
        finished.clear();
        if (!terminal || done == selected.size())
            continue;
        std::string line =
            "[" + std::to_string(done) + "/" + std::to_string(selected.size()) + " done]";
        for (const Live& l : live) {
            const long k = l.experiment;
            if (k < 0)
                continue;
            line += "  exp " + std::to_string(k) + ": ";
            if (l.phase == 0)
                line += l.states > 0 ? "gen " + std::to_string(l.states.load()) + " states" : "gen";
            else if (l.phase == 1)
                line += "solve";
            else
                line += "sim " + std::to_string(std::max(0, l.permille.load()) / 10) + "%";
        }
        winsize size{};
        size_t columns = 80;
        if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1)
            columns = size.ws_col;
        if (line.size() >= columns)
            line.resize(columns - 1);
        const size_t width = line.size();
        if (width < shownWidth)
            line += std::string(shownWidth - width, ' ');
        std::cerr << "\r" << line << std::flush;
        shownWidth = width;
    }
    lock.unlock();
    if (terminal)
        clear();
    for (std::thread& t : workers)
        t.join();
    return runs;
}
