// solve: computes the performance variables of a chain that gen wrote, from its
// state-space, reward and type files.
#include "common/MeasureKind.h"
#include "common/ResultTable.h"
#include "common/SvgPlot.h"
#include "common/UserError.h"
#include "common/AtomicFile.h"
#include "common/ChainFormat.h"
#include "solver/Absorption.h"
#include "solver/ChainStructure.h"
#include "solver/FirstPassage.h"
#include "solver/MarkovChain.h"
#include "solver/Measure.h"
#include "solver/Options.h"
#include "solver/RewardTable.h"
#include "solver/SteadyState.h"
#include "solver/TransientAnalysis.h"
#include "solver/Uniformisation.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <chrono>
#include <exception>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr double kMostProducts = 1e9;

const char kUseSimulator[] =
    "the chain has deterministic delays; it cannot be solved as a Markov chain: use the "
    "simulator (<model>_sim; sim for the example) instead";

class Clock {
  public:
    double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

  private:
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

std::string Seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", s);
    return text;
}

std::string FileSafe(const std::string& name) {
    std::string s = name;
    for (char& c : s)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'))
            c = '_';
    return s;
}

// A bottom component for the report: "state 4 (absorbing)" or "12 states from state 2".
std::string ComponentName(const std::vector<uint32_t>& states) {
    if (states.size() == 1)
        return "state " + std::to_string(states[0] + 1) + " (absorbing)";
    return std::to_string(states.size()) + " states from state " + std::to_string(states[0] + 1);
}

// The long run of a chain with several bottom components: each component's own steady
// state, weighted by the probability that the chain enters it. Reports the
// probabilities on standard output (the components with the most first).
SteadyState::Result ReducibleLongRun(const RateMatrix& incoming,
                                     const std::vector<double>& exitRate,
                                     const ChainStructure& structure, const Options& o) {
    constexpr size_t kListed = 20;
    const Absorption::Result entered =
        Absorption::Solve(incoming, exitRate, structure.transient, structure.bottoms, o.residual);
    std::cout << "absorption: " << structure.bottoms.size()
              << " bottom components entered from state 1 through " << structure.transient.size()
              << " transient states (" << entered.method << ", residual "
              << ResultTable::Bound(entered.residual) << "); probability of each:" << std::endl;
    std::vector<size_t> order(structure.bottoms.size());
    for (size_t c = 0; c < order.size(); c++)
        order[c] = c;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return entered.probability[a] > entered.probability[b];
    });
    double rest = 0.0;
    for (size_t k = 0; k < order.size(); k++) {
        const size_t c = order[k];
        if (k < kListed)
            std::cout << "  " << ResultTable::Value(entered.probability[c]) << "  "
                      << ComponentName(structure.bottoms[c]) << std::endl;
        else
            rest += entered.probability[c];
    }
    if (order.size() > kListed)
        std::cout << "  " << ResultTable::Value(rest) << "  the other " << order.size() - kListed
                  << " components together" << std::endl;

    SteadyState::Result r;
    r.pi.assign(exitRate.size(), 0.0);
    r.residual = entered.residual;
    r.converged = entered.converged;
    size_t largest = 0;
    for (size_t c = 0; c < structure.bottoms.size(); c++) {
        const std::vector<uint32_t>& states = structure.bottoms[c];
        const double p = entered.probability[c];
        if (states.size() == 1) {
            r.pi[states[0]] = p;
            continue;
        }
        const SteadyState::Result own =
            SteadyState::Solve(incoming, exitRate, states, o.residual, o.method);
        for (uint32_t j : states)
            r.pi[j] = p * own.pi[j];
        r.residual = std::max(r.residual, own.residual);
        r.converged = r.converged && own.converged;
        r.iterations += own.iterations;
        if (states.size() > largest) {
            largest = states.size();
            r.method = own.method;
        }
    }
    r.method =
        std::to_string(structure.bottoms.size()) + " bottom components weighted by the " +
        "probabilities of entering them" +
        (largest > 0 ? ", the largest (" + std::to_string(largest) + " states) by " + r.method
                     : std::string());
    return r;
}

// A value that is not a number, or infinite, is never printed as one: the row says
// "refused" and standard error why.
void RefuseValue(const std::string& base, const std::string& name, double value,
                 const std::string& when, ResultTable::Row& row) {
    std::cerr << base << ".var: variable " << name << ": its value" << when << " came out "
              << (std::isnan(value) ? "not a number" : "infinite")
              << ": its rewards, or the probabilities they are weighted with, are beyond the "
                 "range of a double"
              << std::endl;
    row.value = "refused";
    row.error.clear();
}

int Solve(const Options& o) {
    Clock total;
    const std::string base = o.Base();
    // gen's marker of a set being replaced, or left half-replaced by a killed run.
    if (std::filesystem::exists(base + ".commit"))
        throw gen::UserError(base + ".commit: the files of " + base +
                             " are being replaced by gen, or were left half-replaced by a run "
                             "that was killed; run gen again");
    const std::string det = base + ".det";
    if (std::filesystem::exists(det))
        throw gen::UserError(det + ": " + kUseSimulator);

    const std::vector<Measure> measures = Measure::ReadAll(base + ".pvtype");
    // An output that cannot be written is found now, not after the computation.
    AtomicFile::CheckWritable(o.csv);
    Clock reading;
    // gen writes the binary form beside the text one, or instead of it, and removes
    // a form it did not write: where both stand they are the same chain.
    const std::string binary = base + chainformat::kSuffix;
    const bool readBinary = std::filesystem::exists(binary);
    const std::string chainFile = readBinary ? binary : base + ".arm";
    MarkovChain chain = readBinary ? MarkovChain::ReadBinary(binary) : MarkovChain::Read(chainFile);
    std::vector<std::string> names;
    for (const Measure& m : measures)
        names.push_back(m.name);
    RewardTable rewards = RewardTable::Read(base + ".var", names, chain.States());
    const size_t n = chain.States();
    const std::string ratesFile = base + ".rates";
    if (std::filesystem::exists(ratesFile))
        rewards.ReadRates(ratesFile, n);
    std::cout << "chain: " << n << " states, " << chain.outgoing.Entries() << " transitions ("
              << chainFile << " read in " << Seconds(reading.Seconds()) << ")" << std::endl;
    if (!rewards.exact && !measures.empty())
        std::cout << "note: " << ratesFile << " is missing (the files of an older gen): the rate "
                  << "rewards are " << base << ".var's, to 6 significant digits, and impulse "
                  << "rewards are seen only where a state's record holds one; run gen again"
                  << std::endl;

    int failures = 0;
    // Per variable: why it cannot be computed, or "".
    std::vector<std::string> refused(measures.size());
    // Per variable: the expected reward earned per unit of time in each state, its rate
    // reward plus its impulse rate, for the measures that accumulate over time.
    std::vector<std::vector<double>> earning(measures.size());
    for (size_t p = 0; p < measures.size(); p++) {
        const RewardTable::Variable& v = rewards.variables[p];
        if (measures[p].kind == MeasureKind::InstantOfTime) {
            // An instant has no length: no impulse is earned in it.
            if (v.declaresImpulse || v.hasImpulse)
                std::cout << "note: variable " << v.name << " is measured at instants of time, "
                          << "where no impulse is earned: its impulse rewards do not count"
                          << std::endl;
            continue;
        }
        if (WatchesCondition(measures[p].kind) && !rewards.exact) {
            refused[p] = "the states where its condition holds are in " + ratesFile +
                         ", which is missing; run gen again";
            continue;
        }
        if (measures[p].kind == MeasureKind::Reach || measures[p].kind == MeasureKind::ReachWithin)
            continue;
        if (!rewards.exact && v.hasImpulse)
            refused[p] = "impulse rewards (state " + std::to_string(v.impulseState) + " has " +
                         ResultTable::Value(v.impulseValue) + "): the rate at which they are " +
                         "earned is in " + ratesFile +
                         ", which is missing (the files of an older gen); run gen again";
        else if (v.unavailableState > 0)
            refused[p] = "impulse rewards earned by a deterministic firing in state " +
                         std::to_string(v.unavailableState) + " have no rate in a Markov chain";
        else if (!v.impulseRate.empty()) {
            earning[p] = v.rate;
            for (size_t j = 0; j < n; j++)
                earning[p][j] += v.impulseRate[j];
        }
    }
    // What variable p earns per unit of time, or its rate reward at an instant.
    auto rewardOf = [&](size_t p) -> const std::vector<double>* {
        return earning[p].empty() ? &rewards.variables[p].rate : &earning[p];
    };

    // Uniformisation takes about q t matrix-vector products to reach time t (q the
    // largest exit rate). Past kMostProducts it would not end in any useful time, and
    // its Poisson weights alone would outgrow the memory: refused before any work.
    double q = 0.0;
    for (double e : chain.exitRate)
        q = std::max(q, e);
    auto tooFar = [&](double t) {
        return ResultTable::Time(t) + " needs about " + ResultTable::Bound(q * t) +
               " steps of uniformisation (the largest exit rate " + ResultTable::Value(q) +
               " times the time), more than " + ResultTable::Bound(kMostProducts) +
               ": ask for an earlier time, or for the steady state if the long run is meant";
    };
    for (size_t p = 0; p < measures.size(); p++) {
        if (!refused[p].empty() || measures[p].kind == MeasureKind::SteadyState)
            continue;
        for (const Measure::TimePoint& t : measures[p].times)
            if (q * t.stop > kMostProducts) {
                refused[p] = "its time " + tooFar(t.stop);
                break;
            }
    }
    if (o.grid && q * o.gridStop > kMostProducts)
        throw gen::UserError("-g: the grid's end " + tooFar(o.gridStop));

    bool steady = false, transient = false;
    for (size_t p = 0; p < measures.size(); p++) {
        if (!refused[p].empty())
            continue;
        if (measures[p].kind == MeasureKind::SteadyState)
            steady = true;
        else if (!measures[p].times.empty() && !WatchesCondition(measures[p].kind))
            transient = true;
    }
    if (o.grid)
        transient = true;

    // The structure is only needed for the steady state. Finding it takes both
    // directions of the matrix; the rows of the file are of no use after that.
    Clock turning;
    RateMatrix incoming = chain.outgoing.Transposed();
    const double turnSeconds = turning.Seconds();
    ChainStructure structure;
    double analysisSeconds = 0.0;
    if (steady) {
        Clock c;
        structure = ChainStructure::Analyse(chain.outgoing, incoming);
        analysisSeconds = c.Seconds();
    }
    // The variables that watch a condition: their systems need both directions too.
    std::vector<FirstPassage::Result> passage(measures.size());
    for (size_t p = 0; p < measures.size(); p++) {
        const MeasureKind kind = measures[p].kind;
        if (!refused[p].empty() || (kind != MeasureKind::Until && kind != MeasureKind::Reach))
            continue;
        Clock c;
        const std::vector<unsigned char>& holds = rewards.variables[p].condition;
        passage[p] =
            kind == MeasureKind::Until
                ? FirstPassage::Until(chain.outgoing, incoming, chain.exitRate, holds, *rewardOf(p),
                                      o.residual)
                : FirstPassage::Reach(chain.outgoing, incoming, chain.exitRate, holds, o.residual);
        const FirstPassage::Result& f = passage[p];
        if (kind == MeasureKind::Until && !f.certain)
            std::cout << "note: variable " << measures[p].name << ": its condition is not "
                      << "reached with probability 1 (from state 1 the chain can reach state "
                      << f.escape + 1 << ", from which it never holds): the expected reward "
                      << "until it holds is infinite" << std::endl;
        else
            std::cout << "first passage: " << measures[p].name << ": " << f.method << ", residual "
                      << ResultTable::Bound(f.residual) << " (" << Seconds(c.Seconds()) << ")"
                      << std::endl;
    }
    chain.outgoing.Clear();
    std::cout << "transposed in " << Seconds(turnSeconds) << std::endl;
    if (steady)
        std::cout << "structure: " << structure.reachable << " reachable states, "
                  << structure.components << " strongly connected components, "
                  << structure.bottomComponents << " bottom (" << Seconds(analysisSeconds) << ")"
                  << std::endl;

    SteadyState::Result steadyResult;
    // The states of positive long-run probability may lie among these.
    std::vector<uint32_t> bottomStates;
    const std::vector<uint32_t>* longRun = &structure.bottom;
    if (steady) {
        Clock c;
        if (structure.bottomComponents > 1) {
            steadyResult = ReducibleLongRun(incoming, chain.exitRate, structure, o);
            for (const std::vector<uint32_t>& b : structure.bottoms)
                bottomStates.insert(bottomStates.end(), b.begin(), b.end());
            longRun = &bottomStates;
        } else {
            steadyResult = SteadyState::Solve(incoming, chain.exitRate, structure.bottom,
                                              o.residual, o.method);
        }
        std::cout << "steady state: " << steadyResult.method << " on " << longRun->size()
                  << " states, residual " << ResultTable::Bound(steadyResult.residual) << " ("
                  << Seconds(c.Seconds()) << ")" << std::endl;
    }

    // The transient requests: the variables' own time points, then the grid.
    std::vector<TransientAnalysis::Request> requests;
    std::vector<std::vector<size_t>> own(measures.size()), plotted(measures.size());
    for (size_t p = 0; p < measures.size(); p++) {
        const Measure& m = measures[p];
        if (!refused[p].empty() || m.kind == MeasureKind::SteadyState || WatchesCondition(m.kind))
            continue;
        for (const Measure::TimePoint& t : m.times) {
            TransientAnalysis::Request r;
            r.reward = rewardOf(p);
            r.interval = m.kind != MeasureKind::InstantOfTime;
            r.start = t.start;
            r.stop = t.stop;
            own[p].push_back(requests.size());
            requests.push_back(r);
        }
    }
    std::vector<double> gridTimes;
    if (o.grid) {
        for (size_t k = 0; k < o.gridPoints; k++)
            gridTimes.push_back(o.gridStart + (o.gridStop - o.gridStart) * static_cast<double>(k) /
                                                  static_cast<double>(o.gridPoints - 1));
        bool any = false;
        for (size_t p = 0; p < measures.size(); p++) {
            if (!refused[p].empty() || measures[p].kind != MeasureKind::InstantOfTime)
                continue;
            any = true;
            for (double t : gridTimes) {
                TransientAnalysis::Request r;
                r.reward = &rewards.variables[p].rate;
                r.start = r.stop = t;
                plotted[p].push_back(requests.size());
                requests.push_back(r);
            }
        }
        if (!any)
            std::cerr << "warning: -g: no instant-of-time variable to plot" << std::endl;
    }
    if (transient && !requests.empty()) {
        Clock c;
        Uniformisation u(incoming, chain.exitRate);
        const TransientAnalysis::Summary s = TransientAnalysis::Run(u, n, o.epsilon, requests);
        std::cout << "transient: uniformisation rate " << ResultTable::Value(u.Rate()) << ", "
                  << s.steps << " steps, " << s.products << " matrix-vector products ("
                  << Seconds(c.Seconds()) << ")" << std::endl;
    }

    // The probability of reaching a condition by each time: the mass in its states
    // at that time, with the chain stopped there (one pass per variable: each
    // stops the chain elsewhere).
    std::vector<std::vector<TransientAnalysis::Request>> reachBy(measures.size());
    std::vector<std::vector<double>> indicator(measures.size());
    for (size_t p = 0; p < measures.size(); p++) {
        if (!refused[p].empty() || measures[p].kind != MeasureKind::ReachWithin)
            continue;
        Clock c;
        const std::vector<unsigned char>& holds = rewards.variables[p].condition;
        indicator[p].assign(n, 0.0);
        for (size_t j = 0; j < holds.size(); j++)
            indicator[p][j] = holds[j] != 0 ? 1.0 : 0.0;
        for (const Measure::TimePoint& t : measures[p].times) {
            TransientAnalysis::Request r;
            r.reward = &indicator[p];
            r.start = r.stop = t.stop;
            reachBy[p].push_back(r);
        }
        RateMatrix stopped;
        std::vector<double> stoppedExit;
        FirstPassage::Absorbing(incoming, chain.exitRate, holds, stopped, stoppedExit);
        Uniformisation u(stopped, stoppedExit);
        const TransientAnalysis::Summary s = TransientAnalysis::Run(u, n, o.epsilon, reachBy[p]);
        std::cout << "reach within: " << measures[p].name << ": its condition made absorbing, "
                  << "uniformisation rate " << ResultTable::Value(u.Rate()) << ", " << s.steps
                  << " steps, " << s.products << " matrix-vector products (" << Seconds(c.Seconds())
                  << ")" << std::endl;
    }

    ResultTable table;
    for (size_t p = 0; p < measures.size(); p++) {
        const Measure& m = measures[p];
        ResultTable::Row row;
        row.variable = m.name;
        row.kind = MeasureKindName(m.kind);
        if (!refused[p].empty()) {
            std::cerr << base << ".var: variable " << m.name << ": " << refused[p] << std::endl;
            failures++;
            row.time = "-";
            row.value = "refused";
            table.Add(row);
            continue;
        }
        if (m.kind == MeasureKind::Until || m.kind == MeasureKind::Reach) {
            const FirstPassage::Result& f = passage[p];
            row.time = "-";
            if (m.kind == MeasureKind::Until && !f.certain) {
                // No number: the mean does not exist (the note above says why).
                row.value = "infinite";
                table.Add(row);
                continue;
            }
            row.residual = ResultTable::Bound(f.residual);
            if (!std::isfinite(f.value)) {
                RefuseValue(base, m.name, f.value, "", row);
                failures++;
                table.Add(row);
                continue;
            }
            row.value = ResultTable::Value(f.value);
            if (!f.converged) {
                std::cerr << "variable " << m.name << ": the first-passage system did not reach "
                          << "the residual target " << ResultTable::Bound(o.residual) << " (it has "
                          << ResultTable::Bound(f.residual) << ")" << std::endl;
                failures++;
            }
            table.Add(row);
            continue;
        }
        if (m.kind == MeasureKind::ReachWithin) {
            for (const TransientAnalysis::Request& r : reachBy[p]) {
                row.time = ResultTable::Time(r.stop);
                if (!std::isfinite(r.value)) {
                    RefuseValue(base, m.name, r.value, " at " + row.time, row);
                    failures++;
                    table.Add(row);
                    continue;
                }
                row.value = ResultTable::Value(r.value);
                row.error = ResultTable::Bound(r.bound);
                table.Add(row);
            }
            continue;
        }
        if (m.kind == MeasureKind::SteadyState) {
            double value = 0.0;
            const std::vector<double>& r = *rewardOf(p);
            for (uint32_t j : *longRun)
                value += steadyResult.pi[j] * r[j];
            row.time = "-";
            row.residual = ResultTable::Bound(steadyResult.residual);
            if (!std::isfinite(value)) {
                RefuseValue(base, m.name, value, "", row);
                failures++;
                table.Add(row);
                continue;
            }
            row.value = ResultTable::Value(value);
            if (!steadyResult.converged) {
                std::cerr << "variable " << m.name << ": the steady state did not reach the "
                          << "residual target " << ResultTable::Bound(o.residual) << " (it has "
                          << ResultTable::Bound(steadyResult.residual) << ")" << std::endl;
                failures++;
            }
            table.Add(row);
            continue;
        }
        for (size_t k = 0; k < m.times.size(); k++) {
            const TransientAnalysis::Request& r = requests[own[p][k]];
            double value = r.value, bound = r.bound;
            if (m.kind == MeasureKind::InstantOfTime) {
                row.time = ResultTable::Time(r.start);
            } else {
                row.time = "[" + ResultTable::Time(r.start) + "," + ResultTable::Time(r.stop) + "]";
                if (m.kind == MeasureKind::TimeAveragedInterval) {
                    value /= r.stop - r.start;
                    bound /= r.stop - r.start;
                }
            }
            if (!std::isfinite(value)) {
                RefuseValue(base, m.name, value, " at " + row.time, row);
                failures++;
                table.Add(row);
                continue;
            }
            row.value = ResultTable::Value(value);
            row.error = ResultTable::Bound(bound);
            table.Add(row);
        }
    }
    table.Print(std::cout);
    std::cout.flush();
    // The table and its plots are one set: a reader never finds this run's CSV
    // beside another run's plots.
    std::vector<std::pair<std::string, std::string>> outputs = {{o.csv, table.CsvText()}};
    for (size_t p = 0; p < measures.size(); p++) {
        if (plotted[p].empty())
            continue;
        std::vector<double> ys;
        for (size_t i : plotted[p])
            ys.push_back(requests[i].value);
        outputs.emplace_back(base + "_" + FileSafe(measures[p].name) + ".svg",
                             SvgPlot::Render(measures[p].name + " (instant of time)",
                                             measures[p].name, gridTimes, ys));
    }
    AtomicFile::WriteSet(outputs);
    for (size_t k = 1; k < outputs.size(); k++)
        std::cout << "plot: " << outputs[k].first << std::endl;
    std::cout << "results: " << o.csv << " (" << Seconds(total.Seconds()) << " in all)"
              << std::endl;
    if (!std::cout)
        throw gen::UserError("cannot write the results on standard output");
    return failures > 0 ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        AtomicFile::RemoveTemporariesOnSignals();
        const Options o = Options::Parse(argc, argv);
        if (o.usage) {
            std::cout << Options::Usage();
            return 0;
        }
        return Solve(o);
    } catch (const gen::UserError& e) {
        std::cout.flush();
        std::cerr << e.what() << std::endl;
    } catch (const std::bad_alloc&) {
        std::cout.flush();
        std::cerr << "out of memory" << std::endl;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "error: " << e.what() << std::endl;
    }
    return 1;
}
