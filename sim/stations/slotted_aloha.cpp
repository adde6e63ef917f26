#include "model/form.h"
#include "model/numtext.h"
#include "model/runtime_error.h"
#include "model/timer_table.h"
#include "sim/run/run.h"
#include "sim/stations/backoff.h"
#include "sim/stations/stations.h"

namespace bruvik {

void slotted_aloha_attempt(Form1& form, int i) {
  const int own = station_timer(1, i);
  form.Shape1[i].set_visible(true);
  form.Timer(frame_timer(i)).set_enabled(true);
  send(form);
  form.emit(EventKind::Sent, i, own, form.Text2[0].number());
  if (frames_in_transit(form) < 2) {
    form.Image3[i].set_visible(false);
  } else {
    count_collision(form.Text2[1]);
    form.Image2.set_visible(true);
    form.Timer(1).set_enabled(true);
    form.Image3[i].set_visible(true);
    form.emit(EventKind::Collision, i, own, form.Text2[1].number());
  }
  // The back-off, rounded up to whole slots counted from this attempt.
  const std::int32_t t = numtext::to_int16(backoff_draw(form));
  const std::int32_t slot = numtext::to_int32(form.Label31.number());
  if (slot == 0) throw RuntimeError(ErrorCode::DivisionByZero);
  const std::int64_t rest = t % slot;
  const std::int64_t interval = rest != 0 ? std::int64_t{slot} - rest + t : t;
  form.Timer(own).set_interval(numtext::to_int32(static_cast<double>(interval)));
}

}  // namespace bruvik
