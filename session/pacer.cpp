#include "session/pacer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "model/form.h"
#include "model/timer_table.h"

namespace bruvik {
namespace {

// The earliest pending tick of any station timer, or -1 when no station is running.
VirtualMs next_station_tick(const Form1& form) {
  VirtualMs next = -1;
  for (const BuiltTimer& t : timer_table()) {
    if (t.role != TimerRole::Station) continue;
    const VirtualMs due = form.clock().due(t.number);
    if (due >= 0 && (next < 0 || due < next)) next = due;
  }
  return next;
}

// The run has finished once its performance table is ranked after the last method: that
// enables the order options, and nothing else does.
bool run_finished(const Form1& form) {
  return form.Option1.enabled();
}

// Wall time a step may take before it gives up (ticks are cheap; this guards a freeze only).
constexpr std::int64_t kStepBudgetNs = 250'000'000;
// Slices of "as fast as possible" per frame, whatever the wall clock says.
constexpr int kMaxSlicesPerFrame = 100000;

}  // namespace

Pacer::Pacer(Form1& form, WallClock wall, PacerLimits limits)
    : form_(form), wall_(std::move(wall)), limits_(limits) {
  restart_origin();
}

void Pacer::restart_origin() {
  origin_wall_ = wall_();
  origin_virtual_ = form_.now();
}

void Pacer::set_speed(double speed) {
  speed_ = std::isfinite(speed) && speed > 0 ? speed : 0;
  restart_origin();
}

void Pacer::set_paused(bool paused) {
  if (paused == paused_) return;
  paused_ = paused;
  if (!paused_) restart_origin();
}

VirtualMs Pacer::target() const {
  if (paused_ || speed_ <= 0) return form_.now();
  const double elapsed_ms = static_cast<double>(wall_() - origin_wall_) / 1e6;
  return origin_virtual_ + static_cast<VirtualMs>(std::floor(std::max(0.0, elapsed_ms) * speed_));
}

void Pacer::frame() {
  if (paused_) return;
  const std::int64_t deadline = wall_() + limits_.frame_budget_ns;
  if (speed_ > 0) {
    paced_frame(speed_, deadline);
    return;
  }
  // Before the stations are started only the seconds count: racing the clock then would move
  // virtual time by hours for nothing.
  if (next_station_tick(form_) < 0 && !run_finished(form_)) {
    paced_frame(1, deadline);
    return;
  }
  const VirtualMs slice = std::max<VirtualMs>(1, limits_.slice_ms);
  for (int n = 0; n < kMaxSlicesPerFrame; ++n) {
    if (deliver_to(form_.now() + slice)) return;
    if (wall_() >= deadline) break;
  }
  // Should the run wait for its stations again, 1x counts from here.
  restart_origin();
}

void Pacer::paced_frame(double speed, std::int64_t deadline) {
  const VirtualMs slice = std::max<VirtualMs>(1, limits_.slice_ms);
  const double elapsed_ms = static_cast<double>(wall_() - origin_wall_) / 1e6;
  VirtualMs goal =
      origin_virtual_ + static_cast<VirtualMs>(std::floor(std::max(0.0, elapsed_ms) * speed));
  const VirtualMs max_lag = std::max<VirtualMs>(
      1, static_cast<VirtualMs>(static_cast<double>(limits_.max_lag_ns) / 1e6 * speed));
  bool behind = false;
  if (goal - form_.now() > max_lag) {
    goal = form_.now() + max_lag;
    behind = true;
  }
  while (form_.now() < goal) {
    if (deliver_to(std::min(goal, form_.now() + slice))) return;
    if (form_.now() < goal && wall_() >= deadline) {
      behind = true;
      break;
    }
  }
  // What could not be caught up is dropped: the clock goes on from here, no burst later.
  if (behind) restart_origin();
}

void Pacer::advance(VirtualMs t) {
  if (driver_.advance_to) {
    driver_.advance_to(t);
  } else {
    form_.advance_to(t);
  }
}

int Pacer::deliver_next(VirtualMs limit) {
  return driver_.deliver_next ? driver_.deliver_next(limit) : form_.clock().deliver_next(limit);
}

bool Pacer::finished_by_tick() {
  if (!run_finished(form_)) return false;
  finished_at_ = form_.now();
  return true;
}

bool Pacer::deliver_to(VirtualMs t) {
  if (run_finished(form_)) {
    advance(t);
    return false;
  }
  // Tick by tick, so that the clock stops at the tick that finished the run.
  while (deliver_next(t) != 0) {
    if (!finished_by_tick()) continue;
    if (!fast()) {
      advance(t);
      return false;
    }
    rest_at_finish();
    return true;
  }
  return false;
}

void Pacer::rest_at_finish() {
  // A finished run only counts its seconds: faster, the clock would race on for nothing.
  speed_ = 1;
  restart_origin();
  speed_reset_ = true;
}

bool Pacer::take_speed_reset() {
  return std::exchange(speed_reset_, false);
}

Pacer::StepOutcome Pacer::step() {
  set_paused(true);
  const std::int64_t deadline = wall_() + kStepBudgetNs;
  bool watch = !run_finished(form_);
  for (;;) {
    const VirtualMs next = next_station_tick(form_);
    if (next < 0) return {StepResult::NoStationRunning};
    const int timer = deliver_next(next);
    if (watch && finished_by_tick()) {
      if (fast()) rest_at_finish();
      watch = false;
    }
    if (timer > 0 && built_timer(timer).role == TimerRole::Station) {
      return {StepResult::Attempt, timer};
    }
    if (wall_() >= deadline) return {StepResult::OutOfTime};
  }
}

}  // namespace bruvik
