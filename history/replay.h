// Running a run again: the settings it started from, then the recorded actions, each at its
// moment. A run is a function of its seed, its settings and its actions, so this gives back
// any moment of it exactly.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

#include "history/actions.h"
#include "model/clock.h"
#include "options/options.h"

namespace bruvik {

class Form1;

struct StartSettings {
  std::uint64_t seed = 0;
  int mtu = 5;
  int rate = 5;
  int frame_length = 5;
  std::string data_amount = "100";

  bool operator==(const StartSettings&) const = default;
};

// What the command line asks a run to start from, with its seed: the one place where options
// become settings, for the window and the terminal alike.
StartSettings start_settings(const Options& options, std::uint64_t seed);

// Start-up, the operator values pressed in with their buttons, the data amount typed: the state
// a run starts from. Returns why the data amount was refused, or empty.
std::string prepare(Form1& form, const StartSettings& start);

// A moment of a run: the clock's time, the ticks the timer rules delivered (skipped ones too) and
// the actions applied by then.
struct Moment {
  VirtualMs time = 0;
  std::uint64_t ticks = 0;
  std::size_t actions = 0;

  bool operator==(const Moment&) const = default;
};
Moment moment_of(const Form1& form, std::size_t actions_applied);
// Whether `a` comes before `b` in the run.
bool before(const Moment& a, const Moment& b);

// Where a replay stops: after `actions` actions and then at `time`, either after every tick due
// by then (no `ticks`) or right after the tick that made `ticks` (Step and Back stop there).
struct Target {
  VirtualMs time = 0;
  std::optional<std::uint64_t> ticks;
  std::size_t actions = 0;

  bool operator==(const Target&) const = default;
};

// The moment of the script does not fit the run: an action or the target lies before where the
// run already is, or the run has not delivered as many ticks by then.
class ReplayError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// How the ticks of actions and targets are counted: every tick the rule delivers (files from
// version 2 on, and everything in memory), or, for version-1 files, only the ticks that clock
// did not skip, each moment right after the tick that made its count.
enum class TickCount { Rule, FirstVersion };

// Runs `form` on from the moment at which it has applied `applied` of `actions`: applies the
// actions up to `target.actions`, each at its moment, then reaches the target. A run-time
// error of the run itself passes through, as it would have ended the live run.
void replay(Form1& form, std::size_t applied, std::span<const UserAction> actions,
            const Target& target, TickCount count = TickCount::Rule);

// The target "at time t": every action up to t and every tick due by t.
Target at_time(std::span<const UserAction> actions, VirtualMs t);

}  // namespace bruvik
