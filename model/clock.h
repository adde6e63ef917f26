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
// A timer may be given an idle probe (set_idle_probe). While it has Interval 1 and its probe
// says that its handler would do nothing, the clock skips its ticks instead of delivering them,
// and moves its next tick to where rule 4 would have put it. Given an idle tick as well, the
// handler would do no more than that tick does (a poll that finds nothing new): the clock then
// calls the idle tick in the handler's place, and the tick counts as delivered. A probe given
// for any interval says so whatever the Interval (a periodic check that finds nothing to do):
// such ticks are never skipped, only taken the idle way, the idle tick called if there is one.
// All of it is exact: every other tick comes in the order rule 3 gives it, before or after each
// skipped or idle one.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace bruvik {

using VirtualMs = std::int64_t;

class Clock {
 public:
  using Deliver = void (*)(void* context, int timer);
  using IdleProbe = bool (*)(const void* context);
  // The idle ticks of `timers[0..count)` in that order, once in each of `rounds` milliseconds
  // from `*now` on, setting `*now` (the clock's time) to each millisecond before its round.
  // Returns how many ticks ran: fewer when `*stop` (if not null) became true after one of them.
  using DeliverIdleRounds = std::uint64_t (*)(void* context, const int* timers, std::size_t count,
                                              std::uint64_t rounds, VirtualMs* now,
                                              const bool* stop);

  // Timers are numbered 1..count; `deliver` is called with the number of the ticking timer.
  Clock(int count, Deliver deliver, void* context);

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
  // Optional: the idle ticks of many milliseconds in one call, instead of one call each. It must
  // do exactly what those idle ticks would.
  void set_idle_rounds(DeliverIdleRounds rounds) { idle_rounds_ = rounds; }

  // The whole schedule of `other` (a clock of as many timers with probes on the same timers):
  // time, pending ticks with their sequence numbers, counts. This clock keeps its own delivery
  // and probe functions. Not while a tick is being delivered.
  void copy_schedule_from(const Clock& other);

  // Delivers every tick due at or before t, then sets the time to t (never backwards).
  void advance_to(VirtualMs t);
  // Delivers ticks due at or before t until `*stop` is true after a tick; returns whether it
  // stopped so (the time then is that tick's), else the time is t.
  bool advance_until(VirtualMs t, const bool* stop);
  // Delivers the next tick if it is due at or before `limit`; returns its timer, or 0 when none
  // was delivered (the time is then `limit`). Skipped idle ticks are not counted as delivered;
  // idle ticks are, one per call.
  int deliver_next(VirtualMs limit);

  // Due time of the pending tick of `timer`, or -1 when it is not armed.
  VirtualMs due(int timer) const;
  // The earliest pending tick of any timer, or -1.
  VirtualMs next_due() const;

  // Ticks delivered (idle ticks among them) and ticks skipped by idle probes.
  std::uint64_t delivered() const { return delivered_; }
  std::uint64_t skipped() const { return skipped_; }

 private:
  // Where a timer's pending tick is kept.
  enum class Place : std::uint8_t { None, Wheel, Far, Lane };
  struct Slot {
    std::int32_t interval = 0;
    bool enabled = false;
    bool armed = false;
    Place place = Place::None;
    bool idle = false;  // the probe's answer in round `asked`
    std::uint32_t asked = 0;
    bool lane_probe = false;  // probed at Interval 1 only
    bool beside = false;      // probed at any interval: kept beside the wheel
    VirtualMs due = 0;
    std::uint64_t seq = 0;
    int prev = 0, next = 0;  // neighbours in the wheel's bucket, a ring
  };
  struct Probe {
    IdleProbe probe = nullptr;
    const void* context = nullptr;
    Deliver tick = nullptr;
  };

  // Pending ticks are kept in a timing wheel of one bucket per millisecond. Every tick in it is
  // due within kWheel ms of now, so a bucket holds the ticks of one due time, in a ring kept in
  // sequence order from its head. A tick due further ahead waits in a short list beside it.
  static constexpr std::size_t kWheel = std::size_t{1} << 14;
  static constexpr std::size_t kMask = kWheel - 1;
  static constexpr std::size_t kWords = kWheel / 64;

  static bool before(const Slot& a, const Slot& b) {
    return a.due < b.due || (a.due == b.due && a.seq < b.seq);
  }
  bool in_lane(int timer) const { return slots_[timer].interval == 1 && slots_[timer].lane_probe; }

  void arm(int timer);
  void disarm(int timer);
  void place(int timer);
  void link(int timer);
  void note_linked(int timer);
  void unlink(int timer);
  void lane_insert(int timer);
  void lane_remove(int timer);
  int lane_front() const { return lane_size_ != 0 ? lane_[lane_head_] : 0; }
  // The timer of the earliest pending tick in the wheel or beyond it, or 0.
  int front() const;
  int wheel_front() const;
  // Handles the earliest tick if it is due at or before `limit`: returns the delivered timer,
  // 0 when only skipped or (unless `one`) idle ticks were handled, -1 when nothing is due.
  int step(VirtualMs limit, bool one, const bool* stop);
  // Idle ticks of the lane that come before the wheel's `top` and are due by `limit`.
  int run_lane(VirtualMs limit, int top, bool one, const bool* stop);
  // Skips the ticks of a lone lane timer that has no idle tick up to the wheel's `top`.
  void skip_lone(VirtualMs limit, int top);
  // Whole milliseconds of the lane at once, when all of it is due now and idle: returns the
  // last timer delivered (0 when none), -1 when it cannot.
  int run_lane_ms(VirtualMs limit, const Slot* wheel, bool one, const bool* stop);
  void deliver(int timer);
  std::uint64_t deliver_rounds(const int* timers, std::size_t count, std::uint64_t rounds,
                               const bool* stop);
  void finish_delivery();
  bool idle(int timer);

  std::vector<Slot> slots_;
  std::vector<Probe> probes_;
  // Per bucket: the first timer, read only where `occupied_` has the bucket's bit, so it is
  // never cleared (a run's clock would otherwise start by zeroing 32 KB).
  std::unique_ptr<std::int16_t[]> head_;
  std::vector<std::uint64_t> occupied_;  // one bit per bucket
  std::size_t in_wheel_ = 0;
  // The wheel's earliest tick, kept while ticks are only added (-1: to be found again). Idle
  // ticks beside the wheel and skips of the lane leave it as it is.
  mutable int wheel_first_ = -1;
  int find_wheel_front() const;
  // Ticks due kWheel ms ahead or later (rare), and those of timers probed at any interval, which
  // an idle tick re-arms in place.
  std::vector<int> far_;
  int far_front_ = 0;  // the earliest of them, or 0
  void find_far_front();
  VirtualMs now_ = 0;
  std::uint64_t next_seq_ = 1;
  Deliver deliver_;
  void* context_;
  DeliverIdleRounds idle_rounds_ = nullptr;

  // Probed timers with Interval 1 are kept apart from the wheel, in (due, sequence) order. Each
  // is due now or a millisecond later, and every arming goes last, so the lane is a queue: a
  // ring of a power of two places, from `lane_head_`.
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
};

}  // namespace bruvik
