#include "headless/run.h"

#include <stdexcept>

#include "controls/operator_controls.h"
#include "history/record.h"
#include "model/form.h"
#include "model/methods.h"
#include "sim/run/run.h"
#include "sim/wiring.h"

namespace bruvik {
namespace {

// Keeps what each method reached at the moment it ended and the events the bus figures read,
// and passes every event on.
class Recorder : public EventSink {
 public:
  Recorder(Form1& form, RunResult& result, RunRecord& record, EventSink* extra)
      : form_(form), result_(result), record_(record), extra_(extra) {}

  void on_event(const Event& e) override {
    if ((recorded_ & event_bit(e.kind)) != 0) record_.add(e, form_.clock().delivered());
    if (e.kind == EventKind::MethodEnd && !result_.finished && e.method >= 0) {
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
      }
    }
    if (extra_ != nullptr) extra_->on_event(e);
  }

 private:
  Form1& form_;
  RunResult& result_;
  RunRecord& record_;
  EventSink* extra_;
  const std::uint32_t recorded_ = bus_figure_events();
};

}  // namespace

void prepare_form(Form1& form, const RunParams& params) {
  const DataAmountEdit edit =
      prepare_form(form, params.mtu, params.rate, params.frame_length, params.data_amount);
  if (!edit.accepted) throw std::invalid_argument(edit.message);
}

RunResult run_once(const RunParams& params, EventSink* extra) {
  RunResult result;
  result.params = params;
  for (int k = 0; k < kMethods; ++k) {
    result.methods[static_cast<std::size_t>(k)].code = methods()[static_cast<std::size_t>(k)].code;
    result.methods[static_cast<std::size_t>(k)].name = methods()[static_cast<std::size_t>(k)].name;
  }

  Form1 form(params.seed, tick_handlers());
  RunRecord record;
  Recorder recorder(form, result, record, extra);
  form.set_sink(&recorder, extra != nullptr ? Form1::kAllEvents : bus_figure_events());
  prepare_form(form, params);

  Command1_Click(form);
  result.methods[0].reached = form.method_code() == "pure";
  result.methods[0].started_ms = form.now();

  form.clock().advance_until(params.max_time, &result.finished);
  result.virtual_ms = form.now();
  result.ticks_delivered = form.clock().delivered();

  for (int k = 0; k < 5; ++k) {
    TableRow& row = result.table[static_cast<std::size_t>(k)];
    row.place = k + 1;
    row.name = form.Label17[k].text();
    row.value = form.Text8[k].text();
  }
  form.set_sink(nullptr);

  if (!record.full()) {
    std::array<std::optional<VirtualMs>, 5> starts, ends;
    for (std::size_t k = 0; k < starts.size(); ++k) {
      const MethodResult& m = result.methods[k];
      if (m.reached) starts[k] = m.started_ms;
      if (m.ended) ends[k] = m.ended_ms;
    }
    const auto figures = bus_figures(record.events(), starts, ends, result.virtual_ms);
    for (std::size_t k = 0; k < figures.size(); ++k) {
      if (starts[k]) result.methods[k].bus = figures[k];
    }
  }
  return result;
}

}  // namespace bruvik
