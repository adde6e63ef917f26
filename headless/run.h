// One whole run without a window: start-up, the operator values set by their buttons,
// "EnableThe Computers" at virtual time 0, then virtual time until the run has finished. Or,
// in general, the run of an experiment: its settings, its actions each at its moment, then on
// with no further action.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/actions.h"
#include "history/bus_frames.h"
#include "history/replay.h"
#include "model/clock.h"
#include "model/events.h"

namespace bruvik {

class Form1;
class RunRecord;

// A terminal run: the settings it starts from, and how long it may go on.
struct RunParams {
  StartSettings start;
  VirtualMs max_time = 3600000;  // one hour of virtual time

  bool operator==(const RunParams&) const = default;
};

struct MethodResult {
  std::string code;
  std::string name;
  bool reached = false;  // its stations were started
  bool ended = false;
  double data_sent = 0;   // when it ended
  double collisions = 0;  // when it ended
  double seconds = 0;     // seconds passed when it ended
  std::string statistics_line;
  std::string throughput_text;
  VirtualMs started_ms = -1;
  VirtualMs ended_ms = -1;
  // What happened on the bus from its start to its end (or the run's stop); none when it did
  // not start, or when the run had more events than a record holds.
  std::optional<BusFigures> bus;

  bool operator==(const MethodResult&) const = default;
};

struct TableRow {
  int place = 0;
  std::string name;
  std::string value;

  bool operator==(const TableRow&) const = default;
};

struct RunResult {
  RunParams params;
  bool finished = false;
  VirtualMs virtual_ms = 0;
  std::array<MethodResult, 5> methods;
  std::array<TableRow, 5> table;
  std::uint64_t ticks_delivered = 0;

  bool operator==(const RunResult&) const = default;
};

// What a run does: the settings it starts from, the actions up to `until`, then on until it
// finishes or its `max_time`.
struct RunScript {
  RunParams params;
  std::vector<UserAction> actions;
  Target until;
};
// The terminal run's script: "EnableThe Computers" pressed at time 0, before any tick.
RunScript plain_script(const RunParams& params);

// Runs one whole run. `extra` (may be null) receives every event of the run, and `record` (may
// be null) keeps them all. A refused data amount throws std::invalid_argument; a moment that
// does not fit the run, ReplayError.
RunResult run_script(const RunScript& script, EventSink* extra = nullptr,
                     RunRecord* record = nullptr);
RunResult run_once(const RunParams& params, EventSink* extra = nullptr,
                   RunRecord* record = nullptr);

}  // namespace bruvik
