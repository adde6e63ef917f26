// Virtual-time clock that owns the schedule of every timer of one form.
//
// The delivery rule. Every whole-run figure depends on it, so it is stated here once:
//
//  1. Virtual time is whole milliseconds in a 64-bit integer. Nothing here reads the wall clock.
//  2. A timer is *armed* when it is started (Enabled goes from False to True), when its
//     Interval is assigned while it is enabled, and when one of its ticks is delivered. Arming
//     at time t with Interval I > 0 makes the next tick due at t + I and gives the arming the
//     next number of one rising sequence. With Interval 0 an enabled timer is not armed and
//     does not tick.
//  3. Ticks are delivered one at a time, in order of (due time, sequence number): ticks due in
//     the same millisecond are delivered first-armed first. A handler runs to its end before
//     the next tick is delivered; a tick that falls due meanwhile waits for it.
//  4. A periodic timer is armed anew at the moment its tick is delivered, before its handler
//     runs. An Interval or Enabled change inside the handler arms it again from that moment,
//     so a one-shot timer is one that stops itself in its handler.
//  5. Setting Enabled to True on a timer that is already enabled leaves its countdown running:
//     a second collision within 10 ms does not delay the end of the collision display, and a
//     second frame of a station within 150 ms ends when the first would have.
//  6. Setting Enabled to False stops further ticks and keeps Interval; a later start uses it.
//     An Interval assigned while the timer is stopped is kept for its next start.
//  7. A negative Interval is an invalid-value run-time error and changes nothing.
//
// Moments. `ticks()` counts every tick the rule delivers, whether its handler ran or a shortcut
// below stood in for it, so a moment (time, ticks) means the same with every shortcut on or off;
// saved files and the run's record are stamped with it. `ticks_v1()` leaves out the ticks that
// the shortcuts skip (the first file version counted so); it is kept only to read such files.
//
// The shortcuts, all exact (every other tick comes in the order rule 3 gives it, before or
// after each skipped or idle one), and all off in ClockMode::Plain:
//  - A timer may have an idle probe (set_idle_probe) that says when its handler would do
//    nothing new. At Interval 1 with no idle tick, such ticks are *skipped*: counted, the timer
//    re-armed where rule 4 puts it, no handler run. With an idle tick (a poll that finds the bus
//    as it was), the idle tick runs in the handler's place. A probe given for any interval (a
//    periodic check) never skips: while it holds, the tick is taken the idle way.
//  - Idle *rounds*: when every Interval-1 probed timer is due in one millisecond and all are
//    idle, whole milliseconds of them run in one go, each round in the same order; the form may
//    take a lone poller's rounds in one call (set_idle_rounds) while nothing listens.
//
// Where pending ticks are kept, with each store's invariant and cost:
//  - Plain mode: PlainTicks, one list sorted by (due, sequence). Insert and remove O(timers),
//    front O(1).
//  - Fast mode, the wheel: one bucket per millisecond for ticks due in [now, now + 16384); a
//    bucket is a ring in sequence order from its head, an occupied bit per bucket. Insert O(1)
//    (a held-back re-arm walks back from the tail), front O(1) while ticks are only added, else
//    a scan of the bit words.
//  - Fast mode, far: ticks due 16384 ms ahead or later, and those of any-interval probed timers
//    (re-armed in place when idle); a short unsorted list with its earliest kept. O(far).
//  - Fast mode, the lane: the Interval-1 probed timers, each due now or a millisecond later; a
//    ring queue in (due, sequence) order, since every arming goes last. O(1); a tick moved in
//    from elsewhere is sorted in. Checked where ticks go in (debug builds assert it).
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/plain_ticks.h"

namespace bruvik {

using VirtualMs = std::int64_t;

// Fast: every shortcut on. Plain: every tick delivered to its handler from the plain store.
enum class ClockMode : std::uint8_t { Fast, Plain };
// The mode of clocks made from now on (the whole process uses one).
void set_default_clock_mode(ClockMode mode);
ClockMode default_clock_mode();
// The mode that BRUVIK_CLOCK's value asks for (null or empty: Fast); none, with the sentence that
// refuses it in `error`, for any other value than "plain".
std::optional<ClockMode> clock_mode_from(const char* value, std::string* error);

// The default mode for as long as it lives (tests and benchmarks put the two side by side).
class ClockModeScope {
 public:
  explicit ClockModeScope(ClockMode mode) : saved_(default_clock_mode()) {
    set_default_clock_mode(mode);
  }
  ~ClockModeScope() { set_default_clock_mode(saved_); }
  ClockModeScope(const ClockModeScope&) = delete;
  ClockModeScope& operator=(const ClockModeScope&) = delete;

 private:
  ClockMode saved_;
};

inline constexpr std::uint64_t kNoTickLimit = std::numeric_limits<std::uint64_t>::max();

class Clock {
 public:
  using Deliver = void (*)(void* context, int timer);
  using IdleProbe = bool (*)(const void* context);
  // The idle ticks of `timer` in `rounds` milliseconds from `from` on, the clock already set to
  // the last of them, in one call. Returns false, having done nothing, when it cannot (then the
  // clock runs them one at a time).
  using IdleRounds = bool (*)(void* context, int timer, VirtualMs from, std::uint64_t rounds);

  // Timers are numbered 1..count; `deliver` is called with the number of the ticking timer. The
  // mode is the default mode at construction.
  Clock(int count, Deliver deliver, void* context);

  ClockMode mode() const { return mode_; }
  VirtualMs now() const { return now_; }

  bool enabled(int timer) const { return slots_[timer].enabled; }
  std::int32_t interval(int timer) const { return slots_[timer].interval; }
  void set_enabled(int timer, bool on);
  void set_interval(int timer, std::int32_t interval);

  // `probe` null removes the timer's probe. `idle_tick` is called with the delivery's context;
  // it must not touch the clock nor change what any probe reads. Without `any_interval` the
  // probe holds at Interval 1 only.
  void set_idle_probe(int timer, IdleProbe probe, const void* context, Deliver idle_tick = nullptr,
                      bool any_interval = false);
  void set_idle_rounds(IdleRounds rounds) { idle_rounds_ = rounds; }

  // The whole schedule of `other` (a clock of as many timers, of the same mode, with probes on
  // the same timers): time, pending ticks with their sequence numbers, counts. This clock keeps
  // its own delivery and probe functions. Not while a tick is being delivered.
  void copy_schedule_from(const Clock& other);

  // Delivers every tick due at or before t, then sets the time to t (never backwards).
  void advance_to(VirtualMs t);
  // Delivers ticks due at or before t until `*stop` is true after a tick; returns whether it
  // stopped so (the time then is that tick's), else the time is t.
  bool advance_until(VirtualMs t, const bool* stop);
  // Delivers the ticks due at or before t until ticks() is `count`: the time is then that of the
  // last of them. When fewer are due, all of them, and the time is t.
  void advance_ticks(VirtualMs t, std::uint64_t count);
  // Delivers ticks due at or before `limit` up to and including the next one that is not
  // skipped (whose handler or idle tick runs), and returns its timer; but not past `max_ticks`
  // ticks. Returns 0 when it
  // stopped short: at `max_ticks` (the time is the last tick's) or when nothing more is due (the
  // time is then `limit`).
  int deliver_next(VirtualMs limit, std::uint64_t max_ticks = kNoTickLimit);

  // Due time of the pending tick of `timer`, or -1 when it is not armed.
  VirtualMs due(int timer) const;
  // The earliest pending tick of any timer, or -1.
  VirtualMs next_due() const;

  // Ticks delivered by the rule so far: a moment's count (see above).
  std::uint64_t ticks() const { return delivered_ + skipped_; }
  // The same less the skipped ones (in plain mode: those the shortcuts would have skipped).
  std::uint64_t ticks_v1() const { return delivered_; }
  std::uint64_t skipped() const { return skipped_; }

 private:
  enum class Place : std::uint8_t { None, Wheel, Far, Lane, Plain };
  struct Slot {
    std::int32_t interval = 0;
    bool enabled = false;
    bool armed = false;
    Place place = Place::None;
    bool idle = false;  // the probe's answer in round `asked`
    std::uint32_t asked = 0;
    bool lane_probe = false;  // probed at Interval 1 only
    bool beside = false;      // probed at any interval: kept beside the wheel
    bool lane = false;        // kept in the lane at Interval 1 (fast mode)
    bool kept_far = false;    // kept beside the wheel, or in plain mode's store
    VirtualMs due = 0;
    std::uint64_t seq = 0;
    int prev = 0, next = 0;  // neighbours in the wheel's bucket, a ring
  };
  struct Probe {
    IdleProbe probe = nullptr;
    const void* context = nullptr;
    Deliver tick = nullptr;
  };

  static constexpr std::size_t kWheel = std::size_t{1} << 14;
  static constexpr std::size_t kMask = kWheel - 1;
  static constexpr std::size_t kWords = kWheel / 64;

  static bool before(const Slot& a, const Slot& b) {
    return a.due < b.due || (a.due == b.due && a.seq < b.seq);
  }
  bool in_lane(int timer) const { return slots_[timer].interval == 1 && slots_[timer].lane; }
  // Whether the shortcuts would skip this tick: counted apart in either mode.
  bool skippable(int timer) const {
    return slots_[timer].interval == 1 && slots_[timer].lane_probe &&
           probes_[timer].tick == nullptr;
  }

  void arm(int timer);
  void disarm(int timer);
  void place(int timer);
  void link(int timer);
  void note_linked(int timer);
  void unlink(int timer);
  void plain_insert(int timer);
  void lane_insert(int timer);
  void lane_remove(int timer);
  int lane_front() const { return lane_size_ != 0 ? lane_[lane_head_] : 0; }
  // The timer of the earliest pending tick outside the lane, or 0.
  int front() const;
  int wheel_front() const;
  // Handles the earliest tick if it is due at or before `limit` and the tick limit allows:
  // returns the delivered timer, 0 when only skipped or (unless `one`) idle ticks were handled,
  // -1 when nothing is due or allowed.
  // Bounded: not past `tick_limit_`.
  template <bool kBounded>
  int step(VirtualMs limit, bool one, const bool* stop);
  int plain_step(VirtualMs limit);
  // Idle ticks of the lane that come before the wheel's `top` and are due by `limit`.
  template <bool kBounded>
  int run_lane(VirtualMs limit, int top, bool one, const bool* stop);
  // Skips the ticks of a lone lane timer that has no idle tick up to the wheel's `top`.
  template <bool kBounded>
  void skip_lone(VirtualMs limit, int top);
  // Whole milliseconds of the lane at once, when all of it is due now and idle: returns the
  // last timer delivered (0 when none), -1 when it cannot.
  int run_lane_ms(VirtualMs limit, const Slot* wheel, bool one, const bool* stop);
  void deliver(int timer);
  void finish_delivery();
  bool idle(int timer);
  std::uint64_t room() const { return tick_limit_ - ticks(); }

  ClockMode mode_;
  std::vector<Slot> slots_;
  std::vector<Probe> probes_;
  PlainTicks plain_;  // plain mode's store
  // Per bucket: the first timer, read only where `occupied_` has the bucket's bit, so it is
  // never cleared (a run's clock would otherwise start by zeroing 32 KB).
  std::unique_ptr<std::int16_t[]> head_;
  std::vector<std::uint64_t> occupied_;  // one bit per bucket
  std::size_t in_wheel_ = 0;
  // The wheel's earliest tick, kept while ticks are only added (-1: to be found again). Idle
  // ticks beside the wheel and skips of the lane leave it as it is.
  mutable int wheel_first_ = -1;
  int find_wheel_front() const;
  std::vector<int> far_;
  int far_front_ = 0;  // the earliest of them, or 0
  void find_far_front();
  VirtualMs now_ = 0;
  std::uint64_t next_seq_ = 1;
  Deliver deliver_;
  void* context_;
  IdleRounds idle_rounds_ = nullptr;

  std::vector<int> lane_;
  std::size_t lane_head_ = 0;
  std::size_t lane_size_ = 0;
  std::uint32_t round_ = 0;  // probes asked in an earlier round are asked again

  // While a timer's handler runs, its periodic re-arm (rule 4) is held back: the handler
  // usually re-arms it anyway, and the tick keeps the sequence number taken at delivery.
  int delivering_ = 0;
  std::uint64_t delivering_seq_ = 0;

  std::uint64_t delivered_ = 0;
  std::uint64_t skipped_ = 0;
  std::uint64_t tick_limit_ = kNoTickLimit;  // while a call may not go past a count
};

}  // namespace bruvik
