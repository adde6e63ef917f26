#include "model/form.h"

#include <stdexcept>

#include "model/form_table.h"
#include "model/methods.h"
#include "model/timer_table.h"

namespace bruvik {
namespace {

std::vector<Control> build_controls(std::uint64_t* revision) {
  std::vector<Control> out;
  const auto rows = built_controls();
  out.reserve(rows.size());
  for (const BuiltControl& s : rows) out.emplace_back(s, revision);
  return out;
}

}  // namespace

Control* Form1::find(std::string_view name, int index) {
  for (Control& c : controls_) {
    const char* built = c.built().name;
    if (c.built().index == index && !name.empty() && built[0] == name[0] && name == built) {
      return &c;
    }
  }
  return nullptr;
}

Control* Form1::find_named(std::string_view window) {
  int index = -1;
  std::string_view name = window;
  const auto open = window.find('(');
  if (open != std::string_view::npos) {
    if (window.back() != ')' || open + 2 > window.size() - 1) return nullptr;
    index = 0;
    for (std::size_t k = open + 1; k + 1 < window.size(); ++k) {
      const char ch = window[k];
      if (ch < '0' || ch > '9' || index > 1000) return nullptr;
      index = index * 10 + (ch - '0');
    }
    name = window.substr(0, open);
  }
  return find(name, index);
}

template <std::size_t N>
std::array<Control*, N> Form1::array(const std::array<int, N>& places) {
  std::array<Control*, N> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = &at(places[i]);
  return out;
}

Form1::Form1(std::uint64_t seed, const TickHandlers& handlers)
    : controls_(build_controls(&text_revision_)),
      seed_(seed),
      handlers_(&handlers),
      clock_(kTimerCount, &Form1::deliver, this),
      rng_(seed) {
  // The timers as built, armed at time 0 in number order.
  for (const BuiltTimer& t : timer_table()) {
    clock_.set_interval(t.number, t.built_interval);
    clock_.set_enabled(t.number, t.built_enabled);
  }
  set_idle_probes();
}

void Form1::set_idle_probes() {
  clock_.set_idle_rounds(&Form1::deliver_idle_rounds);
  for (int n = 1; n <= kTimerCount; ++n) {
    const auto k = static_cast<std::size_t>(n);
    const Clock::IdleProbe probe = handlers_->idle_probe[k];
    clock_.set_idle_probe(n, probe, this,
                          handlers_->idle_tick[k] != nullptr ? &Form1::deliver_idle : nullptr,
                          handlers_->idle_any_interval[k]);
  }
}

void Form1::copy_state_from(const Form1& o) {
  if (o.handlers_ != handlers_) throw std::logic_error("forms with other handlers");
  for (std::size_t i = 0; i < controls_.size(); ++i) controls_[i].copy_state_from(o.controls_[i]);
  text_revision_ = o.text_revision_;
  completion_seen = o.completion_seen;
  passed_test = o.passed_test;
  seed_ = o.seed_;
  clock_.copy_schedule_from(o.clock_);
  rng_ = o.rng_;
  method_code_ = o.method_code_;
  method_index_ = o.method_index_;
}

void Form1::set_method_code(std::string_view code) {
  method_code_.assign(code.data(), code.size());
  method_index_ = bruvik::method_index(code);
}

void Form1::run_tick(int timer, TickHandler handler) {
  const BuiltTimer& t = built_timer(timer);
  if (t.role == TimerRole::Station && (wants(EventKind::Attempt) || wants(EventKind::Rearm))) {
    run_station_tick(timer, t.station, handler);
    return;
  }
  // Nobody listens for attempts: the handler is the whole tick.
  handler(*this, t.station);
}

void Form1::run_station_tick(int timer, int station, TickHandler handler) {
  emit(EventKind::Attempt, station, timer);
  handler(*this, station);
  emit(EventKind::Rearm, station, timer, clock_.interval(timer));
}

void Form1::deliver(void* self, int timer) {
  Form1& form = *static_cast<Form1*>(self);
  form.run_tick(timer, form.handlers_->tick[static_cast<std::size_t>(timer)]);
}

void Form1::deliver_idle(void* self, int timer) {
  Form1& form = *static_cast<Form1*>(self);
  form.run_tick(timer, form.handlers_->idle_tick[static_cast<std::size_t>(timer)]);
}

bool Form1::deliver_idle_rounds(void* self, int timer, VirtualMs from, std::uint64_t rounds) {
  // Only while nothing reaches a sink: then nothing can stop the run within them either.
  Form1& form = *static_cast<Form1*>(self);
  const std::uint32_t attempt = event_bit(EventKind::Attempt) | event_bit(EventKind::Rearm);
  if ((form.sink_mask_ & (attempt | form.handlers_->idle_events)) != 0) return false;
  const TickHandlers::IdleRounds all = form.handlers_->idle_rounds[static_cast<std::size_t>(timer)];
  if (all == nullptr) return false;
  all(form, built_timer(timer).station, from, rounds);
  return true;
}

void Form1::emit_slow(EventKind kind, int station, int timer, double value, double value2) {
  Event e;
  e.time = clock_.now();
  e.kind = kind;
  e.method = static_cast<std::int8_t>(method_index_);
  e.station = static_cast<std::int8_t>(station);
  e.timer = static_cast<std::int16_t>(timer);
  e.value = value;
  e.value2 = value2;
  sink_->on_event(e);
}

}  // namespace bruvik
