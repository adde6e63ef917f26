// Form1: the window model. Every piece of simulation state lives in a control under its window
// name; time is the form's own clock of 65 timers; randomness is the form's own generator.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/clock.h"
#include "model/control.h"
#include "model/events.h"
#include "model/generator.h"
#include "model/named_controls.h"

namespace bruvik {

inline constexpr int kTimerCount = 65;
inline constexpr int kStations = 10;
inline constexpr int kMethods = 5;

class Form1;

// What the tick of each timer calls, by timer number, and for the timers whose ticks the clock
// may skip or take the cheap way, the probe that says when (see the clock's rule). The idle tick
// (none: the tick is skipped) does what the handler would then do, apart from re-arming the
// timer. The model knows no handler of its own.
using TickHandler = void (*)(Form1& form, int station);
struct TickHandlers {
  std::array<TickHandler, kTimerCount + 1> tick{};
  std::array<Clock::IdleProbe, kTimerCount + 1> idle_probe{};
  std::array<TickHandler, kTimerCount + 1> idle_tick{};
  // The probe holds at any Interval, not only at 1 (see the clock's rule).
  std::array<bool, kTimerCount + 1> idle_any_interval{};
  // Optional: the idle ticks of one timer in the milliseconds from `from` to the form's time
  // (`rounds` of them, the last one now) in one call. Used only while none of `idle_events`
  // (the kinds an idle tick may emit) nor the attempt events goes to a sink.
  using IdleRounds = void (*)(Form1& form, int station, VirtualMs from, std::uint64_t rounds);
  std::array<IdleRounds, kTimerCount + 1> idle_rounds{};
  std::uint32_t idle_events = 0;
};

// One of the form's timers, by its number (Timer23 is 23).
class TimerRef {
 public:
  TimerRef(Clock& clock, int number) : clock_(&clock), number_(number) {}
  int number() const { return number_; }
  bool enabled() const { return clock_->enabled(number_); }
  void set_enabled(bool on) { clock_->set_enabled(number_, on); }
  std::int32_t interval() const { return clock_->interval(number_); }
  void set_interval(std::int32_t ms) { clock_->set_interval(number_, ms); }

 private:
  Clock* clock_;
  int number_;
};

// A control array: `Text1[0]`.
template <std::size_t N>
class ControlArray {
 public:
  explicit ControlArray(const std::array<Control*, N>& at) : at_(at) {}
  Control& operator[](int i) const { return *at_[static_cast<std::size_t>(i)]; }
  static constexpr int size() { return static_cast<int>(N); }

 private:
  std::array<Control*, N> at_;
};

#define BRUVIK_FORM_CONTROL(name) Control& name = at(kNamedPlaces.name);
#define BRUVIK_FORM_CONTROLS(name, count) ControlArray<count> name{array(kNamedPlaces.name)};
class Form1 {
 public:
  // Builds the window as built (controls and timers, the timers armed at time 0), its ticks
  // calling `handlers`, which must outlive the form. Start-up is Form_Load, run separately.
  Form1(std::uint64_t seed, const TickHandlers& handlers);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Copying is explicit: the whole state of `other` (controls, clock with its pending ticks,
  // generator, method code), for checkpoints and going back in time. The event sink and
  // RESTART stay this form's own. Both forms must be built with the same handlers.
  void copy_state_from(const Form1& other);
  // Forgets which controls were shown for a moment since the view last looked: after a jump in
  // time the view shows the state as it is, not the flashes on the way.
  void forget_flashes() {
    for (Control& c : controls_) c.take_shown();
  }

  std::uint64_t seed() const { return seed_; }
  const TickHandlers& handlers() const { return *handlers_; }

  // Every control, in the order of the built table.
  std::vector<Control>& controls() { return controls_; }
  const std::vector<Control>& controls() const { return controls_; }
  // By window name and index (-1 for none); nullptr when there is no such control.
  Control* find(std::string_view name, int index = -1);
  // By full window name, "Text1(0)" or "Label34".
  Control* find_named(std::string_view window_name);

 private:
  std::vector<Control> controls_;  // first: the named references below point into it
  std::uint64_t text_revision_ = 0;
  // By place in the built table.
  Control& at(int place) { return controls_[static_cast<std::size_t>(place)]; }
  template <std::size_t N>
  std::array<Control*, N> array(const std::array<int, N>& places);

 public:
  // The controls that the logic touches, each bound to its place in the built table.
  BRUVIK_NAMED_CONTROLS(BRUVIK_FORM_CONTROL, BRUVIK_FORM_CONTROLS)

  TimerRef Timer(int number) { return TimerRef(clock_, number); }
  Clock& clock() { return clock_; }
  const Clock& clock() const { return clock_; }
  VirtualMs now() const { return clock_.now(); }
  Generator& rng() { return rng_; }

  // The window-level method code, "pure" .. "pper"; `method_index` is its place in run order.
  const std::string& method_code() const { return method_code_; }
  int method_index() const { return method_index_; }
  void set_method_code(std::string_view code);

  // Changes whenever the text of any text box changes.
  std::uint64_t text_revision() const { return text_revision_; }

  // The completion test remembers the revision it last saw, so that ticks with nothing new are
  // skipped by the clock.
  std::uint64_t completion_seen = ~std::uint64_t{0};

  // The last completion test that passed, with the counts it saw before it wrote "Okey" (for
  // reports of what a method reached).
  struct PassedTest {
    int method = -1;
    double sent = 0;
    double collided = 0;
  } passed_test;

  // Platform: RESTART. In the window it starts a new copy and never returns.
  std::function<void()> on_restart;

  // Events go to the sink only for the kinds in `mask` (bit 1 << kind), so that a listener for
  // a few kinds costs the run nothing for the others.
  static constexpr std::uint32_t kAllEvents = ~std::uint32_t{0};
  void set_sink(EventSink* sink, std::uint32_t mask = kAllEvents) {
    sink_ = sink;
    sink_mask_ = sink == nullptr ? 0 : mask;
  }
  EventSink* sink() const { return sink_; }
  bool wants(EventKind kind) const { return (sink_mask_ >> static_cast<unsigned>(kind)) & 1u; }
  void emit(EventKind kind, int station, int timer, double value = 0, double value2 = 0) {
    if (wants(kind)) emit_slow(kind, station, timer, value, value2);
  }

  // Runs every tick due up to t.
  void advance_to(VirtualMs t) { clock_.advance_to(t); }

 private:
  void set_idle_probes();
  static void deliver(void* self, int timer);
  static void deliver_idle(void* self, int timer);
  static bool deliver_idle_rounds(void* self, int timer, VirtualMs from, std::uint64_t rounds);
  // One tick of `timer` through `handler`, with the station's attempt events around it.
  void run_tick(int timer, TickHandler handler);
  void run_station_tick(int timer, int station, TickHandler handler);
  void emit_slow(EventKind kind, int station, int timer, double value, double value2);

  std::uint64_t seed_;
  const TickHandlers* handlers_;
  Clock clock_;
  Generator rng_;
  std::string method_code_;
  int method_index_ = 0;
  EventSink* sink_ = nullptr;
  std::uint32_t sink_mask_ = 0;
};
#undef BRUVIK_FORM_CONTROL
#undef BRUVIK_FORM_CONTROLS

constexpr std::uint32_t event_bit(EventKind kind) {
  return 1u << static_cast<unsigned>(kind);
}

}  // namespace bruvik
