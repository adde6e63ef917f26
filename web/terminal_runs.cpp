// The terminal's repeated runs and sweeps in the page, in three calls. The page's module reads
// the words as `bruvik --headless` does and lets run_terminal refuse them; each Web Worker's
// module plans the same words, noting the runs run_terminal asks for, and runs a stretch of them;
// the page's module takes their outcomes and runs run_terminal again, handing it each outcome in
// turn, checked against the run it asks for. So the page prints what the terminal prints, from
// the terminal's own code.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "headless/batch.h"
#include "headless/run_codec.h"
#include "headless/terminal.h"
#include "history/json_numbers.h"
#include "model/generator.h"
#include "program/cli.h"
#include "web/page_text.h"

namespace bruvik {
namespace {

using Json = nlohmann::json;

struct Answer {
  int code = 0;
  std::string out, err;
};

Json answer_json(const Answer& a) {
  return {{"jobs", 0}, {"code", a.code}, {"out", a.out}, {"err", a.err}};
}

// Words that are not a JSON list of strings: no terminal could have been given them.
std::string unreadable(const std::exception& e) {
  return answer_json({1, "", std::string("bruvik: the words cannot be read: ") + e.what() + "\n"})
      .dump();
}

// The words' plan: the options with the seed fixed (a worker must draw none of its own), the
// number of runs, and (in a worker) the runs that run_terminal asks for, in the order it asks;
// or the answer when the words need no worker (help, a refusal, a single run, a state dump).
struct Plan {
  Options options;
  std::size_t jobs = 0;
  std::vector<RunParams> runs;
  std::optional<Answer> answer;
};

// What a plan finds out: only the words' reading (the report, whose run_terminal asks for the
// runs itself), also whether run_terminal refuses them before any run (the page's module, on
// the main thread, where noting every run would hold up the window), or every run (a worker).
enum class Planning { Read, Checked, Noted };

// Thrown by the runner of a check: run_terminal got as far as its runs.
struct RunsReached {};

Plan plan(const std::string& words_json, const std::string& seed,
          Planning planning = Planning::Noted) {
  std::vector<std::string> arguments{"bruvik"};
  for (const Json& w : Json::parse(words_json)) arguments.push_back(w.get<std::string>());
  // As the node program: the word --headless may be left out.
  if (std::find(arguments.begin(), arguments.end(), "--headless") == arguments.end()) {
    arguments.insert(arguments.begin() + 1, "--headless");
  }
  const CommandLine line = parse_command_line(arguments);
  Plan p;
  switch (line.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
      p.answer = Answer{0, line.text + "\n", ""};
      return p;
    case CommandLine::Action::Refuse:
      p.answer = Answer{kUsageError, "", line.text + "\n"};
      return p;
    case CommandLine::Action::Run:
      break;
  }
  p.options = line.options;
  Options& o = p.options;
  if (!o.seed && !o.experiment) o.seed = seed.empty() ? Generator::fresh_seed() : std::stoull(seed);
  std::ostringstream out, err;
  if (o.dump_at || (o.runs == 1 && !o.sweep)) {
    // One run: no faster in a worker than here.
    const int code = o.dump_at ? dump_state(o, out, err) : run_terminal(o, out, err);
    p.answer = Answer{code, out.str(), err.str()};
    return p;
  }
  // The terminal's runs: the same seeds for every value of a sweep.
  p.jobs =
      static_cast<std::size_t>(o.runs) *
      (o.sweep ? static_cast<std::size_t>((o.sweep->to - o.sweep->from) / o.sweep->step + 1) : 1);
  if (planning == Planning::Read) return p;
  bool reached = false;
  int code = 0;
  try {
    code = run_terminal(o, out, err, [&](const RunParams& params, EventSink*) {
      if (planning == Planning::Checked) {
        reached = true;
        throw RunsReached{};
      }
      p.runs.push_back(params);
      RunResult r;
      r.params = params;
      return r;
    });
  } catch (const RunsReached&) {
    reached = true;
  }
  // Refused before any run: a seed too large for the runs, an output file that cannot be written.
  if (!reached && code != 0) p.answer = Answer{code, "", err.str()};
  return p;
}

// A worker's plan, kept for its next stretch of the same words.
std::string g_planned_words;
Plan g_worker_plan;

// The page's module: the plan being run and the outcomes taken so far.
Plan g_plan;
std::vector<std::optional<BatchRun>> g_outcomes;

std::string file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace
}  // namespace bruvik

extern "C" {

// Plans the words (a JSON list of strings, as the terminal takes them) with `seed` for a run
// without --seed ("" draws one). Returns {"jobs": N, "seed": "S"}, or with no jobs the answer:
// {"jobs": 0, "code", "out", "err"}. Forgets the outcomes of the plan before.
EMSCRIPTEN_KEEPALIVE const char* bruvik_runs_plan(const char* words, const char* seed) {
  using namespace bruvik;
  try {
    g_plan = plan(words, seed, Planning::Checked);
  } catch (const std::exception& e) {
    return give(unreadable(e));
  }
  g_outcomes.assign(g_plan.answer ? 0 : g_plan.jobs, std::nullopt);
  if (g_plan.answer) return give(answer_json(*g_plan.answer).dump());
  return give(Json{{"jobs", g_plan.jobs}, {"seed", std::to_string(*g_plan.options.seed)}}.dump());
}

// In a worker: runs [from, to) of the words' plan with that seed, and returns their outcomes as
// encode_runs writes them; a run-time error is an outcome. "" when the words plan no such runs.
EMSCRIPTEN_KEEPALIVE const char* bruvik_runs_run(const char* words, const char* seed, int from,
                                                 int to) {
  using namespace bruvik;
  const std::string key = std::string(words) + '\n' + seed;
  if (key != g_planned_words) {
    try {
      g_worker_plan = plan(words, seed);
    } catch (const std::exception&) {
      return give("");
    }
    g_planned_words = key;
  }
  const std::vector<RunParams>& runs = g_worker_plan.runs;
  if (from < 0 || to < from || static_cast<std::size_t>(to) > runs.size()) return give("");
  const std::vector<RunParams> stretch(runs.begin() + from, runs.begin() + to);
  // One at a time, each caught as the terminal's batch catches it.
  return give(encode_runs(run_batch(stretch, 1, [](const RunParams& p) { return run_once(p); })));
}

// Takes the outcomes of runs [from, to) of the plan. Returns "" or why not.
EMSCRIPTEN_KEEPALIVE const char* bruvik_runs_take(int from, int to, const char* outcomes) {
  using namespace bruvik;
  if (from < 0 || to < from || static_cast<std::size_t>(to) > g_outcomes.size()) {
    return give("the runs " + std::to_string(from) + " to " + std::to_string(to) +
                " are not planned");
  }
  try {
    std::vector<BatchRun> runs = decode_runs(outcomes);
    if (runs.size() != static_cast<std::size_t>(to - from)) return give("another count of runs");
    for (int i = from; i < to; ++i)
      g_outcomes[static_cast<std::size_t>(i)] = std::move(runs[static_cast<std::size_t>(i - from)]);
  } catch (const std::exception& e) {
    return give(e.what());
  }
  return give("");
}

// What the terminal prints for the words over the outcomes taken: the planned words, or others
// that ask for the same runs (another --format, a --plot). {"code", "out", "err", "plot"}, the
// plot being the text written to --plot's file.
EMSCRIPTEN_KEEPALIVE const char* bruvik_runs_finish(const char* words, const char* seed) {
  using namespace bruvik;
  Plan p;
  try {
    // Its runs are checked one by one as run_terminal asks for them.
    p = plan(words, seed, Planning::Read);
  } catch (const std::exception& e) {
    return give(unreadable(e));
  }
  if (p.answer) return give(answer_json(*p.answer).dump());
  std::size_t next = 0;
  std::string missing;
  std::ostringstream out, err;
  const int code = run_terminal(p.options, out, err, [&](const RunParams& params, EventSink*) {
    const std::size_t i = next++;
    if (i >= g_outcomes.size() || !g_outcomes[i] || !(g_outcomes[i]->result.params == params)) {
      if (missing.empty()) missing = "the run " + std::to_string(i) + " of these words was not run";
      RunResult none;
      none.params = params;
      return none;
    }
    if (g_outcomes[i]->error) throw std::runtime_error(*g_outcomes[i]->error);
    return g_outcomes[i]->result;
  });
  // A failed run ends the terminal's runs early; otherwise it asks for every run planned.
  if (missing.empty() && code == 0 && next != g_outcomes.size()) {
    missing = "these words ask for " + std::to_string(next) + " runs, not " +
              std::to_string(g_outcomes.size());
  }
  if (!missing.empty()) return give(answer_json({1, "", "bruvik: " + missing + ".\n"}).dump());
  Json a = answer_json({code, out.str(), err.str()});
  a.erase("jobs");
  a["plot"] = code == 0 && p.options.plot ? file_text(*p.options.plot) : "";
  return give(a.dump());
}

}  // extern "C"
