#include "headless/run.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "history/record.h"
#include "model/form.h"
#include "model/methods.h"
#include "model/timer_table.h"
#include "sim/run/run.h"
#include "sim/wiring.h"

namespace bruvik {
namespace {

// What each method reached at the moment it ended.
class MethodEnds {
 public:
  MethodEnds(Form1& form, RunResult& result) : form_(form), result_(result) {}

  VirtualMs finish_ms = 0;
  std::uint64_t finish_ticks = 0;

  void note(const Event& e) {
    if (!result_.finished && e.method >= 0) method_end(e);
  }

 private:
  // Five times a run, among thousands of events: kept out of the way of the others.
  [[gnu::cold]] void method_end(const Event& e) {
    const int k = e.method;
    MethodResult& m = result_.methods[static_cast<std::size_t>(k)];
    m.ended = true;
    m.ended_ms = e.time;
    m.data_sent = e.value;
    m.collisions = e.value2;
    m.seconds = form_.Text7.number();
    m.statistics_line = form_.Label1[k].text();
    m.throughput_text = throughput_text(form_, k);
    if (k + 1 < kMethods) {
      MethodResult& next = result_.methods[static_cast<std::size_t>(k) + 1];
      next.reached = true;
      next.started_ms = e.time;
    } else {
      result_.finished = true;
      finish_ms = e.time;
      finish_ticks = form_.clock().ticks();
    }
  }

  Form1& form_;
  RunResult& result_;
};

// The bus figures of a run that keeps no record and passes no event on: the form sends only
// the kinds they read, and each is tallied as it comes.
class Tallier : public EventSink {
 public:
  Tallier(const Form1& form, MethodEnds& ends) : form_(form), ends_(ends) {}

  void on_event(const Event& e) override {
    // Where a record would have filled up, so that the figures are there or not alike.
    if (++tallied_ > RunRecord::kDefaultCapacity ||
        form_.clock().ticks() > std::numeric_limits<std::uint32_t>::max()) [[unlikely]] {
      overflowed_ = true;
    }
    if (e.kind == EventKind::MethodEnd) {
      ends_.note(e);
    } else {
      tally_.add(e);
    }
  }

  // None when the run had more events than a record holds.
  std::optional<std::array<BusFigures, 5>> figures(
      const std::array<std::optional<VirtualMs>, 5>& starts,
      const std::array<std::optional<VirtualMs>, 5>& ends, VirtualMs stop) const {
    if (overflowed_) return std::nullopt;
    return tally_.figures(starts, ends, stop);
  }

 private:
  const Form1& form_;
  MethodEnds& ends_;
  BusTally tally_;
  std::size_t tallied_ = 0;
  bool overflowed_ = false;
};

// Keeps every event in the caller's record, or tallies the ones the bus figures read, and
// passes every event on.
class Recorder : public EventSink {
 public:
  Recorder(const Form1& form, MethodEnds& ends, RunRecord* record, EventSink* extra)
      : form_(form), ends_(ends), record_(record), extra_(extra) {}

  void on_event(const Event& e) override {
    if (record_ == nullptr) {
      if ((figure_events_ & event_bit(e.kind)) != 0) tallier_.on_event(e);
    } else {
      record_->add(e, form_.clock().ticks());
      if (e.kind == EventKind::MethodEnd) ends_.note(e);
    }
    if (extra_ != nullptr) extra_->on_event(e);
  }

  Tallier& tallier() { return tallier_; }

  // None when the run had more events than a record holds, with or without a record.
  std::optional<std::array<BusFigures, 5>> figures(
      const std::array<std::optional<VirtualMs>, 5>& starts,
      const std::array<std::optional<VirtualMs>, 5>& ends, VirtualMs stop) const {
    if (record_ != nullptr) {
      if (record_->complete_from() > 0) return std::nullopt;
      return bus_figures(record_->events(), starts, ends, stop);
    }
    return tallier_.figures(starts, ends, stop);
  }

 private:
  const Form1& form_;
  MethodEnds& ends_;
  RunRecord* record_;
  EventSink* extra_;
  const std::uint32_t figure_events_ = bus_figure_events();
  Tallier tallier_{form_, ends_};
};

}  // namespace

RunScript plain_script(const RunParams& params) {
  RunScript s;
  s.params = params;
  s.actions.push_back({0, 0, ActionKind::Click, "Command1", "", 0});
  s.until = {0, 0, 1};
  return s;
}

RunResult run_script(const RunScript& script, EventSink* extra, RunRecord* record) {
  RunResult result;
  result.params = script.params;
  for (int k = 0; k < kMethods; ++k) {
    result.methods[static_cast<std::size_t>(k)].code = methods()[static_cast<std::size_t>(k)].code;
    result.methods[static_cast<std::size_t>(k)].name = methods()[static_cast<std::size_t>(k)].name;
  }

  Form1 form(script.params.start.seed, tick_handlers());
  // What the bus figures read, or every event when the caller wants them all.
  MethodEnds method_ends(form, result);
  Recorder recorder(form, method_ends, record, extra);
  Tallier& tallier = recorder.tallier();
  if (extra != nullptr || record != nullptr) {
    form.set_sink(&recorder, Form1::kAllEvents);
  } else {
    form.set_sink(&tallier, bus_figure_events());
  }
  if (const std::string refused = prepare(form, script.params.start); !refused.empty()) {
    throw std::invalid_argument(refused);
  }

  // Pure ALOHA is reached when an action starts its stations.
  const auto note_start = [&] {
    MethodResult& pure = result.methods[0];
    if (pure.reached || !run_begun(form)) return;
    pure.reached = true;
    pure.started_ms = form.now();
    if (record != nullptr) record->note_start(form.now(), form.clock().ticks());
  };
  const std::size_t actions = std::min(script.until.actions, script.actions.size());
  for (std::size_t k = 0; k < actions; ++k) {
    const UserAction& a = script.actions[k];
    replay(form, k, script.actions, {a.time, a.ticks, k + 1});
    note_start();
  }
  replay(form, actions, script.actions, script.until);

  if (!result.finished) form.clock().advance_until(script.params.max_time, &result.finished);
  result.virtual_ms = result.finished ? method_ends.finish_ms : form.now();
  result.ticks_delivered = result.finished ? method_ends.finish_ticks : form.clock().ticks();

  for (int k = 0; k < 5; ++k) {
    TableRow& row = result.table[static_cast<std::size_t>(k)];
    row.place = k + 1;
    row.name = form.Label17[k].text();
    row.value = form.Text8[k].text();
  }
  form.set_sink(nullptr);

  std::array<std::optional<VirtualMs>, 5> starts, ends;
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const MethodResult& m = result.methods[k];
    if (m.reached) starts[k] = m.started_ms;
    if (m.ended) ends[k] = m.ended_ms;
  }
  if (const auto figures = recorder.figures(starts, ends, result.virtual_ms)) {
    for (std::size_t k = 0; k < figures->size(); ++k) {
      if (starts[k]) result.methods[k].bus = (*figures)[k];
    }
  }
  return result;
}

RunResult run_once(const RunParams& params, EventSink* extra, RunRecord* record) {
  return run_script(plain_script(params), extra, record);
}

}  // namespace bruvik
