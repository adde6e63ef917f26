// Paces the form's virtual clock to the wall clock: the clock is brought to (wall time since
// the origin) x speed once per display frame, in bounded slices, so that the window answers
// input at any speed and nothing bursts after a pause, a stall or a change of speed. A run that
// finishes above 1x rests: the clock stops at the tick that finished it and goes on at 1x.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "model/clock.h"

namespace bruvik {

class Form1;

struct PacerLimits {
  // Wall time that one frame may spend delivering ticks.
  std::int64_t frame_budget_ns = 8'000'000;
  // A lag of the clock behind the wall clock beyond this is dropped, not caught up.
  std::int64_t max_lag_ns = 250'000'000;
  // Virtual time delivered between two looks at the wall clock.
  VirtualMs slice_ms = 50;
};

// What the pacer runs the form through: the history when there is one (it replays the
// recorded actions that fall due), else the form itself.
struct PacerDriver {
  std::function<void(VirtualMs t)> advance_to;
  std::function<int(VirtualMs limit)> deliver_next;
};

class Pacer {
 public:
  // Monotonic wall time in nanoseconds.
  using WallClock = std::function<std::int64_t()>;

  Pacer(Form1& form, WallClock wall, PacerLimits limits = {});
  void set_driver(PacerDriver driver) { driver_ = std::move(driver); }

  // 0 means as fast as possible: each frame runs as much as fits in its budget, except while
  // the run waits for its stations to be started: then the clock goes as at 1x.
  double speed() const { return speed_; }
  void set_speed(double speed);
  bool paused() const { return paused_; }
  void set_paused(bool paused);

  // Takes the wall clock's reading as the new origin, for the current virtual time.
  void restart_origin();

  // One display frame: delivers the ticks due by now, within the limits. What a handler
  // throws passes through.
  void frame();

  // Delivers ticks one at a time until a station's attempt was delivered, then stays paused.
  enum class StepResult { Attempt, NoStationRunning, OutOfTime };
  struct StepOutcome {
    StepResult result;
    int timer = 0;  // the station timer whose tick was delivered
  };
  StepOutcome step();

  // The virtual time the wall clock asks for now (the current time when paused).
  VirtualMs target() const;

  // True once after a frame or step in which the run finished above 1x and so the speed went
  // back to 1x.
  bool take_speed_reset();

  // The moment the run finished, as the pacer saw it go by (a run opened from a file tells it).
  std::optional<VirtualMs> finished_at() const { return finished_at_; }
  void set_finished_at(std::optional<VirtualMs> at) { finished_at_ = at; }

 private:
  bool fast() const { return speed_ <= 0 || speed_ > 1; }
  // Delivers the ticks due by t; returns true when it stopped early at the end of the run.
  bool deliver_to(VirtualMs t);
  // Paces the frame to the wall clock at `speed`.
  void paced_frame(double speed, std::int64_t deadline);
  void advance(VirtualMs t);
  int deliver_next(VirtualMs limit);
  // After a tick: notes the finish when this tick made it; true then.
  bool finished_by_tick();
  void rest_at_finish();

  Form1& form_;
  WallClock wall_;
  PacerLimits limits_;
  double speed_ = 1;
  bool paused_ = false;
  std::int64_t origin_wall_ = 0;
  VirtualMs origin_virtual_ = 0;
  bool speed_reset_ = false;
  PacerDriver driver_;
  std::optional<VirtualMs> finished_at_;
};

}  // namespace bruvik
