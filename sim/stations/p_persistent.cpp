#include "model/form.h"
#include "model/numtext.h"
#include "model/timer_table.h"
#include "sim/run/run.h"
#include "sim/stations/backoff.h"
#include "sim/stations/stations.h"

namespace bruvik {

void p_persistent_attempt(Form1& form, int i) {
  const int own = station_timer(4, i);
  if (bus_busy(form)) {
    form.Timer(own).set_interval(1);
    p_persistent_poll(form, i);
    return;
  }
  // Persistence draw, p = 1/2.
  form.rng().reseed_from_clock(form.now());
  const float r = form.rng().draw();
  const double d = numtext::whole(2 * static_cast<double>(r));
  if (d == 0) {
    // Defer: the interval stays, so the next try comes one current interval later.
    form.Image3[i].set_visible(true);
    form.emit(EventKind::Deferred, i, own);
    return;
  }
  send(form);
  form.Shape1[i].set_visible(true);
  form.Timer(frame_timer(i)).set_enabled(true);
  form.emit(EventKind::Sent, i, own, form.Text5[0].number());
  if (frames_in_transit(form) < 2) {
    form.Image3[i].set_visible(false);
  } else {
    count_collision(form.Text14[2]);
    form.Image3[i].set_visible(true);
    form.emit(EventKind::Collision, i, own, form.Text14[2].number());
  }
  form.Timer(own).set_interval(backoff_interval(form));
}

void p_persistent_poll(Form1& form, int i) {
  form.Image3[i].set_visible(true);
  form.emit(EventKind::Busy, i, station_timer(4, i));
}

void p_persistent_polls(Form1& form, int i, VirtualMs, std::uint64_t rounds) {
  for (std::uint64_t r = 0; r < rounds; ++r) p_persistent_poll(form, i);
}

}  // namespace bruvik
