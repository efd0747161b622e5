// The simulator of one model: estimates every performance variable of the model's
// reward model by independent replications, each variable with a confidence
// interval. Like gen, it reaches the model only through GenerateStudy() and the
// reward model the study builds.
#include "BaseClasses/BaseStudyClass.h"
#include "BaseClasses/PVModel.h"
#include "BaseClasses/PerformanceVariableNode.h"
#include "BaseClasses/ProcessEnd.h"
#include "common/AtomicFile.h"
#include "common/Chart.h"
#include "common/MeasureKind.h"
#include "common/ResultTable.h"
#include "common/UserError.h"
#include "simulator/ObservationPlan.h"
#include "simulator/ReplicationRunner.h"
#include "simulator/ReplicationStream.h"
#include "simulator/SimOptions.h"
#include "simulator/Splitting.h"
#include "simulator/StudentT.h"
#include "simulator/Trajectory.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

// Timed firings of the pilot run that sizes the steady state: each batch lasts as
// long as the pilot's second half (10000 firings) took, the warm-up twice as long.
constexpr uint64_t kPilotEvents = 20000;
// Timed firings per replication beyond which a run cannot finish: at about 1e7
// firings a second and core, a first block of 32 replications would take an hour.
constexpr double kMostFirings = 1e9;
// Timed firings a replication makes at most, at the pilot's pace, while it waits for
// the condition of an until or reach variable (unless -u says how long).
constexpr double kUntilFirings = 1e6;

std::string FileSafe(const std::string& name) {
    std::string s = name;
    for (char& c : s)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'))
            c = '_';
    return s;
}

// The value column of a result whose interval still includes 0.
constexpr const char* kNotObserved = "not observed enough";

// " at <time>" or " over [<start>,<stop>]": which row of a variable is meant.
std::string Where(const ObservationPlan::Result& x) {
    if (x.kind == MeasureKind::SteadyState || x.kind == MeasureKind::Until ||
        x.kind == MeasureKind::Reach)
        return std::string();
    if (x.kind == MeasureKind::InstantOfTime || x.kind == MeasureKind::ReachWithin)
        return " at " + ResultTable::Time(x.start);
    return " over [" + ResultTable::Time(x.start) + "," + ResultTable::Time(x.stop) + "]";
}

std::string Number(const char* format, double v) {
    char text[48];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

// The reward models of the run, one per thread, and the study that made them.
class Models {
  public:
    ~Models() {
        trajectories.clear();
        models.clear();
        DestructStudy();
    }
    std::vector<std::unique_ptr<PVModel>> models;
    std::vector<std::unique_ptr<Trajectory>> trajectories;
};

int Simulate(const SimOptions& o) {
    Models run;
    BaseStudyClass* study = GenerateStudy();
    // The study indexes its experiment tables without a check.
    if (o.experiment >= study->GetNumExps())
        throw gen::UserError("experiment number " + std::to_string(o.experiment) +
                             " is outside 0 to " + std::to_string(study->GetNumExps() - 1));
    study->SetGVs(o.experiment);
    study->PrintGlobalValues(o.experiment);
    if (o.overridden) {
        std::cout << "OverrideString is " << o.overrides << std::endl;
        std::vector<char> text(o.overrides.begin(), o.overrides.end());
        text.push_back('\0');
        if (!study->overrideGVs(text.data()))
            throw gen::UserError("the override string " + o.overrides +
                                 " could not be applied; nothing was simulated");
        std::cout << "Overriding global variables in sim" << std::endl;
    }
    // An output that cannot be written is found now, not after the simulation.
    AtomicFile::CheckWritable(o.csv);

    unsigned threads = o.threads > 0 ? static_cast<unsigned>(o.threads)
                                     : std::max(1u, std::thread::hardware_concurrency());
    // One reward model per thread, built here one after the other. The study keeps
    // only its latest model and deletes it when asked for the next, so each is taken
    // from it; the variables' numbering restarts for each, as their numbers index
    // the per-action reward tables of their own model.
    for (unsigned w = 0; w < threads; w++) {
        PerformanceVariableNode::the_id = 0;
        PVModel* m = study->GetPVModel(false);
        study->CurrentPVModel = nullptr;
        run.models.emplace_back(m);
        run.trajectories.emplace_back(new Trajectory(m));
    }
    PVModel* model = run.models.front().get();
    Trajectory& first = *run.trajectories.front();

    // The probe and the pilot draw from a stream that no replication uses.
    const unsigned long pilotSeed =
        ReplicationStream::SeedOf(o.seed, ReplicationStream::kSeeds - 1);
    if (!first.Probe(pilotSeed))
        throw gen::UserError("no timed activity is ever enabled: once the instantaneous "
                             "activities of the initial marking have fired, nothing is due, so the "
                             "model never leaves that marking and there is nothing to simulate");

    // Importance splitting: the importance function, and the level it starts from.
    const bool split = !o.importance.empty();
    Splitting::Settings splitting;
    if (split) {
        std::string names;
        for (int p = 0; p < model->NumPVs; p++) {
            names += std::string(p > 0 ? ", " : "") + model->PVNodes[p]->Name;
            if (model->PVNodes[p]->Name == o.importance)
                splitting.node = p;
        }
        if (splitting.node < 0)
            throw gen::UserError("the importance variable (-I) " + o.importance +
                                 " is not a variable of the model (it has " + names + ")");
        if (const BaseActionClass* a = first.NotMemoryless())
            throw gen::UserError(std::string("importance splitting continues paths from markings "
                                             "that other paths reached, so every timed activity "
                                             "must be exponential; activity ") +
                                 a->getName() + " is not");
        splitting.variable = o.importance;
        splitting.levels = o.levels;
        splitting.base = std::floor(first.RateOf(splitting.node));
        splitting.effort = o.effort;
        if (!std::isfinite(splitting.base))
            throw gen::UserError("the importance variable (-I) " + o.importance +
                                 " has no finite rate reward in the initial marking");
    }

    double warmup = o.warmup, batch = o.batchLength;
    const bool steady = ObservationPlan::HasSteadyState(model);
    // The pilot also gives the model's pace, against which the replications' length
    // is checked below.
    const Trajectory::Pilot p = first.RunPilot(pilotSeed, kPilotEvents);
    if (steady && (warmup < 0.0 || batch <= 0.0)) {
        // A model that stops moving (an absorbing marking) is in its steady state
        // from then on: any length does.
        double span = p.events == kPilotEvents ? p.end - p.half : std::max(p.end, 1.0);
        if (!(span > 0.0))
            span = 1.0;
        if (warmup < 0.0)
            warmup = 2.0 * span;
        if (batch <= 0.0)
            batch = span;
    }
    double untilHorizon = o.untilHorizon;
    if (untilHorizon <= 0.0)
        untilHorizon = p.events > 0 && p.end > 0.0
                           ? kUntilFirings * p.end / static_cast<double>(p.events)
                           : kUntilFirings;
    const ObservationPlan plan(model, o.grid, o.gridStart, o.gridStop, o.gridPoints, warmup, batch,
                               o.batches, split, untilHorizon);
    if (plan.Results().empty())
        throw gen::UserError(split ? "importance splitting (-I) estimates instant-of-time "
                                     "variables, and the model has none"
                                   : "the model has no performance variables; there is nothing "
                                     "to estimate");
    if (split)
        for (int p = 0; p < model->NumPVs; p++)
            if (MeasureKindOf(model->PVNodes[p]->GetRewardType()) != MeasureKind::InstantOfTime)
                std::cerr << "note: variable " << model->PVNodes[p]->Name
                          << " is not an instant-of-time variable: importance splitting does not "
                             "estimate it (a run without -I does)"
                          << std::endl;
    // A replication runs to the plan's horizon. At the pilot's pace (its second half,
    // past the start), one that would take more than kMostFirings timed firings
    // cannot finish in any useful time: refused now, not after hours.
    // A replication that waits for a condition may run on to the watches' limit.
    const double horizon = std::max(plan.Horizon(), plan.WatchEnd());
    const double pace = p.events == kPilotEvents && p.end > p.half
                            ? static_cast<double>(kPilotEvents / 2) / (p.end - p.half)
                            : 0.0;
    if (!std::isfinite(horizon) || horizon * pace > kMostFirings)
        throw gen::UserError(
            "the replications would run to time " + ResultTable::Time(horizon) +
            (plan.Watches().empty()
                 ? " (the largest time point, grid end, or warm-up plus batches), about "
                 : " (the largest time point, grid end, warm-up plus batches, or until "
                   "horizon -u), about ") +
            Number("%.3g", horizon * pace) + " timed firings each at the model's pace of " +
            Number("%.3g", pace) + " per time unit; more than " + Number("%.0e", kMostFirings) +
            " cannot finish: ask for earlier times, a shorter grid, warm-up or batches (-g, "
            "-w, -b, -k" +
            (plan.Watches().empty() ? ")" : ") or a shorter until horizon (-u)"));

    ReplicationRunner::Settings s;
    s.seed = o.seed;
    s.level = o.level;
    s.relative = o.relative;
    s.absolute = o.absolute;
    s.maxReplications = o.maxReplications;
    s.progressLines = o.progressLines;
    std::unique_ptr<Splitting> splitter;
    if (split) {
        splitter.reset(new Splitting(splitting, plan));
        s.splitting = splitter.get();
        s.unit = "runs";
    }
    std::vector<Trajectory*> workers;
    for (auto& t : run.trajectories)
        workers.push_back(t.get());
    // The pilot's firings are not the replications'.
    const uint64_t before = first.Events();
    ReplicationRunner runner(workers, plan, s);
    runner.Run();
    const double events = static_cast<double>(runner.Events() - before);

    if (split)
        std::cout << "importance splitting: " << runner.Replications() << " runs of " << o.effort
                  << " paths per level, importance " << o.importance << ", up to time "
                  << ResultTable::Time(plan.Horizon()) << " (seed " << o.seed << ", " << threads
                  << (threads == 1 ? " thread" : " threads") << "): " << Number("%.0f", events)
                  << " timed firings in " << Number("%.2f", runner.Seconds()) << " s" << std::endl;
    else
        std::cout << "simulation: " << runner.Replications()
                  << (plan.Marks().empty() && !plan.Watches().empty()
                          ? " replications until their conditions hold (until horizon " +
                                ResultTable::Time(plan.UntilHorizon()) + ")"
                          : " replications up to time " + ResultTable::Time(plan.Horizon()) +
                                (plan.Watches().empty()
                                     ? std::string()
                                     : ", and on until their conditions hold (until horizon " +
                                           ResultTable::Time(plan.UntilHorizon()) + ")"))
                  << " (seed " << o.seed << ", " << threads
                  << (threads == 1 ? " thread" : " threads") << "): " << Number("%.0f", events)
                  << " timed firings in " << Number("%.2f", runner.Seconds()) << " s ("
                  << Number("%.3g", runner.Seconds() > 0 ? events / runner.Seconds() : 0.0)
                  << " per second)" << std::endl;
    if (split)
        for (const Splitting::Stage& stage : splitter->Stages())
            std::cout << "  to level " << ResultTable::Time(stage.level) << ": " << stage.paths
                      << " paths, " << stage.reached << " reached it ("
                      << Number("%.3g", static_cast<double>(stage.reached) /
                                            static_cast<double>(stage.paths))
                      << ")" << std::endl;
    if (plan.Steady())
        std::cout << "steady state: warm-up " << ResultTable::Time(plan.Warmup()) << ", "
                  << plan.Batches() << " batches of " << ResultTable::Time(plan.BatchLength())
                  << " per replication" << std::endl;

    const std::vector<ObservationPlan::Result>& results = plan.Results();
    ResultTable table;
    int missed = -1;
    // Lines said under the table; until results refused for truncated replications.
    std::vector<std::string> notes;
    int truncations = 0;
    std::vector<int> rare;
    for (size_t r = 0; r < results.size(); r++) {
        const ObservationPlan::Result& x = results[r];
        if (x.grid)
            continue;
        const int i = static_cast<int>(r);
        ResultTable::Row row;
        row.variable = x.variable;
        row.kind = MeasureKindName(x.kind);
        if (x.kind == MeasureKind::SteadyState || x.kind == MeasureKind::Until ||
            x.kind == MeasureKind::Reach)
            row.time = "-";
        else if (x.kind == MeasureKind::InstantOfTime || x.kind == MeasureKind::ReachWithin)
            row.time = ResultTable::Time(x.start);
        else
            row.time = "[" + ResultTable::Time(x.start) + "," + ResultTable::Time(x.stop) + "]";
        const uint64_t never = runner.Never(i), truncated = runner.Truncated(i);
        const std::string of = " of " + std::to_string(runner.EstimateOf(i).Count()) +
                               (split ? " runs" : " replications");
        if (x.kind == MeasureKind::Until && never > 0) {
            // A path on which the condition can no longer hold: it is not reached
            // with probability 1, and the mean is no number.
            row.value = "infinite";
            table.Add(row);
            notes.push_back("variable " + x.variable + ": in " + std::to_string(never) + of +
                            " the model stopped moving where its condition does not hold: it "
                            "is not reached with probability 1, and the expected reward until "
                            "it holds is infinite");
            continue;
        }
        if (x.kind == MeasureKind::Until && truncated > 0) {
            row.value = "refused";
            table.Add(row);
            truncations++;
            std::cerr << "variable " << x.variable << ": " << truncated << of
                      << " had not reached its condition by the until horizon "
                      << ResultTable::Time(plan.UntilHorizon())
                      << ": what they earned until then would understate the mean; allow a "
                         "longer horizon (-u), unless the condition may never be reached"
                      << std::endl;
            continue;
        }
        if (x.kind == MeasureKind::Reach && truncated > 0)
            notes.push_back("variable " + x.variable + ": " + std::to_string(truncated) + of +
                            " had not reached its condition by the until horizon " +
                            ResultTable::Time(plan.UntilHorizon()) +
                            " (-u) and count as not reaching it: the value is the probability "
                            "of reaching it by then");
        if (runner.Unobserved(i)) {
            // An interval from below 0 would pass for a measurement; what the run
            // knows is an upper bound, said beside the table.
            row.value = kNotObserved;
            rare.push_back(i);
        } else {
            row.value = ResultTable::Value(runner.EstimateOf(i).Mean());
            row.error = ResultTable::Bound(runner.HalfWidth(i));
        }
        table.Add(row);
        if (o.HasTarget() && missed < 0 && !runner.ReachedTarget(i))
            missed = i;
        const ReplicationRunner::Correlation c = runner.BatchCorrelation(i);
        if (x.kind == MeasureKind::SteadyState && c.Correlated())
            std::cerr << "warning: variable " << x.variable
                      << ": consecutive batch means are correlated (lag-1 autocorrelation "
                      << Number("%.2f", c.corrected) << " over " << c.pairs
                      << " pairs of batches, where independent batches stay within "
                      << Number("%.2f", 3.0 * c.noise)
                      << "): the batches are short for the model's time scale; a longer "
                         "batch length (-b) makes them independent"
                      << std::endl;
    }
    table.Print(std::cout);
    for (const std::string& note : notes)
        std::cout << "note: " << note << std::endl;
    for (size_t r = 0; r < results.size(); r++) {
        const uint64_t n = runner.EstimateOf(static_cast<int>(r)).Count();
        if (!results[r].grid && n < runner.Replications())
            std::cout << results[r].variable << Where(results[r]) << ": target reached after " << n
                      << (split ? " runs" : " replications") << ", not observed after that"
                      << std::endl;
    }
    for (int i : rare) {
        const ObservationPlan::Result& x = results[static_cast<size_t>(i)];
        const Estimate& e = runner.EstimateOf(i);
        std::cout << x.variable << Where(x) << ": " << kNotObserved << ": seen in " << e.NonZero()
                  << " of " << e.Count() << (split ? " runs" : " replications")
                  << ", too few for an interval that excludes 0";
        // Runs of splitting that never reached the event bound nothing.
        if (!split || e.NonZero() > 0)
            std::cout << "; it lies below " << ResultTable::Bound(e.Mean() + runner.HalfWidth(i))
                      << " (the upper end of the " << Number("%g", o.level * 100) << "% interval)";
        std::cout << std::endl;
    }
    if (split && pace > 0.0) {
        // What plain replication would need for the same half-widths, each
        // replication running to the horizon at the pilot's pace.
        const double perReplication = pace * plan.Horizon();
        for (size_t r = 0; r < results.size(); r++) {
            const int i = static_cast<int>(r);
            const Estimate& e = runner.EstimateOf(i);
            const double p = e.Mean(), h = runner.HalfWidth(i);
            // Only the rare results: the importance function's own variable, or a
            // probability that is not small, is not what the splitting is for.
            if (results[r].grid || results[r].node == splitting.node || runner.Unobserved(i) ||
                !(p > 0.0 && p < 0.01) || !e.WithinUnit())
                continue;
            const double z = StudentT::TwoSided(o.level, 1e9);
            const double n = p * (1.0 - p) * z * z / (h * h);
            std::cout << "work: " << results[r].variable << Where(results[r])
                      << ": plain replication would need about " << Number("%.3g", n)
                      << " replications for this half-width (p(1 - p) z^2 / h^2, as for the "
                         "probability of an event), about "
                      << Number("%.3g", n * perReplication) << " timed firings: "
                      << Number("%.3g", n * perReplication / std::max(events, 1.0))
                      << " times this run's" << std::endl;
        }
    }
    std::cout << "error bound: half-width of the " << Number("%g", o.level * 100)
              << "% confidence interval (Student t)";
    if (o.HasTarget()) {
        std::cout << "; target " << Number("%g", o.relative) << " relative";
        if (o.absolute > 0.0)
            std::cout << " or " << Number("%g", o.absolute) << " absolute";
        std::cout << ": " << (missed < 0 ? "reached" : "not reached");
    }
    std::cout << std::endl;
    // The table and its plots are one set: a reader never finds this run's CSV
    // beside another run's plots, and a plot that cannot be written leaves no CSV.
    std::vector<std::pair<std::string, std::string>> outputs = {{o.csv, table.CsvText()}};
    if (o.grid) {
        // The plotted points follow the table in the CSV, as rows of kind "grid",
        // so that the curves can be drawn again or checked without the pictures.
        ResultTable points;
        bool any = false;
        for (int p = 0; p < model->NumPVs; p++) {
            Chart chart;
            Chart::Series curve;
            for (size_t r = 0; r < results.size(); r++) {
                if (!results[r].grid || results[r].node != p)
                    continue;
                const int i = static_cast<int>(r);
                curve.xs.push_back(results[r].start);
                curve.ys.push_back(runner.EstimateOf(i).Mean());
                curve.halfWidths.push_back(runner.HalfWidth(i));
                ResultTable::Row row;
                row.variable = results[r].variable;
                row.kind = "grid";
                row.time = ResultTable::Time(results[r].start);
                row.value = ResultTable::Value(curve.ys.back());
                row.error = ResultTable::Bound(curve.halfWidths.back());
                points.Add(row);
            }
            if (curve.xs.empty())
                continue;
            any = true;
            const std::string name = model->PVNodes[p]->Name;
            curve.label = "mean, " + Number("%g", o.level * 100) + "% confidence band";
            chart.title = name + " (instant of time, simulated)";
            chart.subtitle = std::to_string(runner.Replications()) + " replications, seed " +
                             std::to_string(o.seed);
            chart.xTitle = "time";
            chart.yTitle = name;
            chart.series.push_back(std::move(curve));
            outputs.emplace_back(o.Base() + "_" + FileSafe(name) + ".svg", chart.Render());
        }
        if (!any)
            std::cerr << "warning: -g: no instant-of-time variable to plot" << std::endl;
        outputs.front().second = table.CsvText() + points.CsvRows();
    }
    AtomicFile::WriteSet(outputs);
    for (size_t k = 1; k < outputs.size(); k++)
        std::cout << "plot: " << outputs[k].first << std::endl;
    std::cout << "results: " << o.csv << std::endl;
    if (!std::cout)
        throw gen::UserError("cannot write the results on standard output");
    if (missed >= 0) {
        const ObservationPlan::Result& x = results[static_cast<size_t>(missed)];
        const Estimate& e = runner.EstimateOf(missed);
        std::cerr << "Error: the target was not reached within " << runner.Replications()
                  << " replications: variable " << x.variable << Where(x);
        if (runner.Unobserved(missed))
            std::cerr << " was seen in " << e.NonZero() << " of them only";
        else
            std::cerr << " has a half-width of " << ResultTable::Bound(runner.HalfWidth(missed))
                      << " around " << ResultTable::Value(e.Mean());
        std::cerr << "; allow more replications (-n) or loosen the target (-r, -a)" << std::endl;
        return 1;
    }
    return truncations > 0 ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    InstallOutOfMemoryHandler();
    AtomicFile::RemoveTemporariesOnSignals();
    try {
        const SimOptions o = SimOptions::Parse(argc, argv);
        if (o.usage) {
            std::cout << SimOptions::Usage();
            return 0;
        }
        return Simulate(o);
    } catch (const gen::UserError& e) {
        std::cout.flush();
        std::cerr << "Error: " << e.what() << std::endl;
    } catch (const std::bad_alloc&) {
        std::cout.flush();
        std::cerr << "Error: out of memory" << std::endl;
    }
    return 1;
}
