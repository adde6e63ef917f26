#include "headless/run.h"

#include <optional>
#include <stdexcept>

#include "controls/operator_controls.h"
#include "headless/trace.h"
#include "history/record.h"
#include "model/form.h"
#include "model/methods.h"
#include "sim/run/run.h"
#include "sim/wiring.h"

namespace bruvik {
namespace {

// Keeps what each method reached at the moment it ended, and passes every event on.
class Recorder : public EventSink {
 public:
  Recorder(Form1& form, RunResult& result, EventSink* extra)
      : form_(form), result_(result), extra_(extra) {}

  void on_event(const Event& e) override {
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
  EventSink* extra_;
};

}  // namespace

void prepare_form(Form1& form, const RunParams& params) {
  const DataAmountEdit edit =
      prepare_form(form, params.mtu, params.rate, params.frame_length, params.data_amount);
  if (!edit.accepted) throw std::invalid_argument(edit.message);
}

RunResult run_once(const RunParams& params, EventSink* extra, RunRecord* record) {
  RunResult result;
  result.params = params;
  for (int k = 0; k < kMethods; ++k) {
    result.methods[static_cast<std::size_t>(k)].code = methods()[static_cast<std::size_t>(k)].code;
    result.methods[static_cast<std::size_t>(k)].name = methods()[static_cast<std::size_t>(k)].name;
  }

  Form1 form(params.seed, tick_handlers());
  std::optional<RecordSink> keep;
  if (record != nullptr) keep.emplace(*record, form);
  SplitSink both(extra, keep ? &*keep : nullptr);
  Recorder recorder(form, result, &both);
  const bool all = extra != nullptr || record != nullptr;
  form.set_sink(&recorder, all ? Form1::kAllEvents : event_bit(EventKind::MethodEnd));
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
  return result;
}

}  // namespace bruvik
