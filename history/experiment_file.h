// Experiment files: a run's seed, the settings it started from and the user's actions with
// their moments, as JSON, so that a run can be saved, handed to a class and replayed exactly.
//
//   {"format": "bruvik-experiment", "version": 2, "title": "...", "note": "...", "seed": 7,
//    "settings": {"mtu": 5, "rate": 5, "frame_length": 5, "data_amount": "100"},
//    "saved_at": {"ms": 12400, "tick": 812, "actions": 1},
//    "actions": [{"ms": 0, "tick": 0, "do": "click", "control": "Command1"}, ...]}
//
// A `tick` counts every tick the timer rules deliver by then, the ones the clock skips as idle
// among them. Version 1 (BRUVIK 1.0) counted only the ticks it did not skip: such a file is
// replayed by that count to place each action and the saved moment, and their ticks are
// converted to the count of today as it goes, so an experiment that has been checked always
// holds today's count and is saved as version 2.
//
// Everything read is checked before any of it is used: a file is refused whole, never half
// applied.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/actions.h"
#include "history/replay.h"

namespace bruvik {

inline constexpr std::string_view kExperimentFormat = "bruvik-experiment";
inline constexpr int kExperimentVersion = 2;
inline constexpr std::size_t kMaxExperimentBytes = 10 * 1024 * 1024;

struct Experiment {
  std::string title;  // shown when it is opened; may be empty
  std::string note;
  StartSettings start;
  std::vector<UserAction> actions;
  std::optional<Target> saved_at;  // the moment it was saved at; none: after the last action
  // How the ticks above are counted: FirstVersion as read from a version-1 file, until
  // check_by_replay converts them.
  TickCount ticks = TickCount::Rule;

  bool operator==(const Experiment&) const = default;
};

// The file's text, ending with a newline.
std::string experiment_json(const Experiment& experiment);

struct ExperimentRead {
  std::optional<Experiment> experiment;
  std::string error;  // one sentence: what is wrong and where
};
ExperimentRead parse_experiment(std::string_view text);
ExperimentRead read_experiment_file(const std::string& path);

// Replays the experiment in a fresh form to check that its moments fit the run, gives every
// action without a tick its tick, and brings ticks of the first version to today's count.
// Returns the error, or empty.
std::string check_by_replay(Experiment& experiment, const struct TickHandlers& handlers);

// Read, then checked by replay: what opening a file does before it touches any run.
ExperimentRead open_experiment_file(const std::string& path, const struct TickHandlers& handlers);
// The same for a file's text that a front read itself.
ExperimentRead open_experiment_text(std::string_view text, const struct TickHandlers& handlers);

// What the user is told of a refused file, `file` naming it ("This file", "lesson.bruvik").
std::string experiment_refusal(std::string_view file, const std::string& error);

// The moment to stop at when the file is opened.
Target opening_target(const Experiment& experiment);

}  // namespace bruvik
