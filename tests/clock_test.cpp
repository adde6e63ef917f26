// The timer rules of the clock: periodic ticks, one-shot by self-stop, first tick one interval
// after a start, re-arming on an Interval change, stop keeps the interval, ties first-armed
// first, and the exactness of skipping idle ticks.
#include "model/clock.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "model/runtime_error.h"

namespace bruvik {
namespace {

struct Harness {
  Clock clock{8, &Harness::on_tick, this};
  std::vector<std::pair<VirtualMs, int>> ticks;
  std::map<int, std::function<void()>> actions;

  static void on_tick(void* self, int timer) {
    auto& h = *static_cast<Harness*>(self);
    h.ticks.emplace_back(h.clock.now(), timer);
    if (auto it = h.actions.find(timer); it != h.actions.end()) it->second();
  }
  void start(int timer, std::int32_t interval) {
    clock.set_interval(timer, interval);
    clock.set_enabled(timer, true);
  }
  std::vector<VirtualMs> times_of(int timer) const {
    std::vector<VirtualMs> out;
    for (auto [t, id] : ticks) {
      if (id == timer) out.push_back(t);
    }
    return out;
  }
};

using Times = std::vector<VirtualMs>;

TEST(TimerRules, PeriodicTickRepeatsEveryInterval) {
  Harness h;
  h.start(1, 250);
  h.clock.advance_to(1000);
  EXPECT_EQ(h.times_of(1), (Times{250, 500, 750, 1000}));
  EXPECT_EQ(h.clock.now(), 1000);
}

TEST(TimerRules, OneShotBySelfStop) {
  Harness h;
  h.actions[1] = [&] { h.clock.set_enabled(1, false); };
  h.clock.advance_to(100);
  h.start(1, 150);  // started at 100
  h.clock.advance_to(1000);
  EXPECT_EQ(h.times_of(1), (Times{250}));
  EXPECT_FALSE(h.clock.enabled(1));
  EXPECT_EQ(h.clock.interval(1), 150);
}

TEST(TimerRules, FirstTickComesOneIntervalAfterTheStart) {
  Harness h;
  h.clock.set_interval(2, 40);
  h.clock.advance_to(15);
  h.clock.set_enabled(2, true);
  h.clock.advance_to(100);
  EXPECT_EQ(h.times_of(2), (Times{55, 95}));
}

TEST(TimerRules, IntervalChangeRearmsFromTheAssignment) {
  struct Case {
    std::int32_t first, second;
    VirtualMs change_at;
    Times expected;
  };
  const Case cases[] = {
      {1000, 250, 300, {550, 800}},  // shorter: from the moment of assignment
      {100, 400, 250, {100, 200, 650}},
      {100, 100, 150, {100, 250, 350, 450, 550, 650, 750, 850}},  // the same value re-arms
  };
  for (const auto& c : cases) {
    Harness h;
    h.start(3, c.first);
    h.clock.advance_to(c.change_at);
    h.clock.set_interval(3, c.second);
    h.clock.advance_to(900);
    EXPECT_EQ(h.times_of(3), c.expected) << c.first << "->" << c.second;
  }
}

TEST(TimerRules, IntervalSetInsideItsOwnTickIsTheTimeToTheNextTick) {
  Harness h;
  std::vector<std::int32_t> next{250, 125, 1};
  std::size_t k = 0;
  h.actions[4] = [&] {
    if (k < next.size()) h.clock.set_interval(4, next[k++]);
  };
  h.start(4, 1000);
  h.clock.advance_to(1378);
  EXPECT_EQ(h.times_of(4), (Times{1000, 1250, 1375, 1376, 1377, 1378}));
}

TEST(TimerRules, StopKeepsTheIntervalAndALaterStartUsesIt) {
  Harness h;
  h.start(5, 300);
  h.clock.advance_to(100);
  h.clock.set_enabled(5, false);
  h.clock.set_interval(5, 70);  // set while stopped: kept for the next start
  h.clock.advance_to(500);
  EXPECT_TRUE(h.times_of(5).empty());
  h.clock.set_enabled(5, true);
  h.clock.advance_to(650);
  EXPECT_EQ(h.times_of(5), (Times{570, 640}));
}

TEST(TimerRules, IntervalSetJustBeforeAStopStays) {
  Harness h;
  h.start(5, 300);
  h.clock.set_interval(5, 625);
  h.clock.set_enabled(5, false);
  EXPECT_EQ(h.clock.interval(5), 625);
  h.clock.advance_to(2000);
  EXPECT_TRUE(h.ticks.empty());
}

TEST(TimerRules, ReenablingARunningTimerLeavesItsCountdownRunning) {
  Harness h;
  h.actions[1] = [&] { h.clock.set_enabled(1, false); };
  h.start(1, 10);
  h.clock.advance_to(6);
  h.clock.set_enabled(1, true);  // a second collision within 10 ms
  h.clock.advance_to(100);
  EXPECT_EQ(h.times_of(1), (Times{10}));
}

TEST(TimerRules, IntervalZeroStopsTickingAndNegativeIsAnError) {
  Harness h;
  h.start(6, 100);
  h.clock.advance_to(150);
  h.clock.set_interval(6, 0);
  h.clock.advance_to(1000);
  EXPECT_EQ(h.times_of(6), (Times{100}));
  EXPECT_TRUE(h.clock.enabled(6));
  h.clock.set_interval(6, 50);
  h.clock.advance_to(1100);
  EXPECT_EQ(h.times_of(6), (Times{100, 1050, 1100}));
  try {
    h.clock.set_interval(6, -125);
    ADD_FAILURE() << "a negative interval was taken";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.code(), ErrorCode::InvalidPropertyValue);
  }
  EXPECT_EQ(h.clock.interval(6), 50);
}

TEST(TimerRules, AnEarlierArmingWinsATieWhateverTheIntervals) {
  Harness h;
  h.start(2, 3);  // armed at 0, due at 3
  h.start(1, 1);  // armed at 0, 1 and 2; its tick at 3 was armed at 2
  h.clock.advance_to(3);
  const std::vector<std::pair<VirtualMs, int>> expected{{1, 1}, {2, 1}, {3, 2}, {3, 1}};
  EXPECT_EQ(h.ticks, expected);
}

TEST(TimerRules, TicksDueTogetherRunFirstArmedFirst) {
  Harness h;
  h.start(3, 100);  // armed first
  h.start(1, 100);
  h.start(2, 100);
  h.clock.advance_to(200);
  const std::vector<std::pair<VirtualMs, int>> expected{{100, 3}, {100, 1}, {100, 2},
                                                        {200, 3}, {200, 1}, {200, 2}};
  EXPECT_EQ(h.ticks, expected);
}

TEST(TimerRules, ATimerArmedInsideAHandlerRunsAfterThoseArmedBefore) {
  Harness h;
  // Timer 1 polls every millisecond. Timer 2, started at 2 ms after timer 1's tick, is armed
  // later than timer 1's next tick, so at 3 ms it comes second; the timer it arms in its
  // handler at 3 ms comes after timer 1 again at 4 ms, because timer 1 was re-armed at its
  // delivery at 3 ms, before timer 2 ran.
  h.start(1, 1);
  h.clock.advance_to(2);
  h.start(2, 1);
  h.actions[2] = [&] {
    h.clock.set_enabled(2, false);
    h.start(3, 1);
  };
  h.actions[3] = [&] { h.clock.set_enabled(3, false); };
  h.clock.advance_to(4);
  const std::vector<std::pair<VirtualMs, int>> expected{{1, 1}, {2, 1}, {3, 1},
                                                        {3, 2}, {4, 1}, {4, 3}};
  EXPECT_EQ(h.ticks, expected);
}

TEST(TimerRules, ATickThatFallsDueDuringAHandlerWaitsForIt) {
  Harness h;
  h.start(1, 10);
  h.start(2, 10);
  int depth = 0;
  int max_depth = 0;
  h.actions[1] = [&] {
    ++depth;
    max_depth = std::max(max_depth, depth);
    h.clock.set_interval(2, 0);
    h.clock.set_interval(2, 10);
    --depth;
  };
  h.actions[2] = [&] {
    ++depth;
    max_depth = std::max(max_depth, depth);
    --depth;
  };
  h.clock.advance_to(50);
  EXPECT_EQ(max_depth, 1);
}

TEST(TimerRules, ALoneTickIsFoundWhereverItLiesInTheWheel) {
  // The wheel is searched word by word from now's bucket, round to the same word again: a tick
  // almost a whole wheel ahead lies in now's own word, below now's bit.
  const VirtualMs starts[] = {0, 1, 63, 64, 20000};
  const std::int32_t intervals[] = {1, 64, 16320, 16321, 16383, 16384, 16385};
  for (const VirtualMs start : starts) {
    for (const std::int32_t interval : intervals) {
      Harness h;
      h.clock.advance_to(start);
      h.start(7, interval);
      EXPECT_EQ(h.clock.next_due(), start + interval) << start << " + " << interval;
      h.clock.advance_to(start + interval);
      EXPECT_EQ(h.times_of(7), (Times{start + interval})) << start << " + " << interval;
    }
  }
}

TEST(TimerRules, DeliverNextDeliversOneTickAtATime) {
  Harness h;
  h.start(1, 30);
  h.start(2, 20);
  EXPECT_EQ(h.clock.deliver_next(100), 2);
  EXPECT_EQ(h.clock.now(), 20);
  EXPECT_EQ(h.clock.deliver_next(100), 1);
  EXPECT_EQ(h.clock.now(), 30);
  EXPECT_EQ(h.clock.deliver_next(35), 0);
  EXPECT_EQ(h.clock.now(), 35);
  EXPECT_EQ(h.clock.next_due(), 40);
}

// The idle probe must change nothing but the cost: a run with a probe that skips the ticks of a
// 1 ms timer while nothing it reads has changed delivers the same handler runs in the same order
// as a run that delivers every tick.
struct ProbeRun {
  Clock clock{8, &ProbeRun::on_tick, this};
  bool use_probe;
  std::uint64_t revision = 0;  // what the 1 ms timer reads
  std::uint64_t seen = ~0ull;
  std::vector<std::pair<VirtualMs, int>> log;  // the 1 ms timer only when it acts
  int polls = 0;

  explicit ProbeRun(bool probe) : use_probe(probe) {
    if (use_probe) clock.set_idle_probe(1, &ProbeRun::idle, this);
  }
  static bool idle(const void* self) {
    auto& r = *static_cast<const ProbeRun*>(self);
    return r.seen == r.revision;
  }
  static void on_tick(void* self, int timer) {
    auto& r = *static_cast<ProbeRun*>(self);
    if (timer == 1) {
      if (r.seen == r.revision) return;  // nothing new: the tick does nothing
      r.seen = r.revision;
      r.log.emplace_back(r.clock.now(), 1);
      if (r.revision % 7 == 3) ++r.revision;  // sometimes acting changes what it reads
      return;
    }
    r.log.emplace_back(r.clock.now(), timer);
    ++r.revision;
    // Station-like timers that poll at 1 ms for a while, then back off.
    if (timer == 2 || timer == 3) {
      ++r.polls;
      r.clock.set_interval(timer, (r.polls % 5 == 0) ? 37 + (r.polls % 11) : 1);
    }
    if (timer == 4) r.clock.set_interval(4, 13 + static_cast<std::int32_t>(r.revision % 17));
  }
};

TEST(IdleProbe, SkippingIdleTicksChangesNothingButTheCost) {
  ProbeRun plain(false), probed(true);
  for (ProbeRun* r : {&plain, &probed}) {
    r->clock.set_interval(1, 1);
    r->clock.set_enabled(1, true);
    r->clock.set_interval(2, 5);
    r->clock.set_enabled(2, true);
    r->clock.set_interval(3, 9);
    r->clock.set_enabled(3, true);
    r->clock.set_interval(4, 20);
    r->clock.set_enabled(4, true);
    for (VirtualMs t = 7; t <= 5000; t += 97) {
      r->clock.advance_to(t);
      ++r->revision;  // a user event between slices
    }
  }
  EXPECT_EQ(plain.log, probed.log);
  EXPECT_GT(probed.clock.skipped(), 1000u);
  // A moment counts the skipped ticks too, so it is the same either way.
  EXPECT_EQ(probed.clock.ticks(), plain.clock.ticks());
  EXPECT_LT(probed.clock.ticks_v1(), plain.clock.ticks_v1());
}

// The delivery rule written the plainest way: every pending tick is a (due, sequence) pair, the
// smallest is delivered next, and a periodic timer is armed anew before its handler runs.
class ReferenceClock {
 public:
  explicit ReferenceClock(int count) : slots_(static_cast<std::size_t>(count) + 1) {}
  VirtualMs now() const { return now_; }
  std::uint64_t ticks() const { return ticks_; }
  void set_enabled(int t, bool on) {
    if (on == slots_[t].enabled) return;
    slots_[t].enabled = on;
    if (on) {
      arm(t);
    } else {
      slots_[t].armed = false;
    }
  }
  void set_interval(int t, std::int32_t i) {
    slots_[t].interval = i;
    if (slots_[t].enabled) arm(t);
  }
  template <class Handler>
  void advance_to(VirtualMs limit, Handler&& handler) {
    for (;;) {
      int best = 0;
      for (int t = 1; t < int(slots_.size()); ++t) {
        const Slot& s = slots_[t];
        if (!s.armed) continue;
        const Slot& b = slots_[best];
        if (best == 0 || s.due < b.due || (s.due == b.due && s.seq < b.seq)) best = t;
      }
      if (best == 0 || slots_[best].due > limit) break;
      now_ = slots_[best].due;
      arm(best);
      ++ticks_;
      handler(best);
    }
    if (limit > now_) now_ = limit;
  }

 private:
  struct Slot {
    std::int32_t interval = 0;
    bool enabled = false, armed = false;
    VirtualMs due = 0;
    std::uint64_t seq = 0;
  };
  void arm(int t) {
    Slot& s = slots_[t];
    s.armed = s.interval > 0;
    s.due = now_ + s.interval;
    s.seq = next_seq_++;
  }
  std::vector<Slot> slots_;
  VirtualMs now_ = 0;
  std::uint64_t next_seq_ = 1;
  std::uint64_t ticks_ = 0;
};

// Random timer traffic, inside handlers and between slices, given to both clocks. Timer 1 ticks
// every millisecond and does nothing while `quiet`; the real clock skips those ticks by probe.
// Timers 2 and 3 are stations that poll every millisecond while the bus is busy, mixing the
// time into a generator (whose order the log shows); the real clock takes those polls as idle
// ticks. Timer 4 turns the bus busy and idle, often in the millisecond of a poll. Timer 5 is a
// periodic check that does nothing while `calm`, at whatever interval; the real clock takes
// those ticks by a probe for any interval, counted but not called. Any tick may ask the driver
// to stop.
struct Traffic {
  static constexpr int kTimers = 12;
  std::mt19937_64 rng;
  std::vector<std::int32_t> intervals;
  bool quiet = false;
  bool busy = false;
  bool calm = false;
  std::uint64_t calm_ticks = 0;
  bool stop = false;
  std::uint64_t mixed = 0;
  std::vector<std::tuple<VirtualMs, int, std::uint64_t>> log;

  Traffic(std::uint64_t seed, std::vector<std::int32_t> choices)
      : rng(seed), intervals(std::move(choices)) {}
  int pick(int n) { return static_cast<int>(rng() % static_cast<std::uint64_t>(n)); }
  std::int32_t any_interval() {
    return intervals[static_cast<std::size_t>(pick(static_cast<int>(intervals.size())))];
  }
  template <class C>
  void poke(C& clock) {
    const int t = 2 + pick(kTimers - 1);
    switch (pick(6)) {
      case 0:
        clock.set_enabled(t, pick(3) != 0);
        break;
      case 5:
        calm = !calm;
        break;
      case 3:
        quiet = !quiet;
        break;
      case 4:
        busy = !busy;
        break;
      default:
        clock.set_interval(t, any_interval());
    }
  }
  // What a poll does besides re-arming: the idle tick.
  void poll(VirtualMs now, int timer) {
    mixed = (mixed ^ static_cast<std::uint64_t>(now)) * 0x9E3779B97F4A7C15ull + 1;
    log.emplace_back(now, timer, mixed);
    if (mixed % 13 == 0) stop = true;
  }
  template <class C>
  void tick(C& clock, int timer) {
    if (timer == 1 && quiet) return;
    if (timer == 5 && calm) {
      ++calm_ticks;
      return;
    }
    if ((timer == 2 || timer == 3) && busy) {
      clock.set_interval(timer, 1);
      poll(clock.now(), timer);
      return;
    }
    if (timer == 4) busy = !busy;
    log.emplace_back(clock.now(), timer, mixed);
    if (pick(9) == 0) stop = true;
    for (int n = pick(3); n > 0; --n) poke(clock);
  }
};

struct RealRun {
  Traffic traffic;
  Clock clock{Traffic::kTimers, &RealRun::on_tick, this};
  RealRun(std::uint64_t seed, std::vector<std::int32_t> choices)
      : traffic(seed, std::move(choices)) {
    clock.set_idle_probe(
        1, [](const void* self) { return static_cast<const RealRun*>(self)->traffic.quiet; }, this);
    for (const int poller : {2, 3}) {
      clock.set_idle_probe(
          poller, [](const void* self) { return static_cast<const RealRun*>(self)->traffic.busy; },
          this,
          [](void* self, int timer) {
            auto& r = *static_cast<RealRun*>(self);
            r.traffic.poll(r.clock.now(), timer);
          });
    }
    clock.set_idle_probe(
        5, [](const void* self) { return static_cast<const RealRun*>(self)->traffic.calm; }, this,
        nullptr, true);
  }
  static void on_tick(void* self, int timer) {
    auto& r = *static_cast<RealRun*>(self);
    r.traffic.tick(r.clock, timer);
  }
};

enum class Drive { Advance, OneByOne, UntilStop, CopyEachSlice, ByTickCounts };

TEST(TimerRules, AgreeWithThePlainRuleUnderRandomTraffic) {
  const struct {
    const char* name;
    std::vector<std::int32_t> intervals;
    VirtualMs slice, until;
    Drive drive;
  } cases[] = {
      {"short intervals, many ties", {0, 1, 1, 2, 3, 5}, 7, 3'000, Drive::Advance},
      {"back-offs and polling",
       {1, 125, 250, 875, 1000, 6250, 11250},
       333,
       200'000,
       Drive::Advance},
      {"round the wheel and beyond it",
       {1, 16383, 16384, 16385, 20000, 40000},
       4'099,
       400'000,
       Drive::Advance},
      {"polls, the bus turning idle in their millisecond",
       {1, 1, 2, 3, 50, 125},
       61,
       30'000,
       Drive::Advance},
      {"polls, tick by tick", {1, 1, 2, 3, 50, 125}, 61, 30'000, Drive::OneByOne},
      {"polls, stopping after any tick", {1, 1, 2, 3, 50, 125}, 61, 30'000, Drive::UntilStop},
      {"quiet stretches, stopping at tick counts",
       {1, 1, 2, 3, 50, 125},
       613,
       60'000,
       Drive::ByTickCounts},
      {"polls, the schedule copied between clocks",
       {1, 2, 3, 50, 125, 1000},
       97,
       30'000,
       Drive::CopyEachSlice},
  };
  for (const auto& c : cases) {
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
      SCOPED_TRACE(testing::Message() << c.name << ", seed " << seed);
      RealRun runs[2] = {{seed, c.intervals}, {seed, c.intervals}};
      RealRun* real = &runs[0];
      ReferenceClock ref(Traffic::kTimers);
      Traffic plain(seed, c.intervals);
      for (int t = 1; t <= 4; ++t) {
        real->clock.set_interval(t, t == 4 ? 3 : 1);
        real->clock.set_enabled(t, true);
        ref.set_interval(t, t == 4 ? 3 : 1);
        ref.set_enabled(t, true);
      }
      for (VirtualMs t = 0; t <= c.until; t += c.slice) {
        switch (c.drive) {
          case Drive::OneByOne:
            for (;;) {
              const std::uint64_t before = real->clock.ticks_v1();
              if (real->clock.deliver_next(t) == 0) break;
              ASSERT_EQ(real->clock.ticks_v1(), before + 1);
            }
            break;
          case Drive::ByTickCounts:
            // A moment's count is reached exactly, however many ticks a shortcut would take.
            for (std::uint64_t k = 1;; k = k * 7 % 97 + 1) {
              const std::uint64_t goal = real->clock.ticks() + k;
              real->clock.advance_ticks(t, goal);
              if (real->clock.ticks() < goal) break;
              ASSERT_EQ(real->clock.ticks(), goal);
            }
            ASSERT_EQ(real->clock.now(), t);
            break;
          case Drive::UntilStop:
            while (real->clock.advance_until(t, &real->traffic.stop)) {
              real->traffic.stop = false;
            }
            break;
          default:
            real->clock.advance_to(t);
        }
        ref.advance_to(t, [&](int timer) { plain.tick(ref, timer); });
        ASSERT_EQ(real->clock.now(), ref.now());
        ASSERT_EQ(real->clock.ticks(), ref.ticks());
        if (c.drive == Drive::CopyEachSlice) {
          RealRun* other = real == &runs[0] ? &runs[1] : &runs[0];
          other->traffic = real->traffic;
          other->clock.copy_schedule_from(real->clock);
          real = other;
        }
        real->traffic.poke(real->clock);
        plain.poke(ref);
        real->traffic.stop = plain.stop = false;
      }
      ASSERT_EQ(real->traffic.log, plain.log);
      EXPECT_GT(plain.log.size(), 100u);
      // Every tick of the log was delivered, the polls among them, and the calm checks; only
      // quiet ticks were not.
      EXPECT_GT(plain.calm_ticks, 0u);
      EXPECT_EQ(real->clock.ticks_v1(), real->traffic.log.size() + plain.calm_ticks);
    }
  }
}

}  // namespace
}  // namespace bruvik
