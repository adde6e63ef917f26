// The history of the run in the window: the settings it started from, every action of the user
// with its moment, the record of its events and checkpoints of the model along the way. It can
// put the live form back to any moment reached so far, and play the recorded actions again
// when the run goes on from there.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "history/actions.h"
#include "history/record.h"
#include "history/replay.h"

namespace bruvik {

class Form1;
struct TickHandlers;

class History {
 public:
  // `live` has just been prepared from `start` (start-up, operator values, data amount) and
  // nothing has happened to it since. The history attaches its record to it, which holds the
  // latest `record_capacity` events or more.
  History(Form1& live, StartSettings start,
          std::size_t record_capacity = RunRecord::kDefaultCapacity);
  ~History();
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  const StartSettings& start() const { return start_; }
  const std::vector<UserAction>& actions() const { return actions_; }
  const RunRecord& record() const { return record_; }
  Form1& live() { return live_; }

  // Where the live form is, and the furthest moment it has reached since the last new action.
  Moment now() const;
  const Moment& furthest() const { return furthest_; }
  // True while the live form is before the furthest moment (it went back).
  bool behind() const { return before(now(), furthest_); }

  // The live form did `action` just now (already applied to it). When the live form went back,
  // the recorded future (later actions, events and checkpoints) is dropped first, as editing
  // after undo does.
  void record_action(UserAction action);

  // Run the live form on as the pacer asks, replaying the recorded actions that fall due on
  // the way (after going back the run plays out as it did until the user acts anew):
  // every tick due by `t`; or the next tick due by `limit` (0 when none; the clock is then at
  // `limit`).
  void advance_to(VirtualMs t);
  int deliver_next(VirtualMs limit);

  // After each display frame: notes the furthest moment and takes a checkpoint now and then.
  void reached();

  // The live form as it was at time `t` (clamped to 0 .. the furthest moment's time), or right
  // after the last station attempt before the present one; false when there is none.
  void go_to_time(VirtualMs t);
  bool go_back_one_attempt();
  // The live form at any target within the recorded actions (opening a file).
  void go_to(const Target& target);

  // A run begun anew in the same live form (opening a file): `live` has just been prepared from
  // `start` again; the old run's actions, record and checkpoints are dropped, and the live form
  // plays `actions` up to `target`, recorded and checkpointed on the way.
  void begin_anew(StartSettings start, std::vector<UserAction> actions, const Target& target);

  // Checkpoints kept, for tests and benchmarks.
  std::size_t checkpoints() const { return checkpoints_.size(); }

 private:
  struct Checkpoint {
    Moment at;
    std::unique_ptr<Form1> form;
  };
  void take_checkpoint();
  // The last attempt before the present, found by running again what the record let go.
  std::optional<Moment> attempt_replayed();
  void discard_future();
  void note_furthest();

  Form1& live_;
  StartSettings start_;
  std::vector<UserAction> actions_;
  std::size_t applied_ = 0;  // actions applied to the live form
  RunRecord record_;
  RecordSink sink_;
  Moment furthest_;
  std::vector<Checkpoint> checkpoints_;  // in run order; the first is the start
  VirtualMs spacing_ms_;
  std::unique_ptr<Form1> scratch_;
};

}  // namespace bruvik
