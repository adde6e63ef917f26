// Helpers shared by the core tests: a started form, draws that give a chosen back-off, the
// statistics line computed independently of `send`, an event recorder, a snapshot of the whole
// form state, and a whole run observed tick by tick.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "controls/operator_controls.h"
#include "controls/startup.h"
#include "model/events.h"
#include "model/form.h"
#include "model/methods.h"
#include "model/numtext.h"
#include "model/timer_table.h"
#include "sim/run/run.h"
#include "sim/stations/stations.h"
#include "sim/wiring.h"

namespace bruvik::test {

inline constexpr int kPure = 0, kSlotted = 1, kOnePer = 2, kNonPer = 3, kPPer = 4;
inline constexpr const char* kCodes[5] = {"pure", "slotted", "1per", "nonper", "pper"};
// The names as the performance table shows them, in run order.
inline const std::array<std::string, 5> kNames = {"Pure Aloha", "Slotted Aloha", "1 Persistant",
                                                  "Non Persistant", "P Persistant"};
inline constexpr Colour kBusyColour = 0x00FF0000;  // red 0, green 0, blue 255
inline constexpr Colour kIdleColour = 0x00000000;

// A form after start-up, at virtual time 0.
inline std::unique_ptr<Form1> started(std::uint64_t seed = 1) {
  auto form = std::make_unique<Form1>(seed, tick_handlers());
  Form_Load(*form);
  return form;
}

// The draw r that makes Int(L * r + 1) equal `slots`.
inline float draw_for_slots(int slots, double limit = 50) {
  return static_cast<float>((slots - 0.5) / limit);
}
// The p-persistent coin: Int(2 * r) is 0 (defer) or 1 (send).
inline constexpr float kDefer = 0.25f;
inline constexpr float kSend = 0.75f;

// Makes method k the running one by its code alone; no timer is touched.
inline void run_as(Form1& form, int k) {
  form.set_method_code(kCodes[k]);
}

// The station timer of station i under method k, started so that it ticks `in` ms from now.
inline void start_station(Form1& form, int k, int i, std::int32_t in) {
  TimerRef t = form.Timer(station_timer(k, i));
  t.set_interval(in);
  t.set_enabled(true);
}

// One attempt of station i under method k, as its timer's tick would make it.
inline void attempt(Form1& form, int k, int i) {
  tick_handlers().tick[static_cast<std::size_t>(station_timer(k, i))](form, i);
}

inline Control& sent_box(Form1& form, int k) {
  return data_sent(form, k);
}
inline Control& collision_box(Form1& form, int k) {
  return collisions(form, k);
}

// The statistics line of method k for n sendings, c collisions and s seconds, built from the
// rule: "% " and the signed percentage cut to 7 characters, the method's separator, and the
// signed throughput cut to 4 characters.
inline std::string expected_line(int k, double n, double c, double s) {
  static const char* const separators[5] = {"  Col.    ", "  Col.  ", "  Col.   ", "  Col.   ",
                                            "  Col.   "};
  std::string head = "% " + numtext::signed_text(c * 100 / n);
  head = head.substr(0, 7);
  return head + separators[k] + numtext::signed_text((n - c) / s).substr(0, 4);
}

struct Recorder : EventSink {
  std::vector<Event> events;
  void on_event(const Event& e) override { events.push_back(e); }
  std::vector<Event> of(EventKind kind) const {
    std::vector<Event> out;
    for (const Event& e : events) {
      if (e.kind == kind) out.push_back(e);
    }
    return out;
  }
  int count(EventKind kind) const { return static_cast<int>(of(kind).size()); }
};

// Every value of the form that a run can change: each control's text, flags and bus look, each
// timer's state and pending tick, the method code, the generator and the time.
inline std::string snapshot(Form1& form) {
  std::ostringstream out;
  for (const Control& c : form.controls()) {
    out << window_name(c.built()) << '=' << c.text() << '|' << c.enabled() << c.visible()
        << c.value() << '|' << c.border_color() << '/' << c.border_width() << '\n';
  }
  for (int n = 1; n <= kTimerCount; ++n) {
    out << "Timer" << n << ' ' << form.clock().enabled(n) << ' ' << form.clock().interval(n) << ' '
        << form.clock().due(n) << '\n';
  }
  out << "code " << form.method_code() << " rng " << form.rng().state() << " now " << form.now();
  return out.str();
}

// The end of a run: Option1 is selected by the last `switch` only.
inline bool finished(const Form1& form) {
  return form.Option1.value() && form.method_code() == "pper";
}

struct Settings {
  int mtu = 5, rate = 5, frame_length = 5;
  std::string data_amount = "100";
};

// What a whole run showed, observed from outside the core after every delivered tick.
struct MethodRecord {
  bool ended = false;
  double sent = 0;        // data sent just before its counter became "Okey"
  double collisions = 0;  // its collision counter then
  VirtualMs ended_at = -1;
  std::string line;           // its statistics line at the end
  std::string expected_line;  // the line recomputed from the sendings seen
  int sendings_seen = 0;
};

struct WholeRun {
  bool finished = false;
  VirtualMs end = 0;
  std::array<MethodRecord, 5> methods;
  std::array<std::string, 5> names, values;  // the performance table at the end
  std::string snapshot;
};

// Start-up, the operator values pressed in, the data amount typed, "EnableThe Computers" at 0,
// then every tick delivered until the run finishes or `cap` passes, with the clock in `mode`.
inline WholeRun run_whole(std::uint64_t seed, const Settings& s,
                          ClockMode mode = default_clock_mode(), VirtualMs cap = 4 * 3600 * 1000) {
  const ClockModeScope scope(mode);
  Form1 form(seed, tick_handlers());
  Form_Load(form);
  press_to_operator_values(form, s.mtu, s.rate, s.frame_length);
  EXPECT_TRUE(commit_data_amount(form, s.data_amount).accepted);
  Command1_Click(form);

  WholeRun run;
  std::array<double, 5> sent{}, coll{};
  std::array<std::string, 5> line;
  for (int k = 0; k < 5; ++k) line[static_cast<std::size_t>(k)] = form.Label1[k].text();
  while (!finished(form)) {
    const int running = form.method_index();
    for (int k = 0; k < 5; ++k) coll[static_cast<std::size_t>(k)] = collisions(form, k).number();
    if (form.clock().deliver_next(cap) == 0) break;
    for (int k = 0; k < 5; ++k) {
      const auto u = static_cast<std::size_t>(k);
      MethodRecord& m = run.methods[u];
      const Control& box = data_sent(form, k);
      if (m.ended) continue;
      if (box.text() == "Okey") {
        m.ended = true;
        m.sent = sent[u];
        m.collisions = collisions(form, k).number();
        m.ended_at = form.now();
        m.line = form.Label1[k].text();
        m.expected_line = line[u];
        continue;
      }
      if (box.number() > sent[u]) {
        // One sending of the running method: `send` read the collision count from before the
        // tick, and the seconds passed, which a station tick does not change.
        EXPECT_EQ(k, running);
        EXPECT_EQ(box.number(), sent[u] + 1);
        sent[u] = box.number();
        ++m.sendings_seen;
        const double secs = form.Text7.number();
        if (secs != 0) line[u] = expected_line(k, sent[u], coll[u], secs);
      }
    }
  }
  run.finished = finished(form);
  run.end = form.now();
  for (int k = 0; k < 5; ++k) {
    run.names[static_cast<std::size_t>(k)] = form.Label17[k].text();
    run.values[static_cast<std::size_t>(k)] = form.Text8[k].text();
  }
  run.snapshot = snapshot(form);
  return run;
}

}  // namespace bruvik::test
