#include "headless/terminal.h"

#include <algorithm>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>

#include "controls/operator_controls.h"
#include "headless/batch.h"
#include "headless/dump.h"
#include "headless/load_plot.h"
#include "headless/output_file.h"
#include "headless/plot.h"
#include "headless/report.h"
#include "headless/timeline_file.h"
#include "headless/trace.h"
#include "history/experiment_file.h"
#include "history/record.h"
#include "model/form.h"
#include "model/generator.h"
#include "model/methods.h"
#include "model/runtime_error.h"
#include "options/options.h"
#include "sim/wiring.h"

namespace bruvik {
namespace {

int print(std::ostream& out, std::ostream& err, const std::string& text) {
  out << text;
  out.flush();
  if (!out) {
    err << "bruvik: the output could not be written.\n";
    return 1;
  }
  return 0;
}

int refuse(std::ostream& err, const std::string& sentence) {
  err << "bruvik: " << sentence << "\n";
  return 1;
}

// Only the report asked for is written.
std::string run_report(OutputFormat f, const RunResult& run) {
  return f == OutputFormat::Json  ? run_json(run)
         : f == OutputFormat::Csv ? run_csv(run)
                                  : run_text(run);
}

std::string sweep_report(OutputFormat f, const SweepReport& report) {
  return f == OutputFormat::Json  ? sweep_json(report)
         : f == OutputFormat::Csv ? sweep_csv(report)
                                  : sweep_text(report);
}

// Runs every parameter set; the first failed run (in run order) is the error.
std::optional<std::string> run_all(const std::vector<RunParams>& params, int threads,
                                   const SingleRunner& runner, std::vector<RunResult>& results) {
  const std::vector<BatchRun> done =
      run_batch(params, threads, [&](const RunParams& p) { return runner(p, nullptr); });
  results.clear();
  results.reserve(done.size());
  for (const BatchRun& b : done) {
    if (b.error) {
      return "the run with seed " + std::to_string(b.result.params.start.seed) +
             " failed: " + *b.error;
    }
    results.push_back(b.result);
  }
  return std::nullopt;
}

std::string plot_caption(const SweepReport& r) {
  std::string fixed;
  for (const char* name : {"mtu", "rate", "frame-length", "data-amount"}) {
    if (r.sweep.name == name) continue;
    const StartSettings& s = r.base.start;
    const std::string v = std::string(name) == "mtu"            ? std::to_string(s.mtu)
                          : std::string(name) == "rate"         ? std::to_string(s.rate)
                          : std::string(name) == "frame-length" ? std::to_string(s.frame_length)
                                                                : s.data_amount;
    if (!fixed.empty()) fixed += ", ";
    fixed += sweep_title(name) + " " + v;
  }
  const std::uint64_t last = r.first_seed + static_cast<std::uint64_t>(r.runs) - 1;
  std::string missing;
  for (const SweepPoint& p : r.points) {
    for (const MethodSummary& m : p.summary) {
      if (!m.successful_per_virtual_second.mean) {
        missing = " A method has no point where it ended in none of the runs (time limit " +
                  std::to_string(r.base.max_time) + " virtual ms).";
      }
    }
  }
  return "Fixed: " + fixed + ". " + std::to_string(r.runs) + (r.runs == 1 ? " run" : " runs") +
         " per value, seeds " + std::to_string(r.first_seed) + " to " + std::to_string(last) +
         ", the same for every value. Bars: 95 % confidence interval of the mean." + missing;
}

PlotRequest plot_request(const SweepReport& r, const std::string& file) {
  PlotRequest q;
  q.title = "BRUVIK: mean throughput against the " + sweep_title(r.sweep.name);
  q.x_title = sweep_title(r.sweep.name) + " (" + r.sweep.name + ")";
  q.y_title = "throughput (successful sendings per virtual second)";
  q.caption = plot_caption(r);
  const std::string lower = [&] {
    std::string s = file;
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  }();
  q.svg = lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".svg") == 0;
  for (const SweepPoint& p : r.points) q.x.push_back(static_cast<double>(p.value));
  for (std::size_t k = 0; k < 5; ++k) {
    PlotSeries s;
    s.name = methods()[k].name;
    for (const SweepPoint& p : r.points) {
      const Summary& t = p.summary[k].successful_per_virtual_second;
      s.mean.push_back(t.mean);
      s.low.push_back(t.ci95_low);
      s.high.push_back(t.ci95_high);
    }
    q.series.push_back(std::move(s));
  }
  return q;
}

// The experiment of --replay, read and checked whole; none (and the sentence in `err`) when the
// file is refused.
std::optional<Experiment> replayed_experiment(const std::string& path, std::ostream& err) {
  ExperimentRead read = open_experiment_file(path, tick_handlers());
  if (!read.experiment) err << "bruvik: " << experiment_refusal(path, read.error) << "\n";
  return read.experiment;
}

// The terminal run's own experiment: its settings and "EnableThe Computers" at 0, saved at the
// moment the run stopped.
Experiment experiment_of(const RunScript& script, const RunResult& run) {
  Experiment e;
  e.start = script.params.start;
  e.actions = script.actions;
  e.saved_at = Target{run.virtual_ms, run.ticks_delivered, script.actions.size()};
  return e;
}

std::string seconds(VirtualMs ms) {
  const std::string tenths = std::to_string(ms / 100);
  return (tenths.size() > 1 ? tenths.substr(0, tenths.size() - 1) : "0") + "." + tenths.back() +
         " s";
}

// The picture of [from, to] of a run that has been recorded whole.
std::string draw_timeline(const Options& o, const RunResult& run, const RunRecord& record,
                          const std::string& path) {
  TimelineRequest q;
  q.record = &record;
  q.from = o.timeline_from.value_or(0);
  q.to = o.timeline_to.value_or(run.virtual_ms);
  q.end = run.virtual_ms;
  if (q.to <= q.from) {
    return "--from " + std::to_string(q.from) + " is not before the end of the run (" +
           std::to_string(run.virtual_ms) + " ms); give an earlier --from or a --to.";
  }
  const StartSettings& s = run.params.start;
  q.title = "BRUVIK timeline, seed " + std::to_string(s.seed) + ", " + seconds(q.from) + " to " +
            seconds(q.to) + " (network MTU " + std::to_string(s.mtu) + ", data sending rate " +
            std::to_string(s.rate) + ", average frame length " + std::to_string(s.frame_length) +
            ", data amount \"" + s.data_amount + "\")";
  q.svg = svg_file_name(*o.timeline);
  const std::string failure = timeline_drawer()(q, path);
  return failure.empty() ? failure : "the timeline was not drawn: " + failure + ".";
}

}  // namespace

RunParams run_params(const Options& o, std::uint64_t seed) {
  return {start_settings(o, seed), o.max_time};
}

int run_terminal(const Options& o, std::ostream& out, std::ostream& err,
                 const SingleRunner& given) {
  const SingleRunner runner =
      given ? given : [](const RunParams& p, EventSink* extra) { return run_once(p, extra); };
  // A replayed file's run goes on from the moment it was saved as the window's would: the
  // actions recorded after that moment (a file saved after going back) play out too.
  std::optional<RunScript> replayed;
  // A lesson's title and question, said before the text report as the window shows them.
  std::string lesson;
  if (o.experiment) {
    const std::optional<Experiment> e = replayed_experiment(*o.experiment, err);
    if (!e) return kUsageError;
    Target until = opening_target(*e);
    if (until.actions < e->actions.size()) {
      const UserAction& last = e->actions.back();
      until = Target{last.time, last.ticks, e->actions.size()};
    }
    replayed = RunScript{{e->start, o.max_time}, e->actions, until};
    if (!e->title.empty()) lesson += "lesson: " + e->title + "\n";
    if (!e->note.empty()) lesson += "question: " + e->note + "\n";
    if (!lesson.empty()) lesson += "\n";
  }
  const std::uint64_t seed = replayed ? replayed->params.start.seed
                             : o.seed ? *o.seed
                                      : Generator::fresh_seed();
  const RunParams base = run_params(o, seed);
  if (o.runs > 1 &&
      seed > std::numeric_limits<std::uint64_t>::max() - static_cast<std::uint64_t>(o.runs - 1)) {
    err << "bruvik: --seed " << seed << " with --runs " << o.runs
        << " would go past the largest seed, 18446744073709551615; give a smaller seed.\n";
    return kUsageError;
  }

  // Output files are opened before any run, so that a bad path costs no waiting.
  std::unique_ptr<OutputFile> trace_file, plot_file, experiment_file, timeline_file;
  if (o.trace) {
    trace_file = std::make_unique<OutputFile>(*o.trace, "trace");
    if (!trace_file->ok()) return refuse(err, trace_file->error());
  }
  if (o.save_experiment) {
    experiment_file = std::make_unique<OutputFile>(*o.save_experiment, "experiment");
    if (!experiment_file->ok()) return refuse(err, experiment_file->error());
  }
  if (o.plot) {
    if (plot_drawer() == nullptr) {
      return refuse(err, "this build of bruvik cannot draw plots (it has no plot library).");
    }
    plot_file = std::make_unique<OutputFile>(*o.plot, "plot");
    if (!plot_file->ok()) return refuse(err, plot_file->error());
  }
  if (o.timeline) {
    if (!svg_file_name(*o.timeline) && !draws_png_timelines()) {
      return refuse(err, "this build of bruvik draws no PNG pictures; ask for an .svg file.");
    }
    timeline_file = std::make_unique<OutputFile>(*o.timeline, "timeline");
    if (!timeline_file->ok()) return refuse(err, timeline_file->error());
  }

  try {
    if (o.sweep) {
      SweepReport report;
      report.sweep = *o.sweep;
      report.base = base;
      report.first_seed = seed;
      report.runs = o.runs;
      // Every value gets the same seeds, so that the values differ only in what is swept.
      for (long long v = o.sweep->from; v <= o.sweep->to; v += o.sweep->step) {
        SweepPoint point;
        point.value = v;
        point.params = swept_params(base, o.sweep->name, v);
        report.points.push_back(point);
      }
      // Points are run a group at a time, enough runs to keep every thread busy, and only
      // their figures are kept: a long sweep needs no more memory than a short one.
      const std::size_t busy = std::max<std::size_t>(
          256, 16 * static_cast<std::size_t>(worker_count(o.threads, 1u << 20)));
      const std::size_t group = std::max<std::size_t>(1, busy / static_cast<std::size_t>(o.runs));
      for (std::size_t first = 0; first < report.points.size(); first += group) {
        const std::size_t end = std::min(report.points.size(), first + group);
        std::vector<RunParams> params;
        for (std::size_t i = first; i < end; ++i) {
          for (int r = 0; r < o.runs; ++r) {
            RunParams p = report.points[i].params;
            p.start.seed = seed + static_cast<std::uint64_t>(r);
            params.push_back(p);
          }
        }
        std::vector<RunResult> results;
        if (const auto error = run_all(params, o.threads, runner, results)) {
          return refuse(err, *error);
        }
        for (std::size_t i = first; i < end; ++i) {
          SweepPoint& point = report.points[i];
          const auto from = results.begin() + static_cast<std::ptrdiff_t>(i - first) * o.runs;
          const std::vector<RunResult> block(from, from + o.runs);
          for (const RunResult& r : block) point.runs_finished += r.finished ? 1 : 0;
          point.summary = summarize_runs(block);
        }
      }
      if (plot_file) {
        PlotRequest request = plot_request(report, *o.plot);
        if (o.plot_axis == PlotAxis::Load) put_load_axis(request, report);
        const std::string failure = plot_drawer()(request, plot_file->temp_path());
        if (!failure.empty()) return refuse(err, "the plot was not drawn: " + failure);
        if (!plot_file->commit()) return refuse(err, plot_file->error());
      }
      return print(out, err, sweep_report(o.format, report));
    }

    if (o.runs > 1) {
      std::vector<RunParams> params;
      for (int i = 0; i < o.runs; ++i) {
        RunParams p = base;
        p.start.seed = seed + static_cast<std::uint64_t>(i);
        params.push_back(p);
      }
      std::vector<RunResult> results;
      if (const auto error = run_all(params, o.threads, runner, results)) {
        return refuse(err, *error);
      }
      const BatchReport report = make_batch_report(std::move(results));
      if (o.format == OutputFormat::Json) {
        batch_json(report, out);
        return print(out, err, "");
      }
      return print(out, err,
                   o.format == OutputFormat::Csv ? batch_csv(report) : batch_text(report));
    }

    std::optional<TraceWriter> trace;
    if (trace_file) trace.emplace(trace_file->stream());
    EventSink* extra = trace ? &*trace : nullptr;
    // The timeline needs the whole record, which only a real run keeps.
    std::optional<RunRecord> record;
    if (timeline_file) record.emplace();
    RunRecord* keep = record ? &*record : nullptr;
    const RunResult run = replayed ? run_script(*replayed, extra, keep)
                          : keep   ? run_once(base, extra, keep)
                                   : runner(base, extra);
    if (trace_file && !trace_file->commit()) return refuse(err, trace_file->error());
    if (timeline_file) {
      const std::string failure = draw_timeline(o, run, *record, timeline_file->temp_path());
      if (!failure.empty()) return refuse(err, failure);
      if (!timeline_file->commit()) return refuse(err, timeline_file->error());
    }
    if (experiment_file) {
      experiment_file->stream() << experiment_json(experiment_of(plain_script(base), run));
      if (!experiment_file->commit()) return refuse(err, experiment_file->error());
    }
    return print(out, err,
                 (o.format == OutputFormat::Text ? lesson : "") + run_report(o.format, run));
  } catch (const RuntimeError& e) {
    return refuse(err, std::string(e.what()) + " (seed " + std::to_string(seed) + ").");
  } catch (const std::invalid_argument& e) {
    return refuse(err, e.what());
  } catch (const ReplayError& e) {
    return refuse(err, std::string(e.what()) + ".");
  }
}

int run_terminal(const Options& options) {
  return run_terminal(options, std::cout, std::cerr);
}

int dump_state(const Options& o, std::ostream& out, std::ostream& err) {
  if (o.experiment) {
    // The file's actions up to MS, each at its moment.
    const std::optional<Experiment> e = replayed_experiment(*o.experiment, err);
    if (!e) return kUsageError;
    try {
      Form1 form(e->start.seed, tick_handlers());
      prepare(form, e->start);
      const VirtualMs at = o.dump_at.value_or(0);
      replay(form, 0, e->actions, at_time(e->actions, at));
      return print(out, err, state_json(form));
    } catch (const RuntimeError& ex) {
      return refuse(err, std::string(ex.what()) + " (seed " + std::to_string(e->start.seed) + ").");
    }
  }
  const std::uint64_t seed = o.seed ? *o.seed : Generator::fresh_seed();
  try {
    Form1 form(seed, tick_handlers());
    const std::string refused = prepare(form, run_params(o, seed).start);
    if (!refused.empty()) return refuse(err, refused);
    if (o.start) Command1_Click(form);
    form.advance_to(o.dump_at.value_or(0));
    return print(out, err, state_json(form));
  } catch (const RuntimeError& e) {
    return refuse(err, std::string(e.what()) + " (seed " + std::to_string(seed) + ").");
  }
}

int dump_state(const Options& options) {
  return dump_state(options, std::cout, std::cerr);
}

}  // namespace bruvik
